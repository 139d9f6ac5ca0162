// The camera setup sheet: Names, Termination, Gain, Camera Control, PTZ
// Triggers, User-Defined Handlers and Covert pages, each present only when
// the host's version, switches and access allow it.
#pragma once
#include <memory>

#include "cameras/CamControlPropPage.h"
#include "cameras/CamCovertPropPage.h"
#include "cameras/CamGainPropPage.h"
#include "cameras/CamPTZTriggerPropPage.h"
#include "cameras/CamTerminationPropPage.h"
#include "cameras/CameraPropPage.h"
#include "cameras/UserDefinedHandlersPage.h"
#include "component/SetupSheet.h"
#include "interfaces/HostInterfaces.h"

class CNamePropSheet : public CSetupSheet {
public:
    enum { kCameraControlFeature = 21 };

    // Assembles the pages; raises ComError when the host system object cannot
    // be had or one of its calls fails.  cameraControl may be null.
    CNamePropSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);
    ~CNamePropSheet() override;

    int GetActiveHelpTopic() override;
    void Create(ui::Window* parent) override;

    // The pages built (null when not built; a built page need not be added).
    CCameraPropPage* NamesPage() const { return m_names.get(); }
    CCamTerminationPropPage* TerminationPage() const { return m_termination.get(); }
    CCamGainPropPage* GainPage() const { return m_gain.get(); }
    CCamCovertPropPage* CovertPage() const { return m_covert.get(); }
    CCamControlPropPage* CameraControlPage() const { return m_cameraControl.get(); }
    CCamPTZTriggerPropPage* PTZTriggerPage() const { return m_ptzTriggers.get(); }
    CUserDefinedHandlersPage* UserHandlersPage() const { return m_userHandlers.get(); }

private:
    std::unique_ptr<CCameraPropPage> m_names;
    std::unique_ptr<CCamTerminationPropPage> m_termination;
    std::unique_ptr<CCamGainPropPage> m_gain;
    std::unique_ptr<CCamCovertPropPage> m_covert;
    std::unique_ptr<CCamControlPropPage> m_cameraControl;
    std::unique_ptr<CCamPTZTriggerPropPage> m_ptzTriggers;
    std::unique_ptr<CUserDefinedHandlersPage> m_userHandlers;
};
