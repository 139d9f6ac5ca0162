#include "cameras/NamePropSheet.h"

#include "component/HostSystem.h"

CNamePropSheet::CNamePropSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl) {
    auto hostSystem = mirelle::ObtainHostSystemObject();
    const auto& iid = host::IHostSystemObject::IID_;
    host::VARIANT_BOOL feature21 = 0;
    com::ThrowIfFailed(hostSystem->IsFeatureEnabled(kCameraControlFeature, &feature21), iid);

    m_names = std::make_unique<CCameraPropPage>(setup);
    m_termination = std::make_unique<CCamTerminationPropPage>(setup);

    // Versions are compared on the double as the host returns it.
    double version = 0;
    com::ThrowIfFailed(hostSystem->GetVersion(&version), iid);
    if (version >= 3.0) m_gain = std::make_unique<CCamGainPropPage>(setup);
    com::ThrowIfFailed(hostSystem->GetVersion(&version), iid);
    if (version >= 3.1) m_covert = std::make_unique<CCamCovertPropPage>(setup);

    std::int32_t access = 0, reserved = 0;
    if (setup && com::SUCCEEDED(setup->GetCameraSetupAccess(&access, &reserved)) && access != 0) {
        AddPage(m_names.get());
        AddPage(m_termination.get());
        if (m_gain) AddPage(m_gain.get());
        if (feature21 != 0 && cameraControl)
            AddCameraControlPages(setup, cameraControl, [&] {
                com::ThrowIfFailed(hostSystem->GetVersion(&version), iid);
                return version >= 3.22;
            });
    }
    AddCovertPage(setup);
}

CNamePropSheet::~CNamePropSheet() = default;

void CNamePropSheet::Create(ui::Window* parent) {
    // The tab key moves into the pages' controls (a control parent); the
    // model has no extended styles, so the platform initialisation is all.
    CSetupSheet::Create(parent);
}

int CNamePropSheet::GetActiveHelpTopic() {
    ui::PropertyPage* page = ActivePage();
    if (!page) return 0;
    if (page == m_names.get()) return 41;
    if (page == m_termination.get()) return 40;
    if (page == m_cameraControl.get()) return CCamControlPropPage::kHelpTopic;
    if (page == m_gain.get()) return 44;
    if (page == m_ptzTriggers.get()) return CCamPTZTriggerPropPage::kHelpTopic;
    if (page == m_covert.get()) return CCamCovertPropPage::kHelpTopic;
    if (page == m_userHandlers.get()) return CUserDefinedHandlersPage::kHelpTopic;
    return 0;
}
