// The exception builder (template 229): name, match, direction, jump, the
// comparison and its values, with a stream's recent text to copy from.
#pragma once
#include "component/OkCancelHelpDlg.h"
#include "textstreams/DefinitionManager.h"

class CTextExceptionBuilderDlg : public COkCancelHelpDlg {
public:
    enum {
        IDD = 229,
        IDC_TITLE = 218,
        IDC_NAME = 1210,
        IDC_MATCH = 1211,
        IDC_DIRECTION = 1212,
        IDC_JUMP = 1213,
        IDC_OPERATOR = 1214,
        IDC_VALUE1 = 1215,
        IDC_VALUE2 = 1216,
        IDC_STREAM = 1217,
        IDC_DATA = 1218,
        IDC_VALUE1_LABEL = 1225,
        IDC_VALUE2_LABEL = 1226,
        IDC_KEYBOARD = 1002,
        kHelpTopic = 82,
    };
    CTextExceptionBuilderDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text, bool keyboard,
                             ui::Window* parent);

    // Filled from a definition before the dialog opens (Edit).
    void LoadFrom(host::ITextDefinition* d);
    // What the builder confirmed, in the order a definition is filled.
    textstreams::ExceptionFields m_fields;
    static void Fill(const textstreams::ExceptionFields& f, host::ITextDefinition* d);

protected:
    bool OnInitDialog() override;
    bool Accept() override;
    void OnSelChange(int id) override;

private:
    void FillJumps(int keep);
    void ApplyOperator();
    textstreams::ExceptionFields ReadFields() const;

    host::ITextExceptionsUISupport* m_text;
    bool m_keyboard;
    textstreams::TransactionDataFiller m_data;
    textstreams::DefinitionList m_list;
};
