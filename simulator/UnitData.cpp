#include "simulator/UnitData.h"

#include <cstdint>

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

namespace {

const nlohmann::json& SectionOf(const nlohmann::json& unit, const char* key) {
    static const nlohmann::json empty = nlohmann::json::object();
    if (!unit.is_object()) return empty;
    auto it = unit.find(key);
    return it != unit.end() && it->is_object() ? *it : empty;
}

nlohmann::json WritableSection(const nlohmann::json& unit, const char* key) {
    return unit.is_object() && unit.contains(key) && unit[key].is_object() ? unit[key] : nlohmann::json::object();
}

// A 32-bit value: entries outside the range are taken as absent.
std::int32_t Int32(const nlohmann::json& o, const char* key, std::int32_t fallback) { return JsonInt(o, key, fallback); }
std::int16_t Int16(const nlohmann::json& o, const char* key, std::int16_t fallback) { return JsonInt(o, key, fallback); }

// Display layout names in the unit file, by layout type.
constexpr const char* kLayoutKeys[CDisplayInfo::kLayoutCount] = {"1x1", "2x2", "3x3", "4x4"};

void LoadPanes(const nlohmann::json& panes, std::array<int, CDisplayInfo::kMaxPanes>& out) {
    if (!panes.is_array()) return;
    for (size_t p = 0; p < panes.size() && p < out.size(); ++p)
        if (panes[p].is_number_integer()) {
            long v = panes[p].get<long>();
            out[p] = v < INT32_MIN || v > INT32_MAX ? -1 : static_cast<int>(v);
        }
}

}  // namespace

// "displayInfo": {"assignments": {"2x2": [...], ...} (or an array by layout
// type), "sequencerDwell", "overlayEnabled", "overlayPosition", "vcrControls",
// "playbackToMonitor", "lockLayout", "layoutLockAvailable", "hasCallMonitor",
// "callMonitorSpotMode", "touchTrackerOnMain", "callCamera"}.  Missing or
// mistyped entries keep the library's defaults.
void LoadDisplayInfo(const nlohmann::json& unit, CDisplayInfo& info) {
    const auto& d = SectionOf(unit, "displayInfo");
    if (auto it = d.find("assignments"); it != d.end()) {
        const auto& a = *it;
        for (int t = 0; t < CDisplayInfo::kLayoutCount; ++t) {
            if (a.is_array() && t < static_cast<int>(a.size())) LoadPanes(a[t], info.m_assignments[t]);
            if (a.is_object() && a.contains(kLayoutKeys[t])) LoadPanes(a[kLayoutKeys[t]], info.m_assignments[t]);
        }
    }
    info.m_lSequencerDwell = Int32(d, "sequencerDwell", info.m_lSequencerDwell);
    info.m_bOverlayEnabled = Int32(d, "overlayEnabled", info.m_bOverlayEnabled);
    info.m_nOverlayPosition = Int16(d, "overlayPosition", info.m_nOverlayPosition);
    info.m_bVCRControls = Int32(d, "vcrControls", info.m_bVCRControls);
    info.m_bPlaybackToMonitor = Int32(d, "playbackToMonitor", info.m_bPlaybackToMonitor);
    info.m_bLockLayout = Int32(d, "lockLayout", info.m_bLockLayout);
    info.m_bLayoutLockAvailable = Int32(d, "layoutLockAvailable", info.m_bLayoutLockAvailable);
    info.m_bHasCallMonitor = JsonLong(d, "hasCallMonitor", info.m_bHasCallMonitor) != 0;
    info.m_bCallMonSpotMode = Int32(d, "callMonitorSpotMode", info.m_bCallMonSpotMode);
    info.m_bTouchTrackerOnMain = Int32(d, "touchTrackerOnMain", info.m_bTouchTrackerOnMain);
    info.m_nCallCamera = Int16(d, "callCamera", info.m_nCallCamera);
}

