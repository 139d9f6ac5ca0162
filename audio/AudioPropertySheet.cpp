#include "audio/AudioPropertySheet.h"

namespace audio {

CAudioPropertySheet::CAudioPropertySheet(CAudioMixerInfo& mixer, CAudioAssocInfo& assoc, host::ISetupUISupport* setup)
    : m_mixer(mixer), m_assoc(assoc), m_setup(setup) {
    m_pMixer = std::make_unique<CQllnMixerPropPage>(m_mixer, m_setup);
    AddPage(m_pMixer.get());
    m_pAssociation = std::make_unique<CAudioAssociationPropPage>(m_assoc, m_setup);
    AddPage(m_pAssociation.get());
}

CAudioPropertySheet::~CAudioPropertySheet() = default;

int CAudioPropertySheet::GetActiveHelpTopic() {
    ui::PropertyPage* active = ActivePage();
    if (active && active == m_pMixer.get()) return kHelpMixer;
    if (active && active == m_pAssociation.get()) return kHelpAssociations;
    return 0;
}

void CAudioPropertySheet::UpdateLevelMeter(std::int32_t peakLevel) { m_pMixer->PostLevel(peakLevel); }

}  // namespace audio
