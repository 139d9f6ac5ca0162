// The IP source sheet: the IP Sources page and, as the host allows, the
// Camera Control, PTZ Triggers, User-Defined Handlers and Covert pages of the
// camera setup.
#pragma once
#include <memory>

#include "cameras/CamControlPropPage.h"
#include "cameras/CamCovertPropPage.h"
#include "cameras/CamPTZTriggerPropPage.h"
#include "cameras/UserDefinedHandlersPage.h"
#include "component/SetupSheet.h"
#include "interfaces/HostInterfaces.h"
#include "network/IPSourcePropPage.h"

class CIPSourcePropSheet : public CSetupSheet {
public:
    enum { kCameraControlFeature = 21, kCovertVersion = 310 };

    // Assembles the pages; raises ComError when the host system object cannot
    // be had or one of its calls fails.  cameraControl may be null.
    CIPSourcePropSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);
    ~CIPSourcePropSheet() override;

    int GetActiveHelpTopic() override;

    // The pages built (null when not built; a built page need not be added).
    CIPSourcePropPage* SourcesPage() const { return m_sources.get(); }
    CCamCovertPropPage* CovertPage() const { return m_covert.get(); }
    CCamControlPropPage* CameraControlPage() const { return m_cameraControl.get(); }
    CCamPTZTriggerPropPage* PTZTriggerPage() const { return m_ptzTriggers.get(); }
    CUserDefinedHandlersPage* UserHandlersPage() const { return m_userHandlers.get(); }

private:
    std::unique_ptr<CIPSourcePropPage> m_sources;
    std::unique_ptr<CCamCovertPropPage> m_covert;
    std::unique_ptr<CCamControlPropPage> m_cameraControl;
    std::unique_ptr<CCamPTZTriggerPropPage> m_ptzTriggers;
    std::unique_ptr<CUserDefinedHandlersPage> m_userHandlers;
};
