#include "network/IPSourcePropSheet.h"

#include "component/HostSystem.h"

CIPSourcePropSheet::CIPSourcePropSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl) {
    auto hostSystem = mirelle::ObtainHostSystemObject();
    const auto& iid = host::IHostSystemObject::IID_;
    host::VARIANT_BOOL feature21 = 0;
    com::ThrowIfFailed(hostSystem->IsFeatureEnabled(kCameraControlFeature, &feature21), iid);
    double version = 0;
    com::ThrowIfFailed(hostSystem->GetVersion(&version), iid);

    m_sources = std::make_unique<CIPSourcePropPage>(setup);
    if (version * 100 >= static_cast<double>(kCovertVersion)) m_covert = std::make_unique<CCamCovertPropPage>(setup);

    std::int32_t access = 0, reserved = 0;
    if (setup && com::SUCCEEDED(setup->GetCameraSetupAccess(&access, &reserved)) && access != 0)
        AddPage(m_sources.get());
    if (feature21 != 0 && cameraControl) AddCameraControlPages(setup, cameraControl, [] { return true; });
    AddCovertPage(setup);
}

CIPSourcePropSheet::~CIPSourcePropSheet() = default;

int CIPSourcePropSheet::GetActiveHelpTopic() {
    ui::PropertyPage* page = ActivePage();
    if (!page) return 0;
    if (page == m_sources.get()) return CIPSourcePropPage::kHelpTopic;
    if (page == m_cameraControl.get()) return CCamControlPropPage::kHelpTopic;
    if (page == m_ptzTriggers.get()) return CCamPTZTriggerPropPage::kHelpTopic;
    if (page == m_covert.get()) return CCamCovertPropPage::kHelpTopic;
    return 0;
}
