// The text exception manager (template 234): the exceptions of the host's
// definition list, built and edited in the exception builder.
#pragma once
#include "textstreams/DefinitionManager.h"
#include "textstreams/TextExceptionBuilderDlg.h"

class CTextExceptionManagerDlg : public textstreams::CDefinitionManagerDlg {
public:
    enum { IDD = 234, kHelpTopic = 80 };
    CTextExceptionManagerDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text, bool keyboard,
                             bool remote, ui::Window* parent);

protected:
    bool IsRowOf(host::ITextDefinition* d) override { return !textstreams::DefinitionIsReceipt(d); }
    bool RunEditor(host::ITextDefinition* existing) override;
    void FillDefinition(host::ITextDefinition* target) override;

private:
    textstreams::ExceptionFields m_confirmed;
};
