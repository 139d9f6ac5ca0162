#include "storage/StorageLabelDlg.h"

#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "storage/StorageVolumes.h"

CStorageLabelDlg::CStorageLabelDlg(host::IStorageUISupport* support, ui::Window* parent)
    : ui::Dialog(IDD, parent), m_pSupport(support) {}

int CStorageLabelDlg::Percent() const { return storage::ParsePercent(m_strPercent).value_or(100); }

bool CStorageLabelDlg::OnInitDialog() {
    SetItemText(IDC_LABEL_EDIT, m_strLabel);
    SetItemText(IDC_PERCENT_EDIT, m_strPercent);
    if (!m_bShowLabel) {
        ShowItem(IDC_LABEL_TEXT, false);
        ShowItem(IDC_LABEL_EDIT, false);
        if (m_bShowPercent) SetFocus(IDC_PERCENT_EDIT);
    } else {
        SetFocus(IDC_LABEL_EDIT);
    }
    if (!m_bShowPercent) {
        ShowItem(IDC_PERCENT_TEXT, false);
        ShowItem(IDC_PERCENT_EDIT, false);
    }
    return true;
}

void CStorageLabelDlg::OnClick(int id) {
    if (id == IDC_HELP) {
        if (!m_pSupport) throw com::ComError(com::E_POINTER, host::IStorageUISupport::IID_);
        com::ThrowIfFailed(m_pSupport->ShowHelp(kHelpTopic), host::IStorageUISupport::IID_);
        return;
    }
    ui::Dialog::OnClick(id);
}

void CStorageLabelDlg::OnOK() {
    std::string label = GetItemText(IDC_LABEL_EDIT);
    std::string percent = GetItemText(IDC_PERCENT_EDIT);
    if (m_bShowPercent && !storage::ParsePercent(percent)) {
        // The transfer fails: tell the operator and stay open on the field.
        WWMessageBox(this, res::LoadString(storage::IDS_PERCENT_RANGE), "", ui::MB_OK | ui::MB_ICONEXCLAMATION);
        SetFocus(IDC_PERCENT_EDIT);
        return;
    }
    m_strLabel = label;
    m_strPercent = percent;
    EndDialog(1);
}
