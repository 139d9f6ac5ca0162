// ISetupUISupport: the IP source setup's operations, served from the unit's
// "ipSources" section:
//   "devices": [{"guid", "name", "config": [three values]}]  device types
//   "sources": [{"id", "guid", "address", "cameras", "config": [...]}]
//   "unassignedCameras": number
//   "available": false makes GetIPSourceConfig answer no success
//   "configXml": a text served instead of the one made from the data
//   "editor": {"confirm": bool, "result": text}  the device configuration editor
// An editor result "address=A;cameras=C" sets those fields of the source.
#include "simulator/SimIPSources.h"

#include <algorithm>

#include "simulator/SimSetupUISupport.h"
#include "platform/codepage/CodePage.h"

namespace host {

using nlohmann::json;

namespace ipsrc {

json& Section(json& unit) {
    json& s = unit["ipSources"];
    if (!s.is_object()) s = json::object();
    for (const char* list : {"devices", "sources"})
        if (!s[list].is_array()) s[list] = json::array();
    return s;
}

namespace {
std::string Text(const json& o, const char* key) {
    auto it = o.find(key);
    return it != o.end() && it->is_string() ? cp::Utf8ToAnsi(it->get<std::string>()) : std::string();
}
}  // namespace

// The text is made as the unit's own firmware makes it: the names and
// addresses are put in as they are, without entities, since the component
// reads the text literally.
std::string ConfigXml(json& unit) {
    json& s = Section(unit);
    if (auto it = s.find("configXml"); it != s.end() && it->is_string()) return cp::Utf8ToAnsi(it->get<std::string>());
    std::string xml = "<IPSourceConfig><UnassignedCameras>" + std::to_string(s.value("unassignedCameras", 0)) +
                      "</UnassignedCameras><IPDevices>";
    for (const json& d : s["devices"])
        xml += "<IPDevice><Name>" + Text(d, "name") + "</Name><GUID>" + Text(d, "guid") +
               "</GUID></IPDevice>";
    xml += "</IPDevices><IPSources>";
    for (const json& src : s["sources"])
        xml += "<IPSource ID=\"" + std::to_string(src.value("id", 0)) + "\"><GUID>" + Text(src, "guid") +
               "</GUID><Address>" + Text(src, "address") + "</Address><Cameras>" +
               Text(src, "cameras") + "</Cameras></IPSource>";
    return xml + "</IPSources></IPSourceConfig>";
}

json* FindSource(json& unit, std::int32_t id) {
    for (json& src : Section(unit)["sources"])
        if (src.value("id", -1) == id) return &src;
    return nullptr;
}

json* FindDevice(json& unit, const std::string& guid) {
    for (json& d : Section(unit)["devices"])
        if (Text(d, "guid") == guid) return &d;
    return nullptr;
}

void ApplyResult(json& source, const std::string& result) {
    size_t pos = 0;
    while (pos < result.size()) {
        size_t end = result.find(';', pos);
        if (end == std::string::npos) end = result.size();
        std::string pair = result.substr(pos, end - pos);
        size_t eq = pair.find('=');
        if (eq != std::string::npos) {
            std::string key = pair.substr(0, eq), value = cp::AnsiToUtf8(pair.substr(eq + 1));
            if (key == "address" || key == "cameras") source[key] = value;
        }
        pos = end + 1;
    }
    source["result"] = cp::AnsiToUtf8(result);
}

}  // namespace ipsrc

namespace {
// The three configuration values of a device type or source, when it has them.
bool ConfigValues(const json* owner, BSTR* v1, BSTR* v2, BSTR* v3) {
    *v1 = *v2 = *v3 = nullptr;
    if (!owner) return false;
    auto it = owner->find("config");
    if (it == owner->end() || !it->is_array()) return false;
    BSTR* outs[] = {v1, v2, v3};
    for (size_t i = 0; i < 3; ++i) {
        std::string v = i < it->size() && (*it)[i].is_string() ? (*it)[i].get<std::string>() : std::string();
        *outs[i] = cp::ToBstr(cp::Utf8ToAnsi(v));
    }
    return true;
}
}  // namespace

HRESULT SimSetupUISupport::GetIPSourceConfig(BSTR* xml, VARIANT_BOOL* success) {
    return m_unit.Query("GetIPSourceConfig", "", xml && success, [&](json& unit) {
        json& s = ipsrc::Section(unit);
        *success = s.value("available", true) ? 1 : 0;
        *xml = cp::ToBstr(ipsrc::ConfigXml(unit));
        return com::S_OK;
    });
}

HRESULT SimSetupUISupport::GetIPSourceData(std::int32_t id, std::int32_t language, BSTR* value1, BSTR* value2,
                                           BSTR* value3, VARIANT_BOOL* success) {
    return m_unit.Query("GetIPSourceData", std::to_string(id) + " " + std::to_string(language),
                        value1 && value2 && value3 && success, [&](json& unit) {
                            *success = ConfigValues(ipsrc::FindSource(unit, id), value1, value2, value3) ? 1 : 0;
                            return com::S_OK;
                        });
}

HRESULT SimSetupUISupport::GetIPDeviceData(BSTR guid, std::int32_t language, BSTR* value1, BSTR* value2,
                                           BSTR* value3, VARIANT_BOOL* success) {
    return m_unit.Query("GetIPDeviceData", ArgText(guid) + " " + std::to_string(language),
                        value1 && value2 && value3 && success, [&](json& unit) {
                            json* device = ipsrc::FindDevice(unit, guid ? cp::FromBstr(guid) : std::string());
                            *success = ConfigValues(device, value1, value2, value3) ? 1 : 0;
                            return com::S_OK;
                        });
}

HRESULT SimSetupUISupport::UpdateIPSource(std::int32_t id, BSTR result, VARIANT_BOOL* success) {
    if (HRESULT hr = m_unit.Enter("UpdateIPSource", std::to_string(id) + " " + ArgText(result), true);
        com::FAILED(hr))
        return hr;
    if (!success) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    json* src = ipsrc::FindSource(m_unit.Data(), id);
    if (src) ipsrc::ApplyResult(*src, result ? cp::FromBstr(result) : std::string());
    *success = src ? 1 : 0;
    return com::S_OK;
}

HRESULT SimSetupUISupport::AddIPSource(BSTR guid, BSTR result, VARIANT_BOOL* success) {
    if (HRESULT hr = m_unit.Enter("AddIPSource", ArgText(guid) + " " + ArgText(result), true); com::FAILED(hr))
        return hr;
    if (!success) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    json& sources = ipsrc::Section(m_unit.Data())["sources"];
    int id = 0;
    for (const json& s : sources) id = std::max(id, s.value("id", 0));
    if (id >= 255) {
        *success = 0;  // the IDs are 8-bit
        return com::S_OK;
    }
    const std::string g = guid ? cp::FromBstr(guid) : std::string();
    json src = {{"id", id + 1}, {"guid", cp::AnsiToUtf8(g)}, {"address", ""}, {"cameras", ""}};
    if (json* device = ipsrc::FindDevice(m_unit.Data(), g); device && device->contains("config"))
        src["config"] = (*device)["config"];
    ipsrc::ApplyResult(src, result ? cp::FromBstr(result) : std::string());
    sources.push_back(std::move(src));
    *success = 1;
    return com::S_OK;
}

HRESULT SimSetupUISupport::DeleteIPSource(std::int32_t id, VARIANT_BOOL* success) {
    if (HRESULT hr = m_unit.Enter("DeleteIPSource", std::to_string(id), true); com::FAILED(hr)) return hr;
    if (!success) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    json& sources = ipsrc::Section(m_unit.Data())["sources"];
    *success = 0;
    for (auto it = sources.begin(); it != sources.end(); ++it)
        if (it->value("id", -1) == id) {
            sources.erase(it);
            *success = 1;
            break;
        }
    return com::S_OK;
}

}  // namespace host
