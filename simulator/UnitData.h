// The unit file's sections for the data objects that the host passes by
// address (record mode, display layouts, audio) and the printer options.
#pragma once
#include <limits>

#include <nlohmann/json.hpp>

#include "util/AudioInfo.h"
#include "util/DisplayInfo.h"
#include "util/Util.h"

namespace host {

void LoadRecordInfo(const nlohmann::json& unit, CRecordInfo& info);
void SaveRecordInfo(nlohmann::json& unit, const CRecordInfo& info);
void LoadDisplayInfo(const nlohmann::json& unit, CDisplayInfo& info);
void SaveDisplayInfo(nlohmann::json& unit, const CDisplayInfo& info);
void LoadAudioMixerInfo(const nlohmann::json& unit, CAudioMixerInfo& info);
void SaveAudioMixerInfo(nlohmann::json& unit, const CAudioMixerInfo& info);
void LoadAudioAssocInfo(const nlohmann::json& unit, CAudioAssocInfo& info);
void SaveAudioAssocInfo(nlohmann::json& unit, const CAudioAssocInfo& info);

// A number from an object member, or fallback when absent or not a number.
long JsonLong(const nlohmann::json& object, const char* key, long fallback);

// An integer member that fits T, or fallback when it is absent, not an
// integer or out of T's range.
template <class T>
T JsonInt(const nlohmann::json& object, const char* key, T fallback) {
    long v = JsonLong(object, key, fallback);
    return v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max() ? fallback : static_cast<T>(v);
}

}  // namespace host
