// The "Mode" page of the display sheet (template 153): sequencer dwell,
// playback overlay and its position, playback controls, playback to monitor
// and the live/playback layout lock.  Applied into the working display
// information on OK.
#pragma once
#include <cstdint>

#include "util/DisplayInfo.h"
#include "platform/ui/Dialog.h"

namespace display {

class CDisplayModePropPage : public ui::PropertyPage {
public:
    enum {
        IDD = 153,
        IDC_DWELL_GROUP = 1201,
        IDC_DWELL = 1202,
        IDC_OVERLAY_GROUP = 1203,
        IDC_ENABLE_LABEL = 1204,
        IDC_OVERLAY_YES = 1205,
        IDC_OVERLAY_NO = 1206,
        IDC_POSITION_LABEL = 1207,
        IDC_UPPER_LEFT = 1208,
        IDC_UPPER_RIGHT = 1209,
        IDC_LOWER_LEFT = 1210,
        IDC_LOWER_RIGHT = 1211,
        IDC_CONTROLS_GROUP = 1212,
        IDC_JOG_SHUTTLE = 1213,
        IDC_VCR = 1214,
        IDC_TO_MONITOR_GROUP = 1215,
        IDC_TO_MONITOR_YES = 1216,
        IDC_TO_MONITOR_NO = 1217,
        IDC_LOCK_GROUP = 1218,
        IDC_LOCK_YES = 1219,
        IDC_LOCK_NO = 1220,
    };
    // Feature switch of the host that offers "Playback to Monitor".
    static constexpr std::int32_t kPlaybackToMonitorFeature = 34;

    explicit CDisplayModePropPage(CDisplayInfo& info);

    bool OnApply() override;
    std::int16_t OverlayPosition() const { return m_overlayPosition; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;

private:
    static int PositionButton(int position);

    CDisplayInfo& m_info;
    std::int16_t m_overlayPosition = 0;
};

}  // namespace display
