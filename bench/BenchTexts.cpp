#include "bench/BenchTexts.h"

#include <map>

#include "cameras/CameraControlXml.h"
#include "cameras/PTZTriggerDefinition.h"

namespace bench {

std::string CameraControlText(int entries) {
    cameras::AssociationList list;
    list.reserve(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        cameras::CameraHandlerAssociation a;
        a.CameraNumber = static_cast<std::int16_t>(i % 16);
        a.ProgramID = "Quellan.SpeedDome." + std::to_string(i % 7);
        a.SerialPort = (i % 3) ? "COM" + std::to_string(1 + i % 4) : "";
        a.CameraAddress = static_cast<std::int16_t>(1 + i % 9999);
        a.MonitorNum = static_cast<std::int16_t>(i % 5 - 1);
        list.push_back(std::move(a));
    }
    return cameras::WriteCameraControlXml(list);
}

namespace {

std::vector<cameras::PTZTriggerDefinition> Definitions(int entries) {
    std::vector<cameras::PTZTriggerDefinition> defs(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        auto& d = defs[static_cast<size_t>(i)];
        d.SetAlarmCameraID(i % 16);
        d.SetAlarmCameraName("Camera " + std::to_string(1 + i % 16));
        d.SetFilter(i % 2);
        d.SetInput(1);
        d.SetLabelText("L" + std::to_string(i % 100));
        d.SetPTZCameraID((i + 1) % 16);
        d.SetPTZCameraName("Dome " + std::to_string(1 + (i + 1) % 16));
        d.SetActionType(i % 2);
        d.SetActionValue(static_cast<std::uint32_t>(1 + i % 64));
    }
    return defs;
}

std::string DeviceGuid(int i) { return "{6F1C2A3" + std::to_string(i % 10) + "-51D0-4B7A-9E22-00000000" + std::to_string(1000 + i) + "}"; }

}  // namespace

std::string PTZTriggerListText(int entries) {
    cameras::PTZTriggerListDocument doc;
    cameras::DefinitionsToRecords(Definitions(entries), doc);
    return doc.Write();
}

std::string IPSourceConfigText(int entries) {
    const int devices = entries / 100 + 1;
    std::string xml = "<IPSourceConfig>\r\n\t<UnassignedCameras>" + std::to_string(entries % 65536) +
                      "</UnassignedCameras>\r\n\t<IPDevices>\r\n";
    for (int i = 0; i < devices; ++i)
        xml += "\t\t<IPDevice><Name>Encoder " + std::to_string(i) + "</Name><GUID>" + DeviceGuid(i) +
               "</GUID></IPDevice>\r\n";
    xml += "\t</IPDevices>\r\n\t<IPSources>\r\n";
    for (int i = 0; i < entries; ++i)
        xml += "\t\t<IPSource ID=\"" + std::to_string(1 + i % 255) + "\"><GUID>" + DeviceGuid(i % devices) +
               "</GUID><Address>10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." +
               std::to_string(i % 256) + "</Address><Cameras>" + std::to_string(1 + i % 16) + "," +
               std::to_string(1 + (i + 5) % 16) + "</Cameras></IPSource>\r\n";
    return xml + "\t</IPSources>\r\n</IPSourceConfig>\r\n";
}

const std::string& Text(Doc kind, int entries) {
    static std::map<std::pair<Doc, int>, std::string> cache;
    auto& t = cache[{kind, entries}];
    if (t.empty()) {
        switch (kind) {
            case Doc::CameraControl: t = CameraControlText(entries); break;
            case Doc::PTZTriggerList: t = PTZTriggerListText(entries); break;
            case Doc::IPSourceConfig: t = IPSourceConfigText(entries); break;
        }
    }
    return t;
}

}  // namespace bench
