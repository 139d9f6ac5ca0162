#include "display/DisplayModePropPage.h"

#include "component/HostSystem.h"
#include "display/DwellTime.h"

namespace display {

CDisplayModePropPage::CDisplayModePropPage(CDisplayInfo& info) : ui::PropertyPage(IDD), m_info(info) {}

int CDisplayModePropPage::PositionButton(int position) {
    switch (position) {
        case CDisplayInfo::eUpperLeft: return IDC_UPPER_LEFT;
        case CDisplayInfo::eUpperRight: return IDC_UPPER_RIGHT;
        case CDisplayInfo::eLowerRight: return IDC_LOWER_RIGHT;
        case CDisplayInfo::eLowerLeft: return IDC_LOWER_LEFT;
        default: return 0;
    }
}

bool CDisplayModePropPage::OnInitDialog() {
    SetItemText(IDC_DWELL, FormatDwell(m_info.m_lSequencerDwell));

    SetTicked(IDC_OVERLAY_YES, m_info.m_bOverlayEnabled != 0);
    SetTicked(IDC_OVERLAY_NO, m_info.m_bOverlayEnabled == 0);
    // An unknown stored position selects no button and is kept as it is.
    m_overlayPosition = m_info.m_nOverlayPosition;
    if (int button = PositionButton(m_overlayPosition)) SetTicked(button, true);

    SetTicked(IDC_VCR, m_info.m_bVCRControls != 0);
    SetTicked(IDC_JOG_SHUTTLE, m_info.m_bVCRControls == 0);

    if (!mirelle::HostFeatureEnabled(kPlaybackToMonitorFeature)) {
        for (int id : {IDC_TO_MONITOR_GROUP, IDC_TO_MONITOR_YES, IDC_TO_MONITOR_NO}) ShowItem(id, false);
    } else {
        SetTicked(IDC_TO_MONITOR_YES, m_info.m_bPlaybackToMonitor != 0);
        SetTicked(IDC_TO_MONITOR_NO, m_info.m_bPlaybackToMonitor == 0);
    }

    if (m_info.m_bLayoutLockAvailable == 0) {
        for (int id : {IDC_LOCK_GROUP, IDC_LOCK_YES, IDC_LOCK_NO}) ShowItem(id, false);
    } else {
        SetTicked(IDC_LOCK_YES, m_info.m_bLockLayout != 0);
        SetTicked(IDC_LOCK_NO, m_info.m_bLockLayout == 0);
    }
    return true;
}

void CDisplayModePropPage::OnClick(int id) {
    switch (id) {
        case IDC_UPPER_LEFT: m_overlayPosition = CDisplayInfo::eUpperLeft; break;
        case IDC_UPPER_RIGHT: m_overlayPosition = CDisplayInfo::eUpperRight; break;
        case IDC_LOWER_RIGHT: m_overlayPosition = CDisplayInfo::eLowerRight; break;
        case IDC_LOWER_LEFT: m_overlayPosition = CDisplayInfo::eLowerLeft; break;
        default: ui::PropertyPage::OnClick(id);
    }
}

bool CDisplayModePropPage::OnApply() {
    if (HasWindow()) {
        m_info.m_lSequencerDwell = DwellSeconds(ParseDwell(GetItemText(IDC_DWELL)));
        m_info.m_bOverlayEnabled = IsTicked(IDC_OVERLAY_YES) ? 1 : 0;
        m_info.m_nOverlayPosition = m_overlayPosition;
        m_info.m_bVCRControls = IsTicked(IDC_JOG_SHUTTLE) ? 0 : 1;
        // Both settings are stored from their "Yes" buttons, also when the
        // page hides them (a hidden "Yes" is never ticked: the setting is off).
        m_info.m_bPlaybackToMonitor = IsTicked(IDC_TO_MONITOR_YES) ? 1 : 0;
        m_info.m_bLockLayout = IsTicked(IDC_LOCK_YES) ? 1 : 0;
    }
    return ui::PropertyPage::OnApply();
}

}  // namespace display
