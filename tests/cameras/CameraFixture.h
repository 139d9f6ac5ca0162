// Fixture of the camera setup tests: a unit with handlers, ports, stored
// associations and triggers, and helpers to reach the pages of the frame.
#pragma once
#include "tests/support/Harness.h"

#include "cameras/NamePropSheet.h"
#include "resources/CameraIds.h"

namespace camtest {

using namespace res::cam;

inline std::string Assoc(int camera, const std::string& progId, int address, const std::string& port, int monitor) {
    std::string s = "<Handler><CameraNumber>" + std::to_string(camera) + "</CameraNumber><ProgramID>" + progId +
                    "</ProgramID>";
    if (address > 0) s += "<CameraAddress>" + std::to_string(address) + "</CameraAddress>";
    if (!port.empty()) s += "<SerialPort>" + port + "</SerialPort>";
    return s + "<MonitorNum>" + std::to_string(monitor) + "</MonitorNum></Handler>";
}

inline std::string Trigger(int alarm, int ptz, const std::string& types, const std::string& command, int id) {
    std::string s = "<PTZTriggerDef><AlarmCameraID>" + std::to_string(alarm) +
                    "</AlarmCameraID><AlarmCameraName>A</AlarmCameraName>";
    size_t start = 0;
    while (start < types.size()) {
        size_t comma = types.find(',', start);
        if (comma == std::string::npos) comma = types.size();
        s += "<Alarms><AlarmType>" + types.substr(start, comma - start) + "</AlarmType></Alarms>";
        start = comma + 1;
    }
    return s + "<PTZCameraID>" + std::to_string(ptz) + "</PTZCameraID><PTZCameraName>P</PTZCameraName><PTZCommand>" +
           command + "</PTZCommand><PTZCommandID>" + std::to_string(id) + "</PTZCommandID></PTZTriggerDef>";
}

class CameraTest : public testing_support::Harness {
protected:
    nlohmann::json UnitData() override {
        return {
            {"handlers",
             {{{"displayName", "Protocol D"}, {"progId", "Protocol.D"}, {"defaultPort", "COM1"}, {"defaultMonitor", 1}},
              {{"displayName", "USB CCTV"}, {"progId", "Usb.Cctv"}},
              {{"displayName", "Dome"}, {"progId", "QllnXmlCameraHandler.User1"}, {"defaultPort", "COM3"}}}},
            {"serialPorts", "COM1,COM3"},
            {"cameraControlXml",
             "<CameraControl><Associations>" + Assoc(2, "PROTOCOL.D", 3, "COM2", 1) + "</Associations></CameraControl>"},
            {"ptzTriggerListXml", "<PTZTriggerList>" + Trigger(0, 2, "Input", "Preset", 4) + "</PTZTriggerList>"},
        };
    }
    // The active page of the frame on top.
    static ui::PropertyPage& Page(ui::Dialog& frame) { return *frame.EmbeddedSheet()->ActivePage(); }
    static CNamePropSheet& Sheet(ui::Dialog& frame) { return dynamic_cast<CNamePropSheet&>(*frame.EmbeddedSheet()); }
    std::vector<std::string> PageTitles() {
        std::vector<std::string> titles;
        Then([&](ui::Dialog& d) {
            for (auto* p : d.EmbeddedSheet()->Pages()) titles.push_back(p->Title());
        });
        Script("click 2");
        Run("ShowCameras");
        return titles;
    }
};

}  // namespace camtest
