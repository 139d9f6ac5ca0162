#include "audio/QllnMixerPropPage.h"

#include "foundation/DebugLog.h"

namespace audio {

CQllnMixerPropPage::CQllnMixerPropPage(CAudioMixerInfo& mixer, host::ISetupUISupport* setup)
    : ui::PropertyPage(IDD), m_mixer(mixer), m_setup(setup) {
    m_hostMixer = 0;
    if (m_setup) {
        std::int16_t localMode = 0;
        if (com::HRESULT hr = m_setup->GetLocalMode(&localMode); com::FAILED(hr)) {
            LogMirelle("audio mixer page: GetLocalMode failed: " + com::HresultText(hr));
            localMode = 0;
        }
        m_hostMixer = localMode;
    }
    m_linked = m_mixer.m_bLinkedVolumes;
}

CQllnMixerPropPage::~CQllnMixerPropPage() { m_open = false; }

void CQllnMixerPropPage::Live(const char* call, com::HRESULT hr) {
    // The live controls change what the unit does; a refused change leaves
    // the page as the operator set it.
    if (com::FAILED(hr)) LogMirelle(std::string("audio mixer page: ") + call + " failed: " + com::HresultText(hr));
}

void CQllnMixerPropPage::Arrange(const MixerArrangement& a) {
    auto apply = [this](const ControlState& s, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (s.shown) ShowItem(id, *s.shown);
            if (s.enabled) EnableItem(id, *s.enabled);
        }
    };
    apply(a.lineRecordLevel, {IDC_LINE_REC_LEVEL});
    apply(a.micRecordLevel, {IDC_MIC_REC_LEVEL});
    apply(a.micBoost, {IDC_MIC_BOOST});
    apply(a.lineVolume, {IDC_LINE_VOLUME, IDC_LINE_MUTE});
    apply(a.micVolume, {IDC_MIC_VOLUME, IDC_MIC_MUTE});
    m_noRecording = a.noRecording;
    if (m_noRecording) UpdateMeter(-1);
}

bool CQllnMixerPropPage::OnInitDialog() {
    SetPos(IDC_PLAY_VOLUME, m_mixer.GetPlayVolume());
    SetPos(IDC_LINE_VOLUME, m_mixer.GetLineVolume());
    SetPos(IDC_MIC_VOLUME, m_linked ? m_mixer.GetLineVolume() : m_mixer.GetMicVolume());
    SetTicked(IDC_PLAY_MUTE, m_mixer.IsPlayMute() != 0);
    SetTicked(IDC_LINE_MUTE, m_mixer.IsLineMute() != 0);
    SetTicked(IDC_MIC_MUTE, m_mixer.IsMicMute() != 0);
    SetTicked(IDC_MIC_BOOST, m_mixer.IsMicBoost(0) != 0);
    SetPos(IDC_LINE_REC_LEVEL, m_mixer.GetLineRecordLevel(0));
    SetPos(IDC_MIC_REC_LEVEL, m_mixer.GetMicRecordLevel(0));

    const int stored = m_mixer.GetRecordMode(0);
    const auto mode = KnownRecordMode(stored);
    if (mode != stored) LogMirelle("audio mixer page: unknown record mode " + std::to_string(stored) + " shown as none");
    SetTicked(IDC_REC_NONE, mode == CAudioMixerInfo::eRecordNone);
    SetTicked(IDC_REC_LINE, mode == CAudioMixerInfo::eRecordLine);
    SetTicked(IDC_REC_MIC, mode == CAudioMixerInfo::eRecordMic);
    Arrange(InitialArrangement(mode));
    for (int i = 0; i < kMeterLamps; ++i) SetTicked(IDC_METER1 + i, false);

    if (!m_hostMixer && m_setup)
        for (const MuteCall& c : InitialMuteCalls(mode, m_linked, IsTicked(IDC_LINE_MUTE), IsTicked(IDC_MIC_MUTE))) {
            if (c.input == Input::Line)
                Live("SetLiveLineMute", m_setup->SetLiveLineMute(c.muted, 0));
            else
                Live("SetLiveMicMute", m_setup->SetLiveMicMute(c.muted, 0));
        }
    m_open = true;
    return true;
}

void CQllnMixerPropPage::SetRecordMode(CAudioMixerInfo::eMixerRecordMode mode) {
    Arrange(ButtonArrangement(mode));
    if (m_setup)
        Live("SetLiveRecordMode", m_setup->SetLiveRecordMode(mode, TickValue(IDC_MIC_MUTE), TickValue(IDC_LINE_MUTE), 0));
}

