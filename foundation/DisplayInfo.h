// Display layout data shared with the host by address.
#pragma once
#include <array>

class CDisplayInfo {
public:
    enum eDisplayType { e1x1 = 0, e2x2 = 1, e3x3 = 2, e4x4 = 3 };

    CDisplayInfo();
    void CopyFrom(const CDisplayInfo& other) { *this = other; }

    // Camera index of a pane; a value outside 0..15 means no camera.
    int GetCameraAssignment(int type, int pane) const;
    int SetCameraAssignment(int type, int pane, int camera);
    // Back to the default: pane i shows camera i.
    void ResetCameraAssignment(int type);

    bool m_bHasCallMonitor = false;
    std::array<std::array<int, 16>, 4> m_assignments{};
};
