// Camera control setup of one camera (template 215): address on the control
// line, serial port and monitor number.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CCamControlSetupDlg : public ui::Dialog {
public:
    enum { IDD = 215, kHelpTopic = 43 };

    CCamControlSetupDlg(std::int16_t address, const std::string& serialPort, std::int16_t monitor,
                        host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl,
                        ui::Window* parent);

    std::int16_t Address() const { return m_address; }
    const std::string& SerialPort() const { return m_serialPort; }
    std::int16_t Monitor() const { return m_monitor; }

    // Port list ordering: inserts port before the first item that is not
    // "MUX" and whose number (after its first three characters) is greater.
    static void InsertPortInOrder(std::vector<std::string>& ports, const std::string& port);
    // The checks of OK: 0 when the values pass, else the message id (102-104).
    static int Check(bool portCheck, const std::string& port, const std::string& address,
                     const std::string& monitor, std::int16_t openedMonitor);

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnOK() override;

private:
    std::int16_t m_address;
    std::string m_serialPort;
    std::int16_t m_monitor;
    bool m_portCheck = true;
    host::ISetupUISupport* m_setup;
    host::ICameraControlUISupport* m_cameraControl;
};
