// DisplayPane: the grid of a monitor layout on a layout page.  Each pane
// shows the name of the camera assigned to it; a left click in a pane
// assigns the page's selected camera to it.
//
// The pane keeps its own drawing model (pane rectangles, grid lines and the
// text drawn in each pane) so that any front end can render it and tests can
// check it.  On the page it appears as the list control IDC_PANE whose rows
// are the panes, row by row from the top left, each row's text being the
// text drawn in that pane.  Driving it headless:
//
//   select 1103 N     (or dblclick 1103 N)   left click in pane N
//
// which is the same as OnLButtonDown at the centre of pane N.  A front end
// that renders the grid itself calls OnLButtonDown / OnMouseMove with client
// coordinates.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "util/DisplayInfo.h"
#include "platform/ui/Dialog.h"

namespace display {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect Deflated(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
    bool operator==(const Rect&) const = default;
};

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

class DisplayPane {
public:
    static constexpr Rgb kBackground{35, 35, 35};
    static constexpr Rgb kLineColour{240, 240, 240};
    static constexpr int kAssignCursor = 105;  // cursor resource shown over the pane
    static constexpr int kArrowCursor = 0;

    // What one pane shows after painting.
    struct Cell {
        Rect textRect;      // the pane rectangle shrunk by 2 across and 8 down
        std::string text;   // camera name, empty for none
        bool blank = true;  // background only (pane beyond the camera count)
    };

    DisplayPane(CDisplayInfo& info, CDisplayInfo::eDisplayType type);

    // Grid size of a layout type: 2, 3 or 4 (any other type draws 2 x 2).
    static int GridSize(int type);
    int Grid() const { return GridSize(m_type); }
    int PaneCount() const { return Grid() * Grid(); }
    CDisplayInfo::eDisplayType Type() const { return m_type; }

    // Creates the window: asks the host for the camera count, places the
    // pane control (id) on the page at rect (page pixels) and paints.
    void Create(ui::Dialog& page, int controlId, const Rect& rect);
    bool HasWindow() const { return m_page != nullptr; }
    // The window is resized; the pane rectangles stay as first computed.
    void Resize(int cx, int cy);
    int ClientWidth() const { return m_clientCx; }
    int ClientHeight() const { return m_clientCy; }

    std::int16_t CameraCount() const { return m_cameraCount; }
    int SelectedCamera() const { return m_selectedCamera; }
    void SetSelectedCamera(int camera) { m_selectedCamera = camera; }

    // Painting.  Invalidate repaints the whole pane at once (erasing first).
    void Paint();
    void Invalidate() { Paint(); }
    bool RectsComputed() const { return m_rectsComputed; }
    const Rect& PaneRect(int index) const { return m_rects.at(index); }
    const std::vector<Cell>& Cells() const { return m_cells; }
    // Grid lines of the last paint: x of the vertical and y of the horizontal ones.
    const std::vector<int>& VerticalLines() const { return m_vLines; }
    const std::vector<int>& HorizontalLines() const { return m_hLines; }
    bool FontCreated() const { return m_fontCreated; }

    // Mouse, in client coordinates.
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    bool IsCaptured() const { return m_captured; }
    int Cursor() const { return m_cursor; }
    // Left click at the centre of pane index (the headless operator).
    void ClickPane(int index);

private:
    void ComputeRects();
    void DrawPane(int index);
    void Publish(int index);

    CDisplayInfo& m_info;
    CDisplayInfo::eDisplayType m_type;
    std::int16_t m_cameraCount = 8;
    int m_selectedCamera = 0;
    bool m_rectsComputed = false;
    std::array<Rect, 16> m_rects{};
    bool m_captured = false;
    int m_cursor = kArrowCursor;
    int m_previousCursor = kArrowCursor;
    bool m_fontCreated = false;

    ui::Dialog* m_page = nullptr;
    int m_controlId = 0;
    int m_clientCx = 0, m_clientCy = 0;
    std::vector<Cell> m_cells;
    std::vector<int> m_vLines, m_hLines;
};

}  // namespace display
