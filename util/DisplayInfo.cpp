#include "util/DisplayInfo.h"

CDisplayInfo::CDisplayInfo() {
    for (int t = 0; t < kLayoutCount; ++t) ResetCameraAssignment(t);
}

int CDisplayInfo::PaneCount(int type) {
    switch (type) {
        case e1x1: return 1;
        case e2x2: return 4;
        case e3x3: return 9;
        case e4x4: return 16;
        default: return 0;
    }
}

int CDisplayInfo::GetCameraAssignment(int type, int pane) const {
    if (type < 0 || type >= kLayoutCount || pane < 0 || pane >= kMaxPanes) return -1;
    return m_assignments[type][pane];
}

int CDisplayInfo::SetCameraAssignment(int type, int pane, int camera) {
    if (type < 0 || type >= kLayoutCount || pane < 0 || pane >= kMaxPanes) return 0;
    m_assignments[type][pane] = camera;
    return 1;
}

void CDisplayInfo::ResetCameraAssignment(int type) {
    if (type < 0 || type >= kLayoutCount) return;
    for (int p = 0; p < kMaxPanes; ++p) m_assignments[type][p] = p;
}
