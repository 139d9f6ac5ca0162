#include "cameras/CamTerminationPropPage.h"

#include "resources/CameraIds.h"

using namespace res::cam;

CCamTerminationPropPage::CCamTerminationPropPage(host::ISetupUISupport* setup) : CameraRowsPage(IDD, setup) {
    std::int32_t mask = 0, reserved = 0;
    if (m_setup && com::FAILED(m_setup->GetTerminationMask(&mask, &reserved))) mask = 0;
    for (int i = 0; i < 16; ++i) m_flags[i] = (mask >> i) & 1;
}

bool CCamTerminationPropPage::OnInitDialog() {
    Selections sel{};
    for (int i = 0; i < 16; ++i) sel[i] = m_flags[i] ? 1 : 0;
    FillRows({kStrTermHiZ, kStrTerm75}, sel);
    return true;
}

std::int32_t CCamTerminationPropPage::BuildMask(const Selections& selected, const Flags& stored, int count,
                                                bool& changed) {
    // Rows beyond the count are hidden and have no selection: they keep the
    // host's stored bit and never count as a change, so a unit with fewer
    // than 16 cameras sends nothing unless the operator changed a visible row.
    changed = false;
    std::int32_t mask = 0;
    for (int i = 0; i < 16; ++i) {
        std::int32_t bit;
        if (i < count) {
            bit = selected[i] & 1;
            if (bit != stored[i]) changed = true;
        } else {
            bit = stored[i] & 1;
        }
        mask |= bit << i;
    }
    return mask;
}

bool CCamTerminationPropPage::OnApply() {
    if (HasWindow()) {
        bool changed = false;
        const std::int32_t mask = BuildMask(Selected(), m_flags, Count(), changed);
        if (changed && m_setup) {
            std::int32_t reserved = 0;
            m_setup->SetTerminationMask(mask, 0, &reserved);
        }
    }
    SetModified(false);
    return true;
}
