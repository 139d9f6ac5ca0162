// Label dialog of the storage setup (template 206): the volume label and,
// when a volume is being added, the percentage of its space to use.
#pragma once
#include <string>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CStorageLabelDlg : public ui::Dialog {
public:
    enum {
        IDD = 206,
        IDC_KEYBOARD = 1002,
        IDC_LABEL_EDIT = 1010,
        IDC_PERCENT_EDIT = 1011,
        IDC_LABEL_TEXT = 1012,
        IDC_PERCENT_TEXT = 1013,
        IDC_HELP = 4,
        kHelpTopic = 86,
    };

    CStorageLabelDlg(host::IStorageUISupport* support, ui::Window* parent);

    std::string m_strLabel;
    std::string m_strPercent = "100";
    bool m_bShowLabel = false;
    bool m_bShowPercent = false;

    // The percentage as a number (after OK it is always 1..100).
    int Percent() const;

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnOK() override;

private:
    host::IStorageUISupport* m_pSupport;
};
