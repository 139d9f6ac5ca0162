// Raw text dialog (template 242): the end-of-line sequence of a
// "General Text" stream as hexadecimal byte pairs.
#pragma once
#include <string>

#include "interfaces/HostInterfaces.h"
#include "component/OkCancelHelpDlg.h"

class CRawTextSetupDlg : public COkCancelHelpDlg {
public:
    enum {
        IDD = 242,
        IDC_TITLE = 218,
        IDC_LABEL = 1091,
        IDC_EOL = 1092,
        IDC_DEFAULT = 1093,
        IDC_PANEL = 1060,
        IDC_KEYBOARD = 1002,
        IDC_OK = 1,
        IDC_CANCEL = 2,
        IDC_HELP = 4,
        kHelpTopic = 78,
        kInvalidMessage = 136,
    };

    CRawTextSetupDlg(host::ISetupUISupport* support, bool keyboard, bool remote, ui::Window* parent);

    // In: the starting text (empty keeps the default); out: the text handed
    // back (the starting text as normalised on Cancel).
    std::string m_strEOL;

protected:
    bool OnInitDialog() override;
    bool Accept() override;
    void OnCommand(int id) override;

private:
    bool m_keyboard;
    bool m_remote;
};
