#include "display/DisplayCallMonPropPage.h"

#include "display/DisplayCameraNames.h"
#include "foundation/DebugLog.h"

namespace display {

CDisplayCallMonPropPage::CDisplayCallMonPropPage(CDisplayInfo& info, host::ISetupUISupport* setup)
    : ui::PropertyPage(IDD), m_info(info), m_setup(setup) {}

bool CDisplayCallMonPropPage::OnInitDialog() {
    for (int k = 0; k < kButtons; ++k) {
        SetItemText(IDC_CAMERA1 + k, CDisplayCameraNames::Name(k));
        SetTicked(IDC_CAMERA1 + k, false);
    }

    // A mask the host cannot give offers no camera; the stored call camera
    // is then kept.
    std::int32_t enable = 0, allow = 0;
    if (m_setup) {
        if (com::HRESULT hr = m_setup->GetCameraEnableMask(&enable); com::FAILED(hr)) {
            LogMirelle("call monitor page: GetCameraEnableMask failed: " + com::HresultText(hr));
            enable = 0;
        }
        if (com::HRESULT hr = m_setup->GetCameraAllowMask(&allow); com::FAILED(hr)) {
            LogMirelle("call monitor page: GetCameraAllowMask failed: " + com::HresultText(hr));
            allow = 0;
        }
    }
    m_selectable = enable & allow;
    for (int k = 0; k < kButtons; ++k) EnableItem(IDC_CAMERA1 + k, (m_selectable >> k) & 1);

    if (m_info.m_nCallCamera >= 0 && m_info.m_nCallCamera < kButtons)
        SetTicked(IDC_CAMERA1 + m_info.m_nCallCamera, true);

    SetTicked(IDC_SPOT, m_info.m_bCallMonSpotMode != 0);
    SetTicked(IDC_CALL, m_info.m_bCallMonSpotMode == 0);
    SetTicked(IDC_MAIN, m_info.m_bTouchTrackerOnMain != 0);
    SetTicked(IDC_SECONDARY, m_info.m_bTouchTrackerOnMain == 0);
    return true;
}

void CDisplayCallMonPropPage::OnClick(int id) {
    // Main and Secondary exclude each other.
    if (id == IDC_MAIN) {
        SetTicked(IDC_SECONDARY, false);
    } else if (id == IDC_SECONDARY) {
        SetTicked(IDC_MAIN, false);
    } else {
        ui::PropertyPage::OnClick(id);
    }
}

bool CDisplayCallMonPropPage::OnApply() {
    if (HasWindow()) {
        m_info.m_bCallMonSpotMode = IsTicked(IDC_SPOT) ? 1 : 0;
        m_info.m_bTouchTrackerOnMain = IsTicked(IDC_MAIN) ? 1 : 0;
        for (int k = 0; k < kButtons; ++k)
            if (IsTicked(IDC_CAMERA1 + k)) {
                m_info.m_nCallCamera = static_cast<std::int16_t>(k);
                break;
            }
    }
    return ui::PropertyPage::OnApply();
}

}  // namespace display
