// The receipt definition editor (template 230): a name and the marker that
// begins a receipt.  The end marker field stays hidden; it carries an end
// marker set elsewhere through an edit.
#pragma once
#include <string>

#include "component/OkCancelHelpDlg.h"
#include "textstreams/DefinitionManager.h"

class CTextReceiptSetupDlg : public COkCancelHelpDlg {
public:
    enum {
        IDD = 230,
        IDC_TITLE = 218,
        IDC_NAME = 1230,
        IDC_BEGIN = 1231,
        IDC_END = 1232,
        IDC_END_LABEL = 1242,
        IDC_STREAM = 1217,
        IDC_DATA = 1218,
        IDC_KEYBOARD = 1002,
        kHelpTopic = 83,
    };
    CTextReceiptSetupDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text, bool keyboard,
                         ui::Window* parent);

    struct Fields {
        std::string name, beginMarker, endMarker;
    };
    // Filled from a definition before the dialog opens (Edit); what the
    // editor confirmed afterwards.
    void LoadFrom(host::ITextDefinition* d);
    Fields m_fields;
    static void Fill(const Fields& f, host::ITextDefinition* d);

protected:
    bool OnInitDialog() override;
    bool Accept() override;
    void OnSelChange(int id) override;

private:
    bool m_keyboard;
    textstreams::TransactionDataFiller m_data;
    textstreams::DefinitionList m_list;
};
