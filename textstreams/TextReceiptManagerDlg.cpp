#include "textstreams/TextReceiptManagerDlg.h"

CTextReceiptManagerDlg::CTextReceiptManagerDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text,
                                               bool keyboard, bool remote, ui::Window* parent)
    : CDefinitionManagerDlg(IDD, 159, kHelpTopic, setup, text, keyboard, remote, parent) {}

bool CTextReceiptManagerDlg::RunEditor(host::ITextDefinition* existing) {
    CTextReceiptSetupDlg dlg(m_setup, m_text, m_keyboard, this);
    if (existing) dlg.LoadFrom(existing);
    if (dlg.DoModal() != 1) return false;
    m_confirmed = dlg.m_fields;
    return true;
}

void CTextReceiptManagerDlg::FillDefinition(host::ITextDefinition* target) {
    CTextReceiptSetupDlg::Fill(m_confirmed, target);
}
