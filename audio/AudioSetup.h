// Entry of the audio setup, called by ShowAudio.
#pragma once
#include <memory>

#include "component/SetupSheet.h"
#include "util/AudioInfo.h"
#include "interfaces/HostInterfaces.h"

namespace audio {
// Builds the audio sheet (mixer page, then camera associations); null when
// this build has no audio setup.  The sheet's UpdateLevelMeter feeds the meter.
std::unique_ptr<CSetupSheet> CreateAudioSheet(CAudioMixerInfo& mixer, CAudioAssocInfo& assoc, host::ISetupUISupport* setup);
}  // namespace audio
