#include "cameras/CamControlSetupDlg.h"

#include <cctype>

#include "cameras/CameraControlXml.h"
#include "cameras/CameraHelpers.h"
#include "component/SetupSheetDlg.h"
#include "util/Util.h"
#include "platform/ui/MessageBox.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;

CCamControlSetupDlg::CCamControlSetupDlg(std::int16_t address, const std::string& serialPort, std::int16_t monitor,
                                         host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl,
                                         ui::Window* parent)
    : ui::Dialog(IDD, parent),
      m_address(address),
      m_serialPort(serialPort),
      m_monitor(monitor),
      m_setup(setup),
      m_cameraControl(cameraControl) {}

namespace {
long PortNumber(const std::string& port) { return port.size() > 3 ? cameras::LeadingInteger(port.substr(3)) : 0; }
}  // namespace

void CCamControlSetupDlg::InsertPortInOrder(std::vector<std::string>& ports, const std::string& port) {
    const long n = PortNumber(port);
    for (size_t i = 0; i < ports.size(); ++i)
        if (!mirelle::EqualsNoCase(ports[i], "MUX") && PortNumber(ports[i]) > n) {
            ports.insert(ports.begin() + static_cast<long>(i), port);
            return;
        }
    ports.push_back(port);
}

int CCamControlSetupDlg::Check(bool portCheck, const std::string& port, const std::string& address,
                               const std::string& monitor, std::int16_t openedMonitor) {
    if (portCheck && !mirelle::EqualsNoCase(port, "MUX") &&
        (port.empty() || port.find(res::LoadString(101)) == std::string::npos))
        return 102;
    long value = 0;
    for (char c : address) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 103;
        value = value * 10 + (c - '0');
        if (value > 9999) return 103;
    }
    if (value < 1) return 103;
    const long m = cameras::LeadingInteger(monitor);
    const bool monitorOk = (m >= 1 && m <= 9999) || (m < 0 && m == openedMonitor);
    if (!monitorOk) return 104;
    return 0;
}

bool CCamControlSetupDlg::OnInitDialog() {
    if (FrameKeyboardFlag()) PrepareOnScreenKeyboard(*this, kCcKeypad);
    SetItemText(kCcAddress, std::to_string(m_address));
    SetItemText(kCcMonitor, std::to_string(m_monitor));

    std::vector<std::string> ports;
    if (m_cameraControl) {
        com::BSTR text = nullptr;
        m_cameraControl->GetSerialPorts(&text);
        const std::string list = mirelle::TakeHostString(text);
        size_t start = 0;
        while (start <= list.size()) {
            size_t comma = list.find(',', start);
            if (comma == std::string::npos) comma = list.size();
            if (comma > start) ports.push_back(list.substr(start, comma - start));
            start = comma + 1;
        }
        // Ports other cameras use are offered too, in port-number order.
        for (int cam = 0; cam < mirelle::kMaxCameras; ++cam) {
            std::int16_t address = 0, monitor = 0;
            com::BSTR port = nullptr;
            const com::HRESULT hr = m_cameraControl->GetCameraSettings(cam, &address, &port, &monitor);
            const std::string p = mirelle::TakeHostString(port);
            if (hr != com::S_OK || p.empty()) continue;
            bool known = false;
            for (auto& q : ports) known = known || q == p;
            if (!known) InsertPortInOrder(ports, p);
        }
    }
    auto& combo = Item(kCcPort);
    combo.ClearItems();
    for (auto& p : ports) combo.AddItem(p);
    if (!m_serialPort.empty()) {
        SetSelection(kCcPort, combo.FindItem(m_serialPort));
    } else {
        ShowItem(kCcPortLabel, false);
        ShowItem(kCcPort, false);
        m_portCheck = false;
    }
    if (m_monitor < 0) {
        ShowItem(kCcMonitorLabel, false);
        ShowItem(kCcMonitor, false);
    }
    return true;
}

void CCamControlSetupDlg::OnClick(int id) {
    if (id == 4) {
        if (m_setup) m_setup->ShowHelp(kHelpTopic);
        return;
    }
    if (id == kCcBrowse) return;  // kept hidden; does nothing
    ui::Dialog::OnClick(id);
}

void CCamControlSetupDlg::OnOK() {
    const auto& combo = Item(kCcPort);
    const std::string port = combo.ItemText(combo.selection);
    const std::string address = GetItemText(kCcAddress);
    const std::string monitor = GetItemText(kCcMonitor);
    if (int msg = Check(m_portCheck, port, address, monitor, m_monitor)) {
        WWMessageBox(this, res::LoadString(msg), "", ui::MB_OK);
        return;
    }
    m_serialPort = port;
    m_address = static_cast<std::int16_t>(cameras::LeadingInteger(address));
    m_monitor = static_cast<std::int16_t>(cameras::LeadingInteger(monitor));
    EndDialog(1);
}
