#include "host/UnitData.h"

namespace host {

long JsonLong(const nlohmann::json& o, const char* key, long fallback) {
    if (!o.is_object()) return fallback;
    auto it = o.find(key);
    if (it == o.end()) return fallback;
    if (it->is_number_integer()) return it->get<long>();
    if (it->is_boolean()) return it->get<bool>() ? 1 : 0;
    return fallback;
}

void LoadRecordInfo(const nlohmann::json& unit, CRecordInfo& info) {
    const auto& r = unit.contains("recordInfo") ? unit["recordInfo"] : nlohmann::json::object();
    info.m_nFillThreshold = static_cast<int>(JsonLong(r, "fillThreshold", info.m_nFillThreshold));
    info.m_bCircular = static_cast<int>(JsonLong(r, "circular", info.m_bCircular));
}

void SaveRecordInfo(nlohmann::json& unit, const CRecordInfo& info) {
    unit["recordInfo"] = {{"fillThreshold", info.m_nFillThreshold}, {"circular", info.m_bCircular}};
}

void LoadDisplayInfo(const nlohmann::json& unit, CDisplayInfo& info) {
    const auto& d = unit.contains("displayInfo") ? unit["displayInfo"] : nlohmann::json::object();
    info.m_bHasCallMonitor = JsonLong(d, "hasCallMonitor", info.m_bHasCallMonitor) != 0;
    if (d.is_object() && d.contains("assignments") && d["assignments"].is_array()) {
        const auto& a = d["assignments"];
        for (size_t t = 0; t < a.size() && t < 4; ++t)
            if (a[t].is_array())
                for (size_t p = 0; p < a[t].size() && p < 16; ++p)
                    if (a[t][p].is_number_integer()) info.m_assignments[t][p] = a[t][p].get<int>();
    }
}

void SaveDisplayInfo(nlohmann::json& unit, const CDisplayInfo& info) {
    nlohmann::json d = unit.contains("displayInfo") && unit["displayInfo"].is_object() ? unit["displayInfo"]
                                                                                        : nlohmann::json::object();
    d["hasCallMonitor"] = info.m_bHasCallMonitor;
    d["assignments"] = info.m_assignments;
    unit["displayInfo"] = d;
}

void LoadAudioMixerInfo(const nlohmann::json& unit, CAudioMixerInfo& info) {
    const auto& m = unit.contains("audioMixer") ? unit["audioMixer"] : nlohmann::json::object();
    info.m_playVolume = JsonLong(m, "playVolume", info.m_playVolume);
    info.m_lineVolume = JsonLong(m, "lineVolume", info.m_lineVolume);
    info.m_micVolume = JsonLong(m, "micVolume", info.m_micVolume);
    info.m_bLinked = JsonLong(m, "linked", info.m_bLinked) != 0;
}

void SaveAudioMixerInfo(nlohmann::json& unit, const CAudioMixerInfo& info) {
    nlohmann::json m = unit.contains("audioMixer") && unit["audioMixer"].is_object() ? unit["audioMixer"]
                                                                                      : nlohmann::json::object();
    m["playVolume"] = info.m_playVolume;
    m["lineVolume"] = info.m_lineVolume;
    m["micVolume"] = info.m_micVolume;
    m["linked"] = info.m_bLinked;
    unit["audioMixer"] = m;
}

void LoadAudioAssocInfo(const nlohmann::json& unit, CAudioAssocInfo& info) {
    if (unit.contains("audioAssociations") && unit["audioAssociations"].is_array()) {
        const auto& a = unit["audioAssociations"];
        for (size_t i = 0; i < a.size() && i < 16; ++i)
            if (a[i].is_number_integer()) info.m_assoc[i] = static_cast<std::int16_t>(a[i].get<int>());
    }
}

void SaveAudioAssocInfo(nlohmann::json& unit, const CAudioAssocInfo& info) { unit["audioAssociations"] = info.m_assoc; }

}  // namespace host
