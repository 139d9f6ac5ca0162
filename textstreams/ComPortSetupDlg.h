// Serial port dialog (template 245): port, bits per second, data bits,
// parity, stop bits and flow control of a serial text stream.
#pragma once
#include "interfaces/HostInterfaces.h"
#include "component/OkCancelHelpDlg.h"
#include "textstreams/TextStreamSetup.h"

class CComPortSetupDlg : public COkCancelHelpDlg {
public:
    enum {
        IDD = 245,
        IDC_TITLE = 218,
        IDC_PORT = 1101,
        IDC_BAUD = 1102,
        IDC_DATA_BITS = 1103,
        IDC_PARITY = 1104,
        IDC_STOP_BITS = 1105,
        IDC_FLOW = 1106,
        IDC_PANEL = 1060,
        IDC_KEYBOARD = 1002,
        IDC_OK = 1,
        IDC_CANCEL = 2,
        IDC_HELP = 4,
        kHelpTopic = 78,
    };

    CComPortSetupDlg(host::ISetupUISupport* support, host::ITextStreamsUISupport* text, bool keyboard, bool remote,
                     bool editOperation, ui::Window* parent);

    // In: the given values (-1 when not given); out on OK: the chosen ones.
    textstreams::SerialSettings m_settings;

protected:
    bool OnInitDialog() override;
    bool Accept() override;

private:
    void FillPorts();
    void SelectByText(int id, std::int32_t number);
    void SelectByPosition(int id, std::int32_t position);
    std::int32_t SelectedNumber(int id) const;

    host::ITextStreamsUISupport* m_text;
    bool m_keyboard;
    bool m_remote;
    bool m_editOperation;
};
