// Gain page (template 221): the video input gain mode of each camera.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "cameras/CameraRowsPage.h"

class CCamGainPropPage : public cameras::CameraRowsPage {
public:
    enum { IDD = 221, kModeCount = 5 };
    using Modes = std::array<std::int32_t, 16>;

    explicit CCamGainPropPage(host::ISetupUISupport* setup);
    bool OnApply() override;

    // Stores the selections of the first count cameras into modes, extends
    // the changed-camera mask with those that differ; true when any did.
    static bool TakeSelections(const std::array<int, 16>& selected, int count, Modes& modes,
                               std::int32_t& changedMask);

protected:
    bool OnInitDialog() override;

private:
    Modes m_modes{};
    std::int32_t m_changedMask = 0;
};
