#include "network/IPSourceConfig.h"

#include <cstdlib>

#include "foundation/XmlDocument.h"

namespace network {

namespace {

std::string_view Bare(std::string_view n) { return !n.empty() && n[0] == '/' ? n.substr(1) : n; }

// Reads the nodes inside the element just started up to its own end tag.
// onNode(name, value, isAttribute) sees every other start tag and attribute;
// child elements it does not read itself are passed over.  Names and values
// are views into the document's text.
template <class OnNode>
bool ReadElement(CXmlDocument& doc, std::string_view element, OnNode&& onNode) {
    std::string_view name, value;
    bool isEnd = false, isAttribute = false;
    while (doc.ReadNode(name, value, isEnd, isAttribute)) {
        if (isEnd) {
            if (Bare(name) == element) return true;
            continue;
        }
        if (!onNode(name, value, isAttribute)) return false;
    }
    return false;
}

}  // namespace

bool ReadIPSourceConfig(const std::string& xml, IPSourceConfig& out) {
    out = IPSourceConfig{};
    CXmlDocument doc;
    doc.ReadText(xml);

    // The values of an entry are kept as views into the text (the last of a
    // repeated element wins) and copied once into the entry made at its end.
    auto readDevice = [&] {
        std::string_view guid, name;
        bool ok = ReadElement(doc, "IPDevice", [&](std::string_view n, std::string_view v, bool attr) {
            if (attr) return true;
            if (n == "Name") name = v;
            else if (n == "GUID") guid = v;
            return true;
        });
        if (ok) out.devices.push_back({std::string(guid), std::string(name)});
        return ok;
    };
    auto readSource = [&] {
        std::string_view guid, address, cameras;
        std::uint8_t id = 0;
        bool ownTag = true;  // attributes that follow the IPSource start tag itself
        bool ok = ReadElement(doc, "IPSource", [&](std::string_view n, std::string_view v, bool attr) {
            if (attr) {
                if (ownTag && n == "ID") id = static_cast<std::uint8_t>(ReadConfigNumber(v));
                return true;
            }
            ownTag = false;
            if (n == "GUID") guid = v;
            else if (n == "Address") address = v;
            else if (n == "Cameras") cameras = v;
            return true;
        });
        if (ok) out.sources.push_back({std::string(guid), std::string(address), std::string(cameras), id});
        return ok;
    };

    std::string_view name, value;
    bool isEnd = false, isAttribute = false;
    while (doc.ReadNode(name, value, isEnd, isAttribute)) {
        if (isEnd || isAttribute || name != "IPSourceConfig") continue;
        return ReadElement(doc, "IPSourceConfig", [&](std::string_view n, std::string_view v, bool attr) {
            if (attr) return true;
            if (n == "UnassignedCameras") {
                out.unassignedCameras = ReadConfigNumber(v);
            } else if (n == "IPDevices") {
                return ReadElement(doc, "IPDevices", [&](std::string_view c, std::string_view, bool a) {
                    return a || c != "IPDevice" || readDevice();
                });
            } else if (n == "IPSources") {
                return ReadElement(doc, "IPSources", [&](std::string_view c, std::string_view, bool a) {
                    return a || c != "IPSource" || readSource();
                });
            }
            return true;
        });
    }
    return false;
}

int LanguageCode(const std::string& systemLanguage) {
    static const char* const kCodes[] = {"DEU", "FRA", "ESP", "POR", "CHI"};
    for (int i = 0; i < 5; ++i)
        if (systemLanguage == kCodes[i]) return i + 1;
    return 0;
}

std::uint32_t AssignedCameraMask(const std::vector<IPSourceEntry>& sources) {
    std::uint32_t mask = 0;
    for (const auto& s : sources) {
        size_t pos = 0;
        while (pos <= s.cameras.size()) {
            size_t comma = s.cameras.find(',', pos);
            std::string piece = s.cameras.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
            if (piece.empty()) break;
            long n = std::strtol(piece.c_str(), nullptr, 10);
            mask |= 1u << (static_cast<unsigned long>(n - 1) & 31u);
            if (comma == std::string::npos) break;
            pos = comma + 1;
        }
    }
    return mask;
}

std::string SourceRowText(const IPSourceConfig& config, int row, int column) {
    if (row < 0 || row >= static_cast<int>(config.sources.size())) return "Invalid Source Row " + std::to_string(row);
    const IPSourceEntry& s = config.sources[static_cast<size_t>(row)];
    switch (column) {
        case 0:
            for (const auto& d : config.devices)
                if (d.guid == s.guid) return d.name;
            return "Device GUID not found";
        case 1:
            return s.address;
        case 2:
            return s.cameras;
        default:
            return {};
    }
}

}  // namespace network
