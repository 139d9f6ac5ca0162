// Covert page (template 228): "Normal" or "Covert" per camera.  Camera 1 is
// never covert.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "cameras/CameraRowsPage.h"

class CCamCovertPropPage : public cameras::CameraRowsPage {
public:
    enum { IDD = 228, kHelpTopic = 45 };
    using Flags = std::array<std::int32_t, 16>;

    explicit CCamCovertPropPage(host::ISetupUISupport* setup);
    bool OnApply() override;

    // What apply decides from the selections.
    struct Outcome {
        std::int32_t mask = 0;
        bool covertBefore = false;
        bool covertNow = false;
        bool changed = false;
        int messageId = 0;  // 1067, 1068 or 0
    };
    static Outcome Decide(const std::array<int, 16>& selected, const Flags& stored, int count);

protected:
    bool OnInitDialog() override;

private:
    Flags m_flags{};
};
