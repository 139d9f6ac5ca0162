// The layout pages of the display sheet: "2 x 2" (template 135), "3 x 3"
// (151) and "4 x 4" (152).  Each shows the pane grid of its layout and the
// camera buttons: pressing a camera button selects the camera that a click
// in a pane assigns; Reset restores the layout's default assignment.
// Assignments go straight into the working display information.
#pragma once
#include <cstdint>
#include <memory>

#include "display/DisplayPane.h"
#include "util/DisplayInfo.h"
#include "platform/ui/Dialog.h"

namespace display {

class CDisplayLayoutPropPage : public ui::PropertyPage {
public:
    enum { IDC_FRAME = 1101, IDC_RESET = 1102, IDC_PANE = 1103, IDC_CAMERA1 = 1110 };
    static constexpr int kButtons = 16;

    ~CDisplayLayoutPropPage() override;

    DisplayPane& Pane() { return *m_pane; }
    CDisplayInfo::eDisplayType Type() const { return m_type; }
    std::int16_t CameraCount() const { return m_cameraCount; }

protected:
    // readCameraCount: the page asks the host for the camera count and shows
    // only that many camera buttons; otherwise all 16 are shown.
    CDisplayLayoutPropPage(int templateId, CDisplayInfo::eDisplayType type, CDisplayInfo& info, bool readCameraCount);

    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSelChange(int id) override;

private:
    CDisplayInfo& m_info;
    CDisplayInfo::eDisplayType m_type;
    bool m_limitToCount;
    std::int16_t m_cameraCount = CDisplayInfo::kMaxCameras;
    std::unique_ptr<DisplayPane> m_pane;
};

class CDisplay2X2PropPage : public CDisplayLayoutPropPage {
public:
    enum { IDD = 135 };
    explicit CDisplay2X2PropPage(CDisplayInfo& info) : CDisplayLayoutPropPage(IDD, CDisplayInfo::e2x2, info, true) {}
};

class CDisplay3X3PropPage : public CDisplayLayoutPropPage {
public:
    enum { IDD = 151 };
    explicit CDisplay3X3PropPage(CDisplayInfo& info) : CDisplayLayoutPropPage(IDD, CDisplayInfo::e3x3, info, true) {}
};

class CDisplay4X4PropPage : public CDisplayLayoutPropPage {
public:
    enum { IDD = 152 };
    explicit CDisplay4X4PropPage(CDisplayInfo& info) : CDisplayLayoutPropPage(IDD, CDisplayInfo::e4x4, info, false) {}
};

}  // namespace display
