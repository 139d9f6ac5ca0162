// The audio setup sheet: the Audio Mixer page, then Camera Associations.
#pragma once
#include <memory>

#include "audio/AudioAssociationPropPage.h"
#include "audio/QllnMixerPropPage.h"
#include "component/SetupSheet.h"

namespace audio {

class CAudioPropertySheet : public CSetupSheet {
public:
    enum { kHelpMixer = 90, kHelpAssociations = 91 };

    // Raises ComError(E_POINTER) when the host system object cannot be had.
    CAudioPropertySheet(CAudioMixerInfo& mixer, CAudioAssocInfo& assoc, host::ISetupUISupport* setup);
    ~CAudioPropertySheet() override;

    int GetActiveHelpTopic() override;
    // Any thread: the peak level goes to the mixer page's meter.
    void UpdateLevelMeter(std::int32_t peakLevel) override;

    CQllnMixerPropPage* MixerPage() const { return m_pMixer.get(); }
    CAudioAssociationPropPage* AssociationPage() const { return m_pAssociation.get(); }

private:
    CAudioMixerInfo& m_mixer;
    CAudioAssocInfo& m_assoc;
    host::ISetupUISupport* m_setup;
    std::unique_ptr<CQllnMixerPropPage> m_pMixer;
    std::unique_ptr<CAudioAssociationPropPage> m_pAssociation;
};

}  // namespace audio
