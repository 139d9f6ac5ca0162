#include "cameras/CamGainPropPage.h"

#include "cameras/CameraHelpers.h"
#include "component/HostSystem.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;

CCamGainPropPage::CCamGainPropPage(host::ISetupUISupport* setup) : ui::PropertyPage(IDD), m_setup(setup) {
    for (int i = 0; i < 16; ++i) m_names[i] = mirelle::HostCameraName(m_setup, i);
    m_cameraCount = mirelle::HostCameraCount();
    // Cameras the host does not fill show "Normal".
    m_modes.fill(1);
    std::int32_t reserved = 0;
    // The buffer holds 16 modes: never ask for more.
    const auto count = static_cast<std::int16_t>(mirelle::ClampCameraCount(m_cameraCount));
    if (m_setup && count > 0) m_setup->GetGainModes(m_modes.data(), count, &reserved);
}

bool CCamGainPropPage::OnInitDialog() {
    const int count = mirelle::ClampCameraCount(m_cameraCount);
    for (int i = 0; i < 16; ++i) {
        SetItemText(kRowLabel + i, m_names[i]);
        auto& combo = Item(kRowField + i);
        combo.ClearItems();
        for (int m = 0; m < kModeCount; ++m) combo.AddItem(res::LoadString(kStrGain0 + m), m);
        // A mode the list does not know leaves the row without a selection.
        if (i < count) SetSelection(kRowField + i, m_modes[i] >= 0 && m_modes[i] < kModeCount ? m_modes[i] : -1);
    }
    cameras::HideRowsFrom(*this, count, false);
    if (count < 16) cameras::HideSecondHeadings(*this);
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
    const int count = mirelle::ClampCameraCount(m_cameraCount);
    if (HasWindow() && count > 0) {
        std::array<int, 16> sel{};
        for (int i = 0; i < 16; ++i) sel[i] = Item(kRowField + i).selection;
        if (TakeSelections(sel, count, m_modes, m_changedMask) && m_setup) {
            std::int32_t reserved = 0;
            m_setup->SetGainModes(m_modes.data(), static_cast<std::int16_t>(count), &m_changedMask, 0, &reserved);
        }
    }
    SetModified(false);
    return true;
}
