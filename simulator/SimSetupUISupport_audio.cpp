// ISetupUISupport: the live mixer controls of the audio setup.  The unit
// keeps what it is currently doing in the "audioLive" section: the levels
// the operator hears, apart from the committed mixer settings.
#include "simulator/SimSetupUISupport.h"

namespace host {

namespace {

constexpr int kMaxLevel = 100;

bool InRange(std::int32_t v, std::int32_t lo, std::int32_t hi) { return v >= lo && v <= hi; }

// Records the call and stores the values in the live section; out-of-range
// values are refused with E_INVALIDARG as the unit's mixer driver does.
HRESULT StoreLive(SimulatedUnit& unit, const char* call,
                  std::initializer_list<std::pair<const char*, std::int32_t>> values, std::int32_t zero, bool valid) {
    std::string args;
    for (auto& [key, v] : values) args += std::to_string(v) + " ";
    args += std::to_string(zero);
    if (HRESULT hr = unit.Enter(call, args, true); com::FAILED(hr)) return hr;
    if (!valid) return com::E_INVALIDARG;
    std::lock_guard l(unit.DataMutex());
    auto& live = unit.Data()["audioLive"];
    if (!live.is_object()) live = nlohmann::json::object();
    for (auto& [key, v] : values) live[key] = v;
    return com::S_OK;
}

}  // namespace

HRESULT SimSetupUISupport::SetLiveMicRecordLevel(std::int32_t level, std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveMicRecordLevel", {{"micRecordLevel", level}}, zero, InRange(level, 0, kMaxLevel));
}

HRESULT SimSetupUISupport::SetLiveLineRecordLevel(std::int32_t level, std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveLineRecordLevel", {{"lineRecordLevel", level}}, zero, InRange(level, 0, kMaxLevel));
}

HRESULT SimSetupUISupport::SetLiveRecordMode(std::int32_t mode, std::int32_t micMute, std::int32_t lineMute,
                                             std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveRecordMode", {{"recordMode", mode}, {"micMute", micMute}, {"lineMute", lineMute}},
                     zero, InRange(mode, 0, 2));
}

HRESULT SimSetupUISupport::SetLiveMicBoost(std::int32_t on, std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveMicBoost", {{"micBoost", on ? 1 : 0}}, zero, true);
}

HRESULT SimSetupUISupport::SetLiveMicVolume(std::int32_t volume, std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveMicVolume", {{"micVolume", volume}}, zero, InRange(volume, 0, kMaxLevel));
}

HRESULT SimSetupUISupport::SetLiveLineVolume(std::int32_t volume, std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveLineVolume", {{"lineVolume", volume}}, zero, InRange(volume, 0, kMaxLevel));
}

HRESULT SimSetupUISupport::SetLivePlayVolume(std::int32_t volume, std::int32_t zero) {
    return StoreLive(m_unit, "SetLivePlayVolume", {{"playVolume", volume}}, zero, InRange(volume, 0, kMaxLevel));
}

HRESULT SimSetupUISupport::SetLiveMicMute(std::int32_t muted, std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveMicMute", {{"micMute", muted ? 1 : 0}}, zero, true);
}

HRESULT SimSetupUISupport::SetLiveLineMute(std::int32_t muted, std::int32_t zero) {
    return StoreLive(m_unit, "SetLiveLineMute", {{"lineMute", muted ? 1 : 0}}, zero, true);
}

HRESULT SimSetupUISupport::SetLivePlayMute(std::int32_t muted, std::int32_t zero) {
    return StoreLive(m_unit, "SetLivePlayMute", {{"playMute", muted ? 1 : 0}}, zero, true);
}

}  // namespace host
