// The display setup sheet: the Mode page, the layout pages the unit's
// camera count allows (2 x 2 above 1 camera, 3 x 3 above 4, 4 x 4 above 9)
// and the Call Monitor page when the host offers it and the unit has one.
#pragma once
#include <cstdint>
#include <memory>

#include "component/SetupSheet.h"
#include "display/DisplayCallMonPropPage.h"
#include "display/DisplayLayoutPropPage.h"
#include "display/DisplayModePropPage.h"
#include "util/DisplayInfo.h"
#include "interfaces/HostInterfaces.h"

namespace display {

class CDisplayPropSheet : public CSetupSheet {
public:
    // Feature switch of the host for the call monitor.
    static constexpr std::int32_t kCallMonitorFeature = 22;
    // Help topics by page.
    enum { kHelpMode = 54, kHelp2x2 = 50, kHelp3x3 = 51, kHelp4x4 = 52, kHelpCallMonitor = 53 };

    // Raises ComError: E_POINTER when the host system object cannot be had,
    // the call's result when IsFeatureEnabled fails.
    CDisplayPropSheet(CDisplayInfo& info, host::ISetupUISupport* setup);
    ~CDisplayPropSheet() override;

    // The preparatory step: the camera name table, once per setup.
    void LoadCameraNames(host::ISetupUISupport* setup);
    int GetActiveHelpTopic() override;

    CDisplayModePropPage* ModePage() const { return m_pMode.get(); }
    CDisplay2X2PropPage* Page2x2() const { return m_p2x2.get(); }
    CDisplay3X3PropPage* Page3x3() const { return m_p3x3.get(); }
    CDisplay4X4PropPage* Page4x4() const { return m_p4x4.get(); }
    CDisplayCallMonPropPage* CallMonitorPage() const { return m_pCallMon.get(); }

private:
    CDisplayInfo& m_info;
    std::unique_ptr<CDisplayModePropPage> m_pMode;
    std::unique_ptr<CDisplay2X2PropPage> m_p2x2;
    std::unique_ptr<CDisplay3X3PropPage> m_p3x3;
    std::unique_ptr<CDisplay4X4PropPage> m_p4x4;
    std::unique_ptr<CDisplayCallMonPropPage> m_pCallMon;
};

}  // namespace display
