#include "display/DisplayLayoutPropPage.h"

#include <algorithm>

#include "component/HostSystem.h"
#include "display/DisplayCameraNames.h"
#include "foundation/DebugLog.h"

namespace display {

CDisplayLayoutPropPage::CDisplayLayoutPropPage(int templateId, CDisplayInfo::eDisplayType type, CDisplayInfo& info,
                                               bool readCameraCount)
    : ui::PropertyPage(templateId),
      m_info(info),
      m_type(type),
      m_limitToCount(readCameraCount),
      m_pane(std::make_unique<DisplayPane>(info, type)) {
    if (readCameraCount) {
        m_cameraCount = mirelle::HostCameraCountOr(m_cameraCount, "display layout page");
    }
}

CDisplayLayoutPropPage::~CDisplayLayoutPropPage() = default;

bool CDisplayLayoutPropPage::OnInitDialog() {
    const int shown = m_limitToCount ? std::clamp<int>(m_cameraCount, 0, kButtons) : kButtons;
    for (int k = 0; k < shown; ++k) SetItemText(IDC_CAMERA1 + k, CDisplayCameraNames::Name(k));
    for (int k = shown; k < kButtons; ++k) ShowItem(IDC_CAMERA1 + k, false);
    // The button of the pane's selected camera shows as pressed.
    const int selected = m_pane->SelectedCamera();
    if (selected >= 0 && selected < kButtons) SetTicked(IDC_CAMERA1 + selected, true);

    const ui::Control& frame = Item(IDC_FRAME);
    Rect r{frame.x, frame.y, frame.x + frame.cx, frame.y + frame.cy};
    m_pane->Create(*this, IDC_PANE, r.Deflated(4, 4));
    return true;
}

void CDisplayLayoutPropPage::OnClick(int id) {
    if (id >= IDC_CAMERA1 && id < IDC_CAMERA1 + kButtons) {
        m_pane->SetSelectedCamera(id - IDC_CAMERA1);
        return;
    }
    if (id == IDC_RESET) {
        m_info.ResetCameraAssignment(m_type);
        m_pane->Invalidate();
        return;
    }
    ui::PropertyPage::OnClick(id);
}

void CDisplayLayoutPropPage::OnSelChange(int id) {
    if (id != IDC_PANE) return;
    m_pane->ClickPane(Item(IDC_PANE).selection);
}

}  // namespace display
