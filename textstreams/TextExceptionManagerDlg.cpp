#include "textstreams/TextExceptionManagerDlg.h"

CTextExceptionManagerDlg::CTextExceptionManagerDlg(host::ISetupUISupport* setup, host::ITextExceptionsUISupport* text,
                                                   bool keyboard, bool remote, ui::Window* parent)
    : CDefinitionManagerDlg(IDD, 158, kHelpTopic, setup, text, keyboard, remote, parent) {}

bool CTextExceptionManagerDlg::RunEditor(host::ITextDefinition* existing) {
    CTextExceptionBuilderDlg dlg(m_setup, m_text, m_keyboard, this);
    if (existing) dlg.LoadFrom(existing);
    if (dlg.DoModal() != 1) return false;
    m_confirmed = dlg.m_fields;
    return true;
}

void CTextExceptionManagerDlg::FillDefinition(host::ITextDefinition* target) {
    CTextExceptionBuilderDlg::Fill(m_confirmed, target);
}
