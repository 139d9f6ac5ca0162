// Rules of the audio mixer page that do not depend on the dialog: the level
// meter, which controls each record mode offers, and the mute states the
// page sends when it opens.
#pragma once
#include <array>
#include <optional>
#include <vector>

#include "util/AudioInfo.h"

namespace audio {

constexpr int kMeterLamps = 14;

// Lamp i (0 = lowest) is lit when i <= peak; all dark without recording.
std::array<bool, kMeterLamps> MeterLamps(long peak, bool noRecording);

// Shown and enabled states of the controls that follow the record mode; an
// empty value leaves the control as it is.
struct ControlState {
    std::optional<bool> shown;
    std::optional<bool> enabled;
};
struct MixerArrangement {
    ControlState lineRecordLevel;
    ControlState micRecordLevel;
    ControlState micBoost;
    ControlState lineVolume;  // the line volume slider and its "Mute"
    ControlState micVolume;   // the microphone volume slider and its "Mute"
    bool noRecording = false;
};

// A stored mode outside none/line/microphone is taken as none.
CAudioMixerInfo::eMixerRecordMode KnownRecordMode(int mode);
// When the page opens, from the stored record mode.
MixerArrangement InitialArrangement(CAudioMixerInfo::eMixerRecordMode mode);
// When the operator presses a record mode button.
MixerArrangement ButtonArrangement(CAudioMixerInfo::eMixerRecordMode mode);

// The mute states sent to the host when the page opens and the host has no
// mixer of its own: for line recording the line mute as shown (and, unless
// the volumes are linked, the microphone muted), the mirror image for the
// microphone, both inputs muted without recording.
enum class Input { Line, Mic };
struct MuteCall {
    Input input;
    int muted;
    bool operator==(const MuteCall&) const = default;
};
std::vector<MuteCall> InitialMuteCalls(CAudioMixerInfo::eMixerRecordMode mode, bool linked, bool lineMuteShown,
                                       bool micMuteShown);

}  // namespace audio
