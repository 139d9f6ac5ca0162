// The "Call Monitor" page of the display sheet (template 202): call or spot
// mode, the monitor of the touch tracker and the call camera.  Only cameras
// set in both the host's enable and allow masks can be chosen.  Applied into
// the working display information on OK.
#pragma once
#include <cstdint>

#include "util/DisplayInfo.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

namespace display {

class CDisplayCallMonPropPage : public ui::PropertyPage {
public:
    enum {
        IDD = 202,
        IDC_MODE_GROUP = 1301,
        IDC_CALL = 1302,
        IDC_SPOT = 1303,
        IDC_CAMERA_GROUP = 1304,
        IDC_TRACKER_GROUP = 1305,
        IDC_MAIN = 1306,
        IDC_SECONDARY = 1307,
        IDC_CAMERA1 = 1310,
    };
    static constexpr int kButtons = 16;

    CDisplayCallMonPropPage(CDisplayInfo& info, host::ISetupUISupport* setup);

    bool OnApply() override;
    // Cameras that may be chosen: the AND of the host's two masks.
    std::int32_t SelectableMask() const { return m_selectable; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;

private:
    CDisplayInfo& m_info;
    host::ISetupUISupport* m_setup;
    std::int32_t m_selectable = 0;
};

}  // namespace display
