#include "audio/AudioSetup.h"

namespace audio {
std::unique_ptr<CSetupSheet> CreateAudioSheet(CAudioMixerInfo&, CAudioAssocInfo&, host::ISetupUISupport*) { return nullptr; }
}  // namespace audio
