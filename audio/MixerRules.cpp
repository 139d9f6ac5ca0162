#include "audio/MixerRules.h"

namespace audio {

std::array<bool, kMeterLamps> MeterLamps(long peak, bool noRecording) {
    std::array<bool, kMeterLamps> lamps{};
    if (noRecording) return lamps;
    for (int i = 0; i < kMeterLamps; ++i) lamps[i] = i <= peak;
    return lamps;
}

CAudioMixerInfo::eMixerRecordMode KnownRecordMode(int mode) {
    switch (mode) {
        case CAudioMixerInfo::eRecordLine: return CAudioMixerInfo::eRecordLine;
        case CAudioMixerInfo::eRecordMic: return CAudioMixerInfo::eRecordMic;
        default: return CAudioMixerInfo::eRecordNone;
    }
}

MixerArrangement InitialArrangement(CAudioMixerInfo::eMixerRecordMode mode) {
    MixerArrangement a;
    switch (mode) {
        case CAudioMixerInfo::eRecordLine:
            a.lineRecordLevel.enabled = true;
            a.micRecordLevel = {false, false};
            a.lineVolume.shown = true;
            a.micVolume.shown = false;
            break;
        case CAudioMixerInfo::eRecordMic:
            a.micRecordLevel.enabled = true;
            a.lineRecordLevel = {false, false};
            a.micVolume.shown = true;
            a.lineVolume.shown = false;
            break;
        default:
            a.noRecording = true;
            a.lineRecordLevel.enabled = false;
            a.micRecordLevel.enabled = false;
            a.lineVolume.shown = false;
            a.micVolume = {true, false};
            break;
    }
    return a;
}

MixerArrangement ButtonArrangement(CAudioMixerInfo::eMixerRecordMode mode) {
    MixerArrangement a;
    switch (mode) {
        case CAudioMixerInfo::eRecordLine:
            a.micRecordLevel = {false, false};
            a.lineRecordLevel = {true, true};
            a.micBoost.enabled = false;
            a.lineVolume = {true, true};
            a.micVolume = {false, false};
            break;
        case CAudioMixerInfo::eRecordMic:
            a.lineRecordLevel = {false, false};
            a.micRecordLevel = {true, true};
            a.micBoost.enabled = true;
            a.micVolume = {true, true};
            a.lineVolume = {false, false};
            break;
        default:
            a.noRecording = true;
            a.lineRecordLevel = {true, false};
            a.micRecordLevel = {true, false};
            a.micBoost.enabled = false;
            a.lineVolume = {true, false};
            a.micVolume = {true, false};
            break;
    }
    return a;
}

std::vector<MuteCall> InitialMuteCalls(CAudioMixerInfo::eMixerRecordMode mode, bool linked, bool lineMuteShown,
                                       bool micMuteShown) {
    switch (mode) {
        case CAudioMixerInfo::eRecordLine:
            if (linked) return {{Input::Line, lineMuteShown ? 1 : 0}};
            return {{Input::Line, lineMuteShown ? 1 : 0}, {Input::Mic, 1}};
        case CAudioMixerInfo::eRecordMic:
            if (linked) return {{Input::Mic, micMuteShown ? 1 : 0}};
            return {{Input::Mic, micMuteShown ? 1 : 0}, {Input::Line, 1}};
        default:
            return {{Input::Line, 1}, {Input::Mic, 1}};
    }
}

}  // namespace audio
