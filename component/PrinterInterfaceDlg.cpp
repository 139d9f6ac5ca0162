#include "component/PrinterInterfaceDlg.h"

#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"

CPrinterInterfaceDlg::CPrinterInterfaceDlg(host::ISetupUISupport* support, bool keyboard, bool remote,
                                           ui::Window* parent)
    : COkCancelHelpDlg(IDD, parent, support, kHelpTopic, IDC_OK, IDC_CANCEL, IDC_HELP), m_keyboard(keyboard), m_remote(remote) {}

bool CPrinterInterfaceDlg::OnInitDialog() {
    if (m_keyboard) PrepareOnScreenKeyboard(*this, IDC_KEYBOARD);
    if (CWWRegistry::GetControlsWWMode() == 0) SetCaption(res::LoadString(1042));
    SetTicked(IDC_SHOW_CUSTOMER, m_bShowCustomerEntries != 0);
    SetTicked(IDC_SHOW_JOURNAL, m_bShowJournalEntries != 0);
    return true;
}

bool CPrinterInterfaceDlg::Accept() {
    // The flags take the boxes only when the dialog ends with OK: after a
    // refused OK a Cancel still hands back the values that came in.
    const int customer = IsTicked(IDC_SHOW_CUSTOMER) ? 1 : 0;
    const int journal = IsTicked(IDC_SHOW_JOURNAL) ? 1 : 0;
    if (!customer && !journal) {
        std::string text = res::LoadString(122);
        if (!text.empty()) WWMessageBox(this, text, "", ui::MB_ICONINFORMATION);
        return false;
    }
    m_bShowCustomerEntries = customer;
    m_bShowJournalEntries = journal;
    return true;
}
