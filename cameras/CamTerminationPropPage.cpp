#include "cameras/CamTerminationPropPage.h"

#include "cameras/CameraHelpers.h"
#include "component/HostSystem.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

using namespace res::cam;

CCamTerminationPropPage::CCamTerminationPropPage(host::ISetupUISupport* setup)
    : ui::PropertyPage(IDD), m_setup(setup) {
    for (int i = 0; i < 16; ++i) m_names[i] = mirelle::HostCameraName(m_setup, i);
    std::int32_t mask = 0, reserved = 0;
    if (m_setup && com::FAILED(m_setup->GetTerminationMask(&mask, &reserved))) mask = 0;
    for (int i = 0; i < 16; ++i) m_flags[i] = (mask >> i) & 1;
    m_cameraCount = mirelle::HostCameraCount();
}

bool CCamTerminationPropPage::OnInitDialog() {
    const int count = mirelle::ClampCameraCount(m_cameraCount);
    for (int i = 0; i < 16; ++i) {
        SetItemText(kRowLabel + i, m_names[i]);
        auto& combo = Item(kRowField + i);
        combo.ClearItems();
        combo.AddItem(res::LoadString(kStrTermHiZ), 0);
        combo.AddItem(res::LoadString(kStrTerm75), 1);
        if (i < count) SetSelection(kRowField + i, m_flags[i] ? 1 : 0);
    }
    cameras::HideRowsFrom(*this, count, false);
    if (count < 16) cameras::HideSecondHeadings(*this);
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
        Selections sel{};
        for (int i = 0; i < 16; ++i) sel[i] = Item(kRowField + i).selection;
        bool changed = false;
        const std::int32_t mask = BuildMask(sel, m_flags, mirelle::ClampCameraCount(m_cameraCount), changed);
        if (changed && m_setup) {
            std::int32_t reserved = 0;
            m_setup->SetTerminationMask(mask, 0, &reserved);
        }
    }
    SetModified(false);
    return true;
}
