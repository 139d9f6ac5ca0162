#include "textstreams/TSTextAlarmsPropPage.h"

#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "textstreams/TextStreamListDlg.h"

CTSTextAlarmsPropPage::CTSTextAlarmsPropPage(CTextStreamListDlg& list, int index)
    : CStreamDefinitionsPage(IDD, list, index, false, IDC_EXCEPTIONS, IDC_BUILD, IDC_SHOW_DESCRIPTION,
                             &mirelle::ISetupUI::ShowTextExceptions) {}

bool CTSTextAlarmsPropPage::OnInitDialog() {
    m_supported = m_list.VersionTimes100() > kGroupVersion;
    m_list.groupSupported = m_supported ? 1 : 0;
    if (m_supported && m_index >= 0) {
        m_groupFlag = m_list.StoredRecord(m_index).ApplyExceptionsAsGroup;
        m_list.groupFlag = m_groupFlag;
    } else {
        m_groupFlag = 1;
    }
    CStreamDefinitionsPage::OnInitDialog();
    ShowItem(IDC_GROUP, m_supported);
    EnableItem(IDC_GROUP, m_supported);
    // After an incomplete read, no receipt found does not mean the stream has
    // none: the page then leaves receipts-checked unreported.
    if (ReadInFull() || !OtherKindIds().empty()) m_list.receiptsChecked = static_cast<int>(OtherKindIds().size());
    if (!m_supported) {
        m_groupFlag = OtherKindIds().empty() ? 0 : 1;
        m_list.groupFlag = m_groupFlag;
    }
    m_openedGroupFlag = m_groupFlag;
    ShowGroup();
    return true;
}

void CTSTextAlarmsPropPage::ShowGroup() { SetTicked(IDC_GROUP, m_groupFlag > 0); }

bool CTSTextAlarmsPropPage::OnSetActive() {
    m_groupFlag = m_list.groupFlag;
    if (m_list.Remote() && m_list.receiptsChecked > 0 && !m_supported) m_groupFlag = 1;
    m_list.groupFlag = m_groupFlag;
    ShowGroup();
    return true;
}

void CTSTextAlarmsPropPage::OnItemChecked(int id, int row) {
    (void)row;
    if (id == IDC_EXCEPTIONS) m_list.exceptionsChecked = static_cast<int>(CheckedIds().size());
}

void CTSTextAlarmsPropPage::OnClick(int id) {
    if (id == IDC_GROUP) {
        m_groupFlag = IsTicked(IDC_GROUP) ? 1 : 0;
        m_list.groupFlag = m_groupFlag;
        return;
    }
    CStreamDefinitionsPage::OnClick(id);
}

bool CTSTextAlarmsPropPage::OnApply() {
    if (!HasWindow()) return true;
    m_groupFlag = m_list.groupFlag;
    if (KeepsHostChoices(ChecksChanged() || m_groupFlag != m_openedGroupFlag)) return true;
    if (m_groupFlag > 0 && m_list.receiptsChecked == 0) {
        WWMessageBox(this, res::LoadString(IDS_GROUP_NEEDS_RECEIPTS), "", ui::MB_OK);
        return false;
    }
    m_list.SetAlarmsSelection(CheckedIds(), OtherKindIds());
    textstreams::TextStreamRecord partial;
    partial.ApplyExceptionsAsGroup = m_groupFlag;
    m_list.Merge(partial);
    SetModified(false);
    return true;
}
