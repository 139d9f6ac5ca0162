#include "display/DisplayPropSheet.h"

#include "component/HostSystem.h"
#include "display/DisplayCameraNames.h"
#include "foundation/DebugLog.h"

namespace display {

CDisplayPropSheet::CDisplayPropSheet(CDisplayInfo& info, host::ISetupUISupport* setup) : m_info(info) {
    std::int16_t count = 16;
    host::VARIANT_BOOL callMonitor = 0;
    {
        auto hostSystem = mirelle::ObtainHostSystemObject();
        if (com::HRESULT hr = hostSystem->GetCameraCount(&count); com::FAILED(hr)) {
            LogMirelle("display sheet: GetCameraCount failed: " + com::HresultText(hr));
            count = 16;
        }
        com::ThrowIfFailed(hostSystem->IsFeatureEnabled(kCallMonitorFeature, &callMonitor),
                           host::IHostSystemObject::IID_);
    }

    m_pMode = std::make_unique<CDisplayModePropPage>(info);
    AddPage(m_pMode.get());
    if (count > 1) {
        m_p2x2 = std::make_unique<CDisplay2X2PropPage>(info);
        AddPage(m_p2x2.get());
    }
    if (count > 4) {
        m_p3x3 = std::make_unique<CDisplay3X3PropPage>(info);
        AddPage(m_p3x3.get());
    }
    if (count > 9) {
        m_p4x4 = std::make_unique<CDisplay4X4PropPage>(info);
        AddPage(m_p4x4.get());
    }
    if (callMonitor != 0 && m_info.m_bHasCallMonitor) {
        m_pCallMon = std::make_unique<CDisplayCallMonPropPage>(info, setup);
        AddPage(m_pCallMon.get());
    }
}

CDisplayPropSheet::~CDisplayPropSheet() {
    m_pMode.reset();
    m_p2x2.reset();
    m_p3x3.reset();
    m_p4x4.reset();
    m_pCallMon.reset();
    CDisplayCameraNames::Unload();
}

void CDisplayPropSheet::LoadCameraNames(host::ISetupUISupport* setup) { CDisplayCameraNames::Load(setup); }

int CDisplayPropSheet::GetActiveHelpTopic() {
    ui::PropertyPage* active = ActivePage();
    if (!active) return 0;
    if (active == m_pMode.get()) return kHelpMode;
    if (active == m_p2x2.get()) return kHelp2x2;
    if (active == m_p3x3.get()) return kHelp3x3;
    if (active == m_p4x4.get()) return kHelp4x4;
    if (active == m_pCallMon.get()) return kHelpCallMonitor;
    return 0;
}

}  // namespace display