void SaveDisplayInfo(nlohmann::json& unit, const CDisplayInfo& info) {
    nlohmann::json d = WritableSection(unit, "displayInfo");
    nlohmann::json a = nlohmann::json::object();
    for (int t = 0; t < CDisplayInfo::kLayoutCount; ++t) a[kLayoutKeys[t]] = info.m_assignments[t];
    d["assignments"] = a;
    d["sequencerDwell"] = info.m_lSequencerDwell;
    d["overlayEnabled"] = info.m_bOverlayEnabled;
    d["overlayPosition"] = info.m_nOverlayPosition;
    d["vcrControls"] = info.m_bVCRControls;
    d["playbackToMonitor"] = info.m_bPlaybackToMonitor;
    d["lockLayout"] = info.m_bLockLayout;
    d["layoutLockAvailable"] = info.m_bLayoutLockAvailable;
    d["hasCallMonitor"] = info.m_bHasCallMonitor;
    d["callMonitorSpotMode"] = info.m_bCallMonSpotMode;
    d["touchTrackerOnMain"] = info.m_bTouchTrackerOnMain;
    d["callCamera"] = info.m_nCallCamera;
    unit["displayInfo"] = d;
}

// "audioMixer": the committed mixer settings ({"playVolume", "lineVolume",
// "micVolume", "playMute", "lineMute", "micMute", "micBoost", "recordMode",
// "lineRecordLevel", "micRecordLevel"}) and "linked".  Settings changed but
// not saved by the library are not written.
void LoadAudioMixerInfo(const nlohmann::json& unit, CAudioMixerInfo& info) {
    const auto& m = SectionOf(unit, "audioMixer");
    auto& s = info.m_current;
    s.playVolume = Int32(m, "playVolume", s.playVolume);
    s.lineVolume = Int32(m, "lineVolume", s.lineVolume);
    s.micVolume = Int32(m, "micVolume", s.micVolume);
    s.playMute = JsonLong(m, "playMute", s.playMute) != 0;
    s.lineMute = JsonLong(m, "lineMute", s.lineMute) != 0;
    s.micMute = JsonLong(m, "micMute", s.micMute) != 0;
    s.micBoost = JsonLong(m, "micBoost", s.micBoost) != 0;
    s.recordMode = Int32(m, "recordMode", s.recordMode);
    s.lineRecordLevel = Int32(m, "lineRecordLevel", s.lineRecordLevel);
    s.micRecordLevel = Int32(m, "micRecordLevel", s.micRecordLevel);
    info.m_saved = s;
    info.m_bLinkedVolumes = JsonLong(m, "linked", info.m_bLinkedVolumes) != 0;
}

void SaveAudioMixerInfo(nlohmann::json& unit, const CAudioMixerInfo& info) {
    nlohmann::json m = WritableSection(unit, "audioMixer");
    const auto& s = info.m_saved;
    m["playVolume"] = s.playVolume;
    m["lineVolume"] = s.lineVolume;
    m["micVolume"] = s.micVolume;
    m["playMute"] = s.playMute;
    m["lineMute"] = s.lineMute;
    m["micMute"] = s.micMute;
    m["micBoost"] = s.micBoost;
    m["recordMode"] = s.recordMode;
    m["lineRecordLevel"] = s.lineRecordLevel;
    m["micRecordLevel"] = s.micRecordLevel;
    m["linked"] = info.m_bLinkedVolumes;
    unit["audioMixer"] = m;
}

// "audioAssociations": up to 16 values by camera index (0 = the camera
// carries the audio, -1 = it does not).  A mistyped entry reads as -1; a
// shorter list stores fewer values, as the library allows.
void LoadAudioAssocInfo(const nlohmann::json& unit, CAudioAssocInfo& info) {
    if (!unit.is_object() || !unit.contains("audioAssociations") || !unit["audioAssociations"].is_array()) return;
    const auto& a = unit["audioAssociations"];
    info.m_values.clear();
    for (size_t i = 0; i < a.size() && i < CAudioAssocInfo::kMaxCameras; ++i) {
        long v = a[i].is_number_integer() ? a[i].get<long>() : -1;
        info.m_values.push_back(v < INT16_MIN || v > INT16_MAX ? -1 : static_cast<std::int16_t>(v));
    }
}

void SaveAudioAssocInfo(nlohmann::json& unit, const CAudioAssocInfo& info) { unit["audioAssociations"] = info.m_values; }

}  // namespace host
