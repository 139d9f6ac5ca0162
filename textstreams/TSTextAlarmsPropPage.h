// Alarms page (template 232): the text exceptions the stream is checked
// against, and whether they are searched as a group (which needs receipt
// definitions chosen on the Receipt Definitions page).
#pragma once
#include "textstreams/StreamDefinitionsPage.h"

class CTSTextAlarmsPropPage : public CStreamDefinitionsPage {
public:
    enum {
        IDD = 232,
        IDC_EXCEPTIONS = 1170,
        IDC_BUILD = 1171,
        IDC_SHOW_DESCRIPTION = 1172,
        IDC_GROUP = 1173,
        kHelpTopic = 79,
        kGroupVersion = 310,
        IDS_GROUP_NEEDS_RECEIPTS = 132,
    };

    CTSTextAlarmsPropPage(CTextStreamListDlg& list, int index);

    bool GroupSupported() const { return m_supported; }
    int GroupFlag() const { return m_groupFlag; }

    bool OnSetActive() override;
    bool OnApply() override;

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnItemChecked(int id, int row) override;

private:
    void ShowGroup();

    bool m_supported = false;
    int m_groupFlag = 0;
    int m_openedGroupFlag = 0;
};
