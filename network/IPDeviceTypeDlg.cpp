#include "network/IPDeviceTypeDlg.h"

#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"

CIPDeviceTypeDlg::CIPDeviceTypeDlg(host::ISetupUISupport* setup, std::vector<std::string> names, ui::Window* parent)
    : COkCancelHelpDlg(IDD, parent, setup, kHelpTopic), m_names(std::move(names)) {}

bool CIPDeviceTypeDlg::OnInitDialog() {
    auto& list = Item(IDC_TYPE);
    list.ClearItems();
    for (size_t i = 0; i < m_names.size(); ++i) list.InsertItem(static_cast<int>(i), m_names[i]);
    list.selection = -1;
    Changed(IDC_TYPE);
    return true;
}

void CIPDeviceTypeDlg::OnHelp() {
    if (m_support) com::ThrowIfFailed(m_support->ShowHelp(m_helpTopic), host::ISetupUISupport::IID_);
}

bool CIPDeviceTypeDlg::Accept() {
    const int sel = Item(IDC_TYPE).selection;
    if (sel < 0 || sel >= static_cast<int>(m_names.size())) {
        WWMessageBox(this, res::LoadString(IDS_SELECT_TYPE), "", ui::MB_OK | ui::MB_ICONINFORMATION);
        return false;
    }
    m_selected = sel;
    return true;
}
