// The unit file's sections for the data objects that the host passes by
// address (record mode, display layouts, audio) and the printer options.
#pragma once
#include <nlohmann/json.hpp>

#include "foundation/AudioInfo.h"
#include "foundation/DisplayInfo.h"
#include "foundation/Util.h"

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

}  // namespace host
