#include "cameras/CamGainPropPage.h"

#include "resources/CameraIds.h"

using namespace res::cam;

CCamGainPropPage::CCamGainPropPage(host::ISetupUISupport* setup) : CameraRowsPage(IDD, setup) {
    // Cameras the host does not fill show "Normal".
    m_modes.fill(1);
    std::int32_t reserved = 0;
    // The buffer holds 16 modes: never ask for more.
    const auto count = static_cast<std::int16_t>(Count());
    if (m_setup && count > 0) m_setup->GetGainModes(m_modes.data(), count, &reserved);
}

bool CCamGainPropPage::OnInitDialog() {
    static_assert(kModeCount == 5, "one text a mode");
    // A mode the list does not know leaves the row without a selection.
    Selections sel{};
    for (int i = 0; i < 16; ++i) sel[i] = m_modes[i] >= 0 && m_modes[i] < kModeCount ? m_modes[i] : -1;
    FillRows({kStrGain0, kStrGain0 + 1, kStrGain0 + 2, kStrGain0 + 3, kStrGain0 + 4}, sel);
    return true;
}

bool CCamGainPropPage::TakeSelections(const std::array<int, 16>& selected, int count, Modes& modes,
                                      std::int32_t& changedMask) {
    bool changed = false;
    for (int i = 0; i < count && i < 16; ++i) {
        if (selected[i] != modes[i]) {
            changedMask |= 1 << i;
            changed = true;
        }
        modes[i] = selected[i];
    }
    return changed;
}

bool CCamGainPropPage::OnApply() {
    const int count = Count();
    if (HasWindow() && count > 0) {
        if (TakeSelections(Selected(), count, m_modes, m_changedMask) && m_setup) {
            std::int32_t reserved = 0;
            m_setup->SetGainModes(m_modes.data(), static_cast<std::int16_t>(count), &m_changedMask, 0, &reserved);
        }
    }
    SetModified(false);
    return true;
}
