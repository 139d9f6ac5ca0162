// The "Audio Mixer" page (template 102): playback, line and microphone
// volumes with their mutes, the recorded input with its levels and the
// microphone boost, and the 14-lamp level meter.  Every control change goes
// to the host at once so the operator hears it; the settings are written
// into the mixer information and saved when the page is applied.
//
// The level meter is fed by the host's UpdateLevelMeter, which may arrive on
// any thread (the host's audio thread): PostLevel hands the newest peak over
// with atomic operations only (ui::LatestValue); the lamps change in
// OnMessage on the dialog's thread.
#pragma once
#include <atomic>
#include <cstdint>

#include "audio/MixerRules.h"
#include "util/AudioInfo.h"
#include "interfaces/HostInterfaces.h"
#include "platform/ui/Dialog.h"

namespace audio {

class CQllnMixerPropPage : public ui::PropertyPage {
public:
    enum {
        IDD = 102,
        IDC_VOLUME_GROUP = 1401,
        IDC_PLAY_LABEL = 1402,
        IDC_PLAY_VOLUME = 1403,
        IDC_PLAY_MUTE = 1404,
        IDC_LIVE_LABEL = 1405,
        IDC_LINE_VOLUME = 1406,
        IDC_LINE_MUTE = 1407,
        IDC_MIC_VOLUME = 1408,
        IDC_MIC_MUTE = 1409,
        IDC_RECORD_GROUP = 1410,
        IDC_REC_NONE = 1411,
        IDC_REC_LINE = 1412,
        IDC_REC_MIC = 1413,
        IDC_LINE_REC_LEVEL = 1414,
        IDC_MIC_REC_LEVEL = 1415,
        IDC_MIC_BOOST = 1416,
        IDC_LEVEL_LABEL = 1420,
        IDC_METER1 = 1421,  // lowest lamp; the 14 lamps follow
        IDC_FRAME = 1440,
    };
    // The page's message when a new peak level is waiting.
    static constexpr ui::UINT kMsgLevel = ui::WM_USER + 0x51;

    CQllnMixerPropPage(CAudioMixerInfo& mixer, host::ISetupUISupport* setup);
    ~CQllnMixerPropPage() override;

    bool OnApply() override;
    // Any thread: hands the peak level to the meter (dropped while the page
    // has no window).
    void PostLevel(std::int32_t peak);
    // The meter on the dialog's thread.
    void UpdateMeter(long peak);

    bool HostMixer() const { return m_hostMixer != 0; }
    bool Linked() const { return m_linked; }
    bool NoRecording() const { return m_noRecording; }

protected:
    bool OnInitDialog() override;
    void OnClick(int id) override;
    void OnSliderMoved(int id, int pos) override;
    void OnMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;

private:
    void Arrange(const MixerArrangement& a);
    void SetRecordMode(CAudioMixerInfo::eMixerRecordMode mode);
    int TickValue(int id) const { return IsTicked(id) ? 1 : 0; }
    void Live(const char* call, com::HRESULT hr);

    CAudioMixerInfo& m_mixer;
    host::ISetupUISupport* m_setup;
    std::int32_t m_hostMixer = 0;
    bool m_linked = false;
    bool m_noRecording = false;

    std::atomic<bool> m_open{false};
    ui::LatestValue m_level{*this, kMsgLevel};
};

}  // namespace audio
