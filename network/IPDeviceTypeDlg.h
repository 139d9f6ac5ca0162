// The device type dialog of the IP Sources page's Add (template 241): one
// drop-down list of the device type names.
#pragma once
#include <string>
#include <vector>

#include "component/OkCancelHelpDlg.h"

class CIPDeviceTypeDlg : public COkCancelHelpDlg {
public:
    enum { IDD = 241, IDC_TYPE_LABEL = 1084, IDC_TYPE = 1085, kHelpTopic = 47, IDS_SELECT_TYPE = 1078 };

    CIPDeviceTypeDlg(host::ISetupUISupport* setup, std::vector<std::string> names, ui::Window* parent);

    // The chosen entry after OK (index into the names given).
    int Selected() const { return m_selected; }

protected:
    bool OnInitDialog() override;
    bool Accept() override;
    void OnHelp() override;

private:
    std::vector<std::string> m_names;
    int m_selected = -1;
};
