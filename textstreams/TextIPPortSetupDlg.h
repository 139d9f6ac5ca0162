// TCP/IP port dialog (template 244): the port of a TCP/IP text stream, with
// the ports other text streams use and the unit's network identity.
#pragma once
#include <string>

#include "interfaces/HostInterfaces.h"
#include "component/OkCancelHelpDlg.h"
#include "textstreams/TextStreamPorts.h"

class CTextIPPortSetupDlg : public COkCancelHelpDlg {
public:
    enum {
        IDD = 244,
        IDC_TITLE = 218,
        IDC_PORT = 1121,
        IDC_NETWORK_NAME = 1122,
        IDC_IP_ADDRESS = 1123,
        IDC_USED_PORTS = 1124,
        IDC_PANEL = 1060,
        IDC_KEYBOARD = 1002,
        IDC_OK = 1,
        IDC_CANCEL = 2,
        IDC_HELP = 4,
        kHelpTopic = 78,
    };

    CTextIPPortSetupDlg(host::ISetupUISupport* support, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                        ui::Window* parent);

    // In: the port as text; out: the port text when the dialog closed.
    std::string m_strPort;

protected:
    bool OnInitDialog() override;
    bool Accept() override;
    void OnCancelled() override;

private:
    host::ITextStreamsUISupport* m_text;
    bool m_keyboard;
    bool m_remote;
    textstreams::UsedIpPorts m_used;
};
