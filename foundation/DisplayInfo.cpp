#include "foundation/DisplayInfo.h"

CDisplayInfo::CDisplayInfo() {
    for (int t = 0; t < 4; ++t) ResetCameraAssignment(t);
}

int CDisplayInfo::GetCameraAssignment(int type, int pane) const {
    if (type < 0 || type >= 4 || pane < 0 || pane >= 16) return -1;
    return m_assignments[type][pane];
}

int CDisplayInfo::SetCameraAssignment(int type, int pane, int camera) {
    if (type < 0 || type >= 4 || pane < 0 || pane >= 16) return 0;
    m_assignments[type][pane] = camera;
    return 1;
}

void CDisplayInfo::ResetCameraAssignment(int type) {
    if (type < 0 || type >= 4) return;
    for (int p = 0; p < 16; ++p) m_assignments[type][p] = p;
}
