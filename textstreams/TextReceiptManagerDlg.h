// The receipt definition manager (template 236): the receipt definitions of
// the host's definition list, built and edited in the receipt editor.
#pragma once
#include "textstreams/DefinitionManager.h"
#include "textstreams/TextReceiptSetupDlg.h"

class CTextReceiptManagerDlg : public textstreams::CDefinitionManagerDlg {
public:
    enum { IDD = 236, kHelpTopic = 81 };
    CTextReceiptManagerDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text, bool keyboard,
                           bool remote, ui::Window* parent);

protected:
    bool IsRowOf(host::ITextDefinition* d) override { return textstreams::DefinitionIsReceipt(d); }
    bool RunEditor(host::ITextDefinition* existing) override;
    void FillDefinition(host::ITextDefinition* target) override;

private:
    CTextReceiptSetupDlg::Fields m_confirmed;
};
