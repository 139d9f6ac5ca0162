// Display settings of the unit, shared with the host by address: the camera
// shown in each pane of the multi-camera layouts, the sequencer and playback
// settings and the call monitor.  A plain value object copied member by member.
#pragma once
#include <array>
#include <cstdint>

class CDisplayInfo {
public:
    // Layout types; the grid layouts are 2 x 2, 3 x 3 and 4 x 4.
    enum eDisplayType { e1x1 = 0, e2x2 = 1, e3x3 = 2, e4x4 = 3 };
    static constexpr int kLayoutCount = 4;
    static constexpr int kMaxPanes = 16;
    static constexpr int kMaxCameras = 16;

    // Sequencer dwell limits in seconds.
    static constexpr std::int32_t kMinDwell = 1;
    static constexpr std::int32_t kMaxDwell = 120;

    // Overlay positions.
    enum { eUpperLeft = 0, eUpperRight = 1, eLowerRight = 2, eLowerLeft = 3 };

    CDisplayInfo();
    void CopyFrom(const CDisplayInfo& other) { *this = other; }

    // Camera index of a pane; a value outside 0..15 means no camera.  An
    // unknown layout type or pane answers -1.
    int GetCameraAssignment(int type, int pane) const;
    // Stores the camera of a pane; answers 0 for an unknown layout or pane.
    int SetCameraAssignment(int type, int pane, int camera);
    // Back to the default of the layout: pane i shows camera i.
    void ResetCameraAssignment(int type);
    // Number of panes of a layout type (1, 4, 9 or 16; 0 when unknown).
    static int PaneCount(int type);

    // Pane assignments per layout type.
    std::array<std::array<int, kMaxPanes>, kLayoutCount> m_assignments{};

    // Sequencing monitor and playback.
    std::int32_t m_lSequencerDwell = 5;       // seconds per camera, 1..120
    std::int32_t m_bOverlayEnabled = 1;       // playback overlay shown
    std::int16_t m_nOverlayPosition = eUpperLeft;
    std::int32_t m_bVCRControls = 1;          // 1 = VCR controls, 0 = jog/shuttle
    std::int32_t m_bPlaybackToMonitor = 0;    // playback is sent to the monitor
    std::int32_t m_bLockLayout = 0;           // live and playback share one layout
    std::int32_t m_bLayoutLockAvailable = 1;  // the lock setting is offered

    // Call monitor.
    bool m_bHasCallMonitor = false;
    std::int32_t m_bCallMonSpotMode = 0;      // 1 = spot, 0 = call
    std::int32_t m_bTouchTrackerOnMain = 1;   // 1 = main monitor, 0 = secondary
    std::int16_t m_nCallCamera = 0;           // zero-based camera index
};
