#include "display/DisplayPane.h"

#include <algorithm>

#include "component/HostSystem.h"
#include "display/DisplayCameraNames.h"
#include "foundation/DebugLog.h"

namespace display {

DisplayPane::DisplayPane(CDisplayInfo& info, CDisplayInfo::eDisplayType type) : m_info(info), m_type(type) {}

int DisplayPane::GridSize(int type) {
    switch (type) {
        case CDisplayInfo::e3x3: return 3;
        case CDisplayInfo::e4x4: return 4;
        default: return 2;
    }
}

void DisplayPane::Create(ui::Dialog& page, int controlId, const Rect& rect) {
    m_cameraCount = mirelle::HostCameraCountOr(m_cameraCount, "display pane");

    ui::ControlTemplate t;
    t.id = controlId;
    t.kind = ui::ControlKind::List;
    page.AddControl(t);
    ui::Control& c = page.Item(controlId);
    c.paneGrid = Grid();  // front ends draw the rows as the grid of panes
    c.x = rect.left;
    c.y = rect.top;
    c.cx = std::max(0, rect.Width());
    c.cy = std::max(0, rect.Height());
    for (int i = 0; i < PaneCount(); ++i) c.AddItem("");
    m_page = &page;
    m_controlId = controlId;
    m_clientCx = c.cx;
    m_clientCy = c.cy;
    Paint();
}

void DisplayPane::Resize(int cx, int cy) {
    m_clientCx = std::max(0, cx);
    m_clientCy = std::max(0, cy);
    if (m_page) {
        auto& c = m_page->Item(m_controlId);
        c.cx = m_clientCx;
        c.cy = m_clientCy;
    }
    Paint();
}

void DisplayPane::ComputeRects() {
    const int n = Grid();
    const int w = m_clientCx / n, h = m_clientCy / n;
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col) {
            Rect& r = m_rects[row * n + col];
            r.left = col * w;
            r.top = row * h;
            r.right = r.left + w;
            r.bottom = r.top + h;
        }
    m_rectsComputed = true;
}

void DisplayPane::Paint() {
    // The background fill; the pane font ("Arial", 10 pixels, bold) is made
    // on the first one.
    m_fontCreated = true;
    m_cells.assign(PaneCount(), Cell{});
    if (!m_rectsComputed) ComputeRects();

    const int n = Grid();
    m_vLines.clear();
    m_hLines.clear();
    for (int k = 1; k < n; ++k) {
        m_vLines.push_back(k * (m_clientCx / n));
        m_hLines.push_back(k * (m_clientCy / n));
    }
    for (int i = 0; i < PaneCount(); ++i) m_cells[i].textRect = m_rects[i].Deflated(2, 8);
    const int drawn = std::min<int>(PaneCount(), m_cameraCount);
    for (int i = 0; i < drawn; ++i) DrawPane(i);
    for (int i = 0; i < PaneCount(); ++i) Publish(i);
    if (m_page) m_page->Changed(m_controlId);
}

void DisplayPane::DrawPane(int index) {
    Cell& cell = m_cells.at(index);
    cell.textRect = m_rects[index].Deflated(2, 8);
    const int camera = m_info.GetCameraAssignment(m_type, index);
    cell.text = camera >= 0 && camera < CDisplayInfo::kMaxCameras ? CDisplayCameraNames::Name(camera) : std::string{};
    cell.blank = false;
}

void DisplayPane::Publish(int index) {
    if (!m_page) return;
    m_page->Item(m_controlId).SetItemText(index, 0, m_cells[index].text);
}

void DisplayPane::OnLButtonDown(int x, int y) {
    for (int i = 0; i < PaneCount(); ++i) {
        if (!m_rects[i].Contains(x, y)) continue;
        m_info.SetCameraAssignment(m_type, i, m_selectedCamera);
        // Redraw only that pane, with the same rules as a full paint.
        if (i < m_cameraCount) DrawPane(i);
        Publish(i);
        if (m_page) m_page->Changed(m_controlId);
        return;
    }
}

void DisplayPane::ClickPane(int index) {
    if (index < 0 || index >= PaneCount()) return;
    const Rect& r = m_rects[index];
    OnLButtonDown(r.left + r.Width() / 2, r.top + r.Height() / 2);
}

void DisplayPane::OnMouseMove(int x, int y) {
    const bool inside = x >= 0 && y >= 0 && x < m_clientCx && y < m_clientCy;
    if (inside && !m_captured) {
        m_captured = true;
        m_previousCursor = m_cursor;
        m_cursor = kAssignCursor;
    } else if (!inside && m_captured) {
        m_captured = false;
        m_cursor = m_previousCursor;
    }
}

}  // namespace display