void CQllnMixerPropPage::OnClick(int id) {
    switch (id) {
        case IDC_REC_NONE: SetRecordMode(CAudioMixerInfo::eRecordNone); break;
        case IDC_REC_LINE: SetRecordMode(CAudioMixerInfo::eRecordLine); break;
        case IDC_REC_MIC: SetRecordMode(CAudioMixerInfo::eRecordMic); break;
        case IDC_MIC_BOOST:
            if (m_setup) Live("SetLiveMicBoost", m_setup->SetLiveMicBoost(TickValue(IDC_MIC_BOOST), 0));
            break;
        case IDC_MIC_MUTE:
            if (m_setup) Live("SetLiveMicMute", m_setup->SetLiveMicMute(TickValue(IDC_MIC_MUTE), 0));
            break;
        case IDC_LINE_MUTE:
            if (m_setup) Live("SetLiveLineMute", m_setup->SetLiveLineMute(TickValue(IDC_LINE_MUTE), 0));
            break;
        case IDC_PLAY_MUTE:
            if (m_setup) Live("SetLivePlayMute", m_setup->SetLivePlayMute(TickValue(IDC_PLAY_MUTE), 0));
            break;
        default: ui::PropertyPage::OnClick(id);
    }
}

void CQllnMixerPropPage::OnSliderMoved(int id, int pos) {
    if (!m_setup) return;
    switch (id) {
        case IDC_MIC_REC_LEVEL:
            if (m_hostMixer) m_mixer.SetMicRecordLevel(0, pos);
            Live("SetLiveMicRecordLevel", m_setup->SetLiveMicRecordLevel(pos, 0));
            break;
        case IDC_LINE_REC_LEVEL:
            if (m_hostMixer) m_mixer.SetLineRecordLevel(0, pos);
            Live("SetLiveLineRecordLevel", m_setup->SetLiveLineRecordLevel(pos, 0));
            break;
        case IDC_MIC_VOLUME:
            if (m_linked) {
                Live("SetLiveLineVolume", m_setup->SetLiveLineVolume(pos, 0));
                SetPos(IDC_LINE_VOLUME, pos);
            } else {
                Live("SetLiveMicVolume", m_setup->SetLiveMicVolume(pos, 0));
            }
            break;
        case IDC_LINE_VOLUME:
            Live("SetLiveLineVolume", m_setup->SetLiveLineVolume(pos, 0));
            if (m_linked) SetPos(IDC_MIC_VOLUME, pos);
            break;
        case IDC_PLAY_VOLUME:
            Live("SetLivePlayVolume", m_setup->SetLivePlayVolume(pos, 0));
            break;
        default: break;
    }
}

void CQllnMixerPropPage::PostLevel(std::int32_t peak) {
    if (!m_open) return;
    // Atomic operations only: the host's audio thread never waits here.
    m_level.Post(peak);
}

void CQllnMixerPropPage::OnMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) {
    if (msg != kMsgLevel) return ui::PropertyPage::OnMessage(msg, wParam, lParam);
    if (HasWindow()) UpdateMeter(static_cast<long>(m_level.Take()));
}

void CQllnMixerPropPage::UpdateMeter(long peak) {
    if (!HasWindow()) return;
    const auto lamps = MeterLamps(peak, m_noRecording);
    for (int i = 0; i < kMeterLamps; ++i)
        if (Item(IDC_METER1 + i).ticked != lamps[i]) SetTicked(IDC_METER1 + i, lamps[i]);
}

bool CQllnMixerPropPage::OnApply() {
    if (HasWindow()) {
        const int line = Item(IDC_LINE_VOLUME).pos;
        m_mixer.SetLineVolume(line);
        m_mixer.SetMicVolume(m_linked ? line : Item(IDC_MIC_VOLUME).pos);
        m_mixer.SetPlayMuteState(TickValue(IDC_PLAY_MUTE));
        m_mixer.SetPlayVolume(Item(IDC_PLAY_VOLUME).pos);
        m_mixer.SetLineMuteState(TickValue(IDC_LINE_MUTE));
        m_mixer.SetMicMuteState(TickValue(IDC_MIC_MUTE));
        m_mixer.SetMicBoostState(0, TickValue(IDC_MIC_BOOST));
        m_mixer.SetLineRecordLevel(0, Item(IDC_LINE_REC_LEVEL).pos);
        m_mixer.SetMicRecordLevel(0, Item(IDC_MIC_REC_LEVEL).pos);
        m_mixer.SetRecordMode(0, IsTicked(IDC_REC_LINE)  ? CAudioMixerInfo::eRecordLine
                                 : IsTicked(IDC_REC_MIC) ? CAudioMixerInfo::eRecordMic
                                                         : CAudioMixerInfo::eRecordNone);
    }
    m_mixer.SaveSettings(0);
    return ui::PropertyPage::OnApply();
}

}  // namespace audio
