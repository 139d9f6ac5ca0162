// What the camera sheet and the IP source sheet share: the Camera Control,
// PTZ Triggers, User-Defined Handlers and Covert pages of the camera setup,
// built and added in the same way by both.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "cameras/CamControlPropPage.h"
#include "cameras/CamCovertPropPage.h"
#include "cameras/CamPTZTriggerPropPage.h"
#include "cameras/UserDefinedHandlersPage.h"
#include "component/SetupSheet.h"
#include "interfaces/HostInterfaces.h"

class CCameraPagesSheet : public CSetupSheet {
public:
    enum { kCameraControlFeature = 21 };

    // The pages built (null when not built; a built page need not be added).
    CCamCovertPropPage* CovertPage() const { return m_covert.get(); }
    CCamControlPropPage* CameraControlPage() const { return m_cameraControl.get(); }
    CCamPTZTriggerPropPage* PTZTriggerPage() const { return m_ptzTriggers.get(); }
    CUserDefinedHandlersPage* UserHandlersPage() const { return m_userHandlers.get(); }

protected:
    // Builds and adds the Camera Control page, then, when withTriggers says
    // so (asked after that page is added), the PTZ Triggers and User-Defined
    // Handlers pages.
    void AddCameraControlPages(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl,
                               const std::function<bool()>& withTriggers) {
        m_cameraControl = std::make_unique<CCamControlPropPage>(setup, cameraControl);
        AddPage(m_cameraControl.get());
        if (!withTriggers()) return;
        m_ptzTriggers = std::make_unique<CCamPTZTriggerPropPage>(setup, cameraControl);
        AddPage(m_ptzTriggers.get());
        m_userHandlers = std::make_unique<CUserDefinedHandlersPage>(setup, cameraControl);
        AddPage(m_userHandlers.get());
    }

    // Adds the Covert page, when it was built and the host grants covert access.
    void AddCovertPage(host::ISetupUISupport* setup) {
        std::int32_t access = 0, reserved = 0;
        if (setup && com::SUCCEEDED(setup->GetCovertSetupAccess(&access, &reserved)) && access != 0 && m_covert)
            AddPage(m_covert.get());
    }

    std::unique_ptr<CCamCovertPropPage> m_covert;
    std::unique_ptr<CCamControlPropPage> m_cameraControl;
    std::unique_ptr<CCamPTZTriggerPropPage> m_ptzTriggers;
    std::unique_ptr<CUserDefinedHandlersPage> m_userHandlers;
};
