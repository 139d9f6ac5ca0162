#include "component/SetupSheetDlg.h"

#include <atomic>

#include "component/HostSystem.h"
#include "foundation/Controls.h"
#include "resources/Resources.h"

namespace {
std::atomic<bool> g_frameKeyboard{false};
}

bool FrameKeyboardFlag() { return g_frameKeyboard; }
void SetFrameKeyboardFlag(bool on) { g_frameKeyboard = on; }

CSetupSheetDlg::CSetupSheetDlg(host::ISetupUISupport* support, int titleId, CSetupSheet* sheet, int captionFlag,
                               bool keyboard, ui::Window* parent, int closeOnly)
    : ui::Dialog(IDD, parent), m_sheet(sheet), m_support(support), m_captionFlag(captionFlag), m_closeOnly(closeOnly) {
    SetFrameKeyboardFlag(keyboard);
    if (titleId != 0) m_title = res::LoadString(titleId);
    auto hostSystem = mirelle::ObtainHostSystemObject();
    std::int16_t count = 0;
    hostSystem->GetCameraCount(&count);
    m_cameraCount = count;
}

bool CSetupSheetDlg::OnInitDialog() {
    if (HasControl(IDC_KEYBOARD)) CWWBckgrd(*this, IDC_KEYBOARD).SetKeyboardOn(false);

    m_sheet->Create(this);

    const int mx = ui::DluToPixelsX(16), my = ui::DluToPixelsY(16);
    int top = 0;
    if (m_captionFlag == 1) {
        SetCaption(m_title);
        ShowItem(IDC_TITLE, false);
    } else if (!m_title.empty()) {
        auto& label = Item(IDC_TITLE);
        label.text = m_title;
        label.x = mx;
        label.y = my / 2;
        top = label.cy;
    } else {
        ShowItem(IDC_TITLE, false);
    }

    const int sw = m_sheet->Width(), sh = m_sheet->Height();
    auto& panel = Item(IDC_PANEL);
    panel.x = mx;
    panel.y = my / 2 + top;
    panel.cx = sw + mx;
    panel.cy = sh + my;
    SetSheetOrigin(mx + mx / 2, my + top);

    const auto& ok = Item(1);
    const int bw = ok.cx, bh = ok.cy;
    const int W = sw + 3 * mx;
    SetSize(W, sh + bh + 2 * my + my / 2 + top);
    const int y = sh + 2 * my + top;
    const int s = bw + mx / 2;
    auto place = [&](int id, int x) {
        auto& c = Item(id);
        c.x = x;
        c.y = y;
        Changed(id);
    };
    place(4, W - s);
    place(2, W - 2 * s);
    if (m_closeOnly) {
        SetItemText(2, res::LoadString(1079));
        ShowItem(1, false);
    } else {
        place(1, W - 3 * s);
    }
    if (FrameKeyboardFlag() && HasControl(IDC_KEYBOARD)) CWWBckgrd(*this, IDC_KEYBOARD).SetKeyboardOn(true);
    if (m_sheet->PageCount() > 0) m_sheet->SetActivePage(0);
    return true;
}

void CSetupSheetDlg::OnClick(int id) {
    if (id == 4) {
        int topic = m_sheet->GetActiveHelpTopic();
        if (topic != 0 && m_support) m_support->ShowHelp(static_cast<std::int16_t>(topic));
        return;
    }
    ui::Dialog::OnClick(id);
}

void CSetupSheetDlg::OnOK() {
    if (m_sheet->ApplyAll()) EndDialog(1);
}

void CSetupSheetDlg::OnCancel() {
    m_sheet->CancelActive();
    EndDialog(2);
}
