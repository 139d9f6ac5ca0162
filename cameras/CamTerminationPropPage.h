// Termination page (template 154): 75 ohms or high impedance per camera input.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

class CCamTerminationPropPage : public ui::PropertyPage {
public:
    enum { IDD = 154 };
    using Flags = std::array<std::int32_t, 16>;
    using Selections = std::array<int, 16>;

    explicit CCamTerminationPropPage(host::ISetupUISupport* setup);
    bool OnApply() override;

    // The mask to send: bit i from the selection of camera i + 1 for cameras
    // below the count; cameras beyond the count keep their stored flag.
    // changed tells whether a camera below the count differs from its flag.
    static std::int32_t BuildMask(const Selections& selected, const Flags& stored, int count, bool& changed);

protected:
    bool OnInitDialog() override;

private:
    std::int16_t m_cameraCount = 0;
    std::array<std::string, 16> m_names;
    Flags m_flags{};
    host::ISetupUISupport* m_setup;
};
