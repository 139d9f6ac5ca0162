#include "audio/AudioSetup.h"

#include "audio/AudioPropertySheet.h"

namespace audio {

std::unique_ptr<CSetupSheet> CreateAudioSheet(CAudioMixerInfo& mixer, CAudioAssocInfo& assoc,
                                              host::ISetupUISupport* setup) {
    return std::make_unique<CAudioPropertySheet>(mixer, assoc, setup);
}

}  // namespace audio
