// Termination page (template 154): 75 ohms or high impedance per camera input.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "cameras/CameraRowsPage.h"

class CCamTerminationPropPage : public cameras::CameraRowsPage {
public:
    enum { IDD = 154 };
    using Flags = std::array<std::int32_t, 16>;

    explicit CCamTerminationPropPage(host::ISetupUISupport* setup);
    bool OnApply() override;

    // The mask to send: bit i from the selection of camera i + 1 for cameras
    // below the count; cameras beyond the count keep their stored flag.
    // changed tells whether a camera below the count differs from its flag.
    static std::int32_t BuildMask(const Selections& selected, const Flags& stored, int count, bool& changed);

protected:
    bool OnInitDialog() override;

private:
    Flags m_flags{};
};
