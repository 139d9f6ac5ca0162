#include "bench/PugiFormats.h"

#include <benchmark/benchmark.h>

namespace bench {

void Walk(pugi::xml_node parent, size_t& nodes) {
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        switch (n.type()) {
            case pugi::node_element:
                benchmark::DoNotOptimize(n.name());
                ++nodes;
                for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
                    benchmark::DoNotOptimize(a.name());
                    benchmark::DoNotOptimize(a.value());
                    ++nodes;
                }
                Walk(n, nodes);
                break;
            case pugi::node_pcdata:
            case pugi::node_cdata:
                benchmark::DoNotOptimize(n.value());
                break;
            default:
                break;
        }
    }
}

size_t PugiParseAndWalk(const std::string& text) {
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size())) return 0;
    size_t nodes = 0;
    Walk(doc, nodes);
    return nodes;
}

// --- typed conversion ----------------------------------------------------

namespace {

// The element text as the format readers see it (pugixml trims it on parse).
const unsigned kTypedParse = pugi::parse_default | pugi::parse_trim_pcdata;

void ReadAssociations(pugi::xml_node associations, cameras::AssociationList& out) {
    for (pugi::xml_node h : associations.children()) {
        if (!cameras::EqualsNoCase(h.name(), "Handler")) continue;
        long camera = -1, address = -1, monitor = -1;
        std::string progId, port;
        for (pugi::xml_node c : h.children()) {
            const char* name = c.name();
            if (cameras::EqualsNoCase(name, "CameraNumber")) camera = cameras::LeadingInteger(c.child_value());
            else if (cameras::EqualsNoCase(name, "CameraAddress")) address = cameras::LeadingInteger(c.child_value());
            else if (cameras::EqualsNoCase(name, "MonitorNum")) monitor = cameras::LeadingInteger(c.child_value());
            else if (cameras::EqualsNoCase(name, "SerialPort")) port = c.child_value();
            else if (cameras::EqualsNoCase(name, "ProgramID")) progId = c.child_value();
        }
        auto cam16 = static_cast<std::int16_t>(camera);
        if (cam16 < 0 || cam16 > 15 || progId.empty()) continue;
        cameras::CameraHandlerAssociation a;
        a.CameraNumber = cam16;
        a.ProgramID = std::move(progId);
        a.SerialPort = std::move(port);
        a.CameraAddress = static_cast<std::int16_t>(address);
        a.MonitorNum = static_cast<std::int16_t>(monitor);
        out.push_back(std::move(a));
    }
}

void FindAssociations(pugi::xml_node parent, cameras::AssociationList& out) {
    for (pugi::xml_node n : parent.children()) {
        if (n.type() != pugi::node_element) continue;
        if (cameras::EqualsNoCase(n.name(), "Associations")) ReadAssociations(n, out);
        else FindAssociations(n, out);
    }
}

}  // namespace

cameras::AssociationList PugiCameraControl(const std::string& text) {
    pugi::xml_document doc;
    doc.load_buffer(text.data(), text.size(), kTypedParse);
    cameras::AssociationList out;
    FindAssociations(doc, out);
    return out;
}

bool PugiPTZTriggerList(const std::string& text, cameras::PTZTriggerListDocument& out) {
    out.Records().clear();
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), kTypedParse)) return false;
    pugi::xml_node list = doc.child("PTZTriggerList");
    if (!list) return false;
    for (pugi::xml_node d : list.children("PTZTriggerDef")) {
        auto r = std::make_unique<cameras::PTZTriggerDefElement>();
        for (pugi::xml_node c : d.children()) {
            std::string_view name = c.name();
            if (name == "AlarmCameraID") r->AlarmCameraID.Set(static_cast<std::uint8_t>(cameras::PTZNumber(c.child_value())));
            else if (name == "PTZCameraID") r->PTZCameraID.Set(static_cast<std::uint8_t>(cameras::PTZNumber(c.child_value())));
            else if (name == "PTZCommandID") r->PTZCommandID.Set(static_cast<std::uint16_t>(cameras::PTZNumber(c.child_value())));
            else if (name == "AlarmCameraName") r->AlarmCameraName.Set(c.child_value());
            else if (name == "PTZCameraName") r->PTZCameraName.Set(c.child_value());
            else if (name == "PTZCommand") r->PTZCommand.Set(c.child_value());
            else if (name == "Alarms") {
                cameras::PTZAlarmElement alarm;
                for (pugi::xml_node a : c.children()) {
                    std::string_view an = a.name();
                    if (an == "AlarmType") alarm.AlarmType.Set(a.child_value());
                    else if (an == "AlarmName") alarm.AlarmName.Set(a.child_value());
                }
                if (!alarm.AlarmType.present) return false;
                // The same reservation as the component's reader: room for two
                // alarms at the first, so both do the same typed work.
                if (r->Alarms.empty()) r->Alarms.reserve(2);
                r->Alarms.push_back(std::move(alarm));
            }
        }
        out.Records().push_back(std::move(r));
    }
    return true;
}

bool PugiIPSourceConfig(const std::string& text, network::IPSourceConfig& out) {
    out = network::IPSourceConfig{};
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), kTypedParse)) return false;
    pugi::xml_node config = doc.child("IPSourceConfig");
    if (!config) return false;
    out.unassignedCameras = network::ReadConfigNumber(config.child_value("UnassignedCameras"));
    for (pugi::xml_node d : config.child("IPDevices").children("IPDevice"))
        out.devices.push_back({d.child_value("GUID"), d.child_value("Name")});
    for (pugi::xml_node s : config.child("IPSources").children("IPSource")) {
        network::IPSourceEntry e;
        e.id = static_cast<std::uint8_t>(network::ReadConfigNumber(s.attribute("ID").value()));
        e.guid = s.child_value("GUID");
        e.address = s.child_value("Address");
        e.cameras = s.child_value("Cameras");
        out.sources.push_back(std::move(e));
    }
    return true;
}

bool SameRecords(const cameras::PTZTriggerListDocument& a, const cameras::PTZTriggerListDocument& b) {
    std::vector<cameras::PTZTriggerDefinition> da, db;
    cameras::RecordsToDefinitions(a, da);
    cameras::RecordsToDefinitions(b, db);
    return a.Records().size() == b.Records().size() && da == db;
}

}  // namespace bench
