#include "apps/inspect/Commands.h"

#include "cameras/CameraControlXml.h"
#include "cameras/PTZTriggerDefinition.h"
#include "network/IPSourceConfig.h"
#include "foundation/XmlDocument.h"

namespace apps {

namespace {
std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}
}  // namespace

std::string XmlNodes(const std::string& text) {
    CXmlDocument doc;
    doc.SetText(text);
    doc.Rewind();
    std::string out, name, value;
    bool isEnd, isAttr;
    while (doc.ReadNode(name, value, isEnd, isAttr)) {
        if (isEnd)
            out += "end\t" + Escape(name) + "\n";
        else if (isAttr)
            out += "attr\t" + Escape(name) + "\t" + Escape(value) + "\n";
        else
            out += "start\t" + Escape(name) + "\t" + Escape(value) + "\n";
    }
    return out;
}

namespace {
// Reads a PTZTriggerList text into typed definitions; false when unreadable.
bool ReadPtzDefinitions(const std::string& text, std::vector<cameras::PTZTriggerDefinition>& defs) {
    cameras::PTZTriggerListDocument doc;
    if (!doc.Read(text)) return false;
    cameras::RecordsToDefinitions(doc, defs);
    return true;
}
}  // namespace

std::string PtzRead(const std::string& text) {
    std::vector<cameras::PTZTriggerDefinition> defs;
    if (!ReadPtzDefinitions(text, defs)) return "failed\n";
    std::string out = "ok " + std::to_string(defs.size()) + "\n";
    for (const auto& d : defs) out += cameras::DescribeDefinition(d) + "\n";
    return out;
}

std::string PtzCheck(const std::string& text) {
    std::vector<cameras::PTZTriggerDefinition> defs;
    if (!ReadPtzDefinitions(text, defs)) return "failed\n";
    std::string out;
    for (const auto& d : defs) out += std::to_string(cameras::CheckDefinition(d)) + "\n";
    return out;
}

std::string CameraControlRead(const std::string& text) {
    auto list = cameras::ReadCameraControlXml(text);
    std::string out = "ok " + std::to_string(list.size()) + "\n";
    for (const auto& a : list)
        out += "camera " + std::to_string(a.CameraNumber) + "\tprogId " + Escape(a.ProgramID) + "\tport " +
               Escape(a.SerialPort) + "\taddress " + std::to_string(a.CameraAddress) + "\tmonitor " +
               std::to_string(a.MonitorNum) + "\n";
    return out;
}

std::string IpConfigRead(const std::string& text) {
    network::IPSourceConfig config;
    if (!network::ReadIPSourceConfig(text, config)) return "failed\n";
    std::string out = "ok unassigned " + std::to_string(config.unassignedCameras) + " devices " +
                      std::to_string(config.devices.size()) + " sources " + std::to_string(config.sources.size()) +
                      "\n";
    for (const auto& d : config.devices) out += "device\t" + Escape(d.guid) + "\t" + Escape(d.name) + "\n";
    for (const auto& s : config.sources)
        out += "source\t" + std::to_string(s.id) + "\t" + Escape(s.guid) + "\t" + Escape(s.address) + "\t" +
               Escape(s.cameras) + "\n";
    return out;
}

const std::vector<InspectCommand>& InspectCommands() {
    static const std::vector<InspectCommand> commands = {
        {"xml-nodes", XmlNodes, "the XML reader's node stream, one node a line"},
        {"ptz-read", PtzRead, "the typed PTZ trigger definitions, or failed"},
        {"ptz-check", PtzCheck, "the validity code of each PTZ trigger definition"},
        {"camera-control", CameraControlRead, "the camera handler associations of a CameraControl document"},
        {"ip-config", IpConfigRead, "the device types and sources of an IPSourceConfig document, or failed"},
    };
    return commands;
}

}  // namespace apps
