// Audio mixer settings and audio-to-camera associations of the unit, shared
// with the host by address.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

// Mixer levels of the unit's audio channel.  The setters change the working
// settings; SaveSettings commits them (the committed settings are what the
// unit keeps).  The unit has one audio channel, channel 0: other channels
// answer 0 and ignore changes.
class CAudioMixerInfo {
public:
    enum eMixerRecordMode { eRecordNone = 0, eRecordLine = 1, eRecordMic = 2 };
    static constexpr int kChannels = 1;

    struct Settings {
        int playVolume = 50;
        int lineVolume = 50;
        int micVolume = 50;
        int playMute = 0;
        int lineMute = 0;
        int micMute = 0;
        int micBoost = 0;
        int recordMode = eRecordLine;
        int lineRecordLevel = 50;
        int micRecordLevel = 50;
        bool operator==(const Settings&) const = default;
    };

    void CopyFrom(const CAudioMixerInfo& other) { *this = other; }

    int GetPlayVolume() const { return m_current.playVolume; }
    int GetLineVolume() const { return m_current.lineVolume; }
    int GetMicVolume() const { return m_current.micVolume; }
    void SetPlayVolume(int v) { m_current.playVolume = v; }
    void SetLineVolume(int v) { m_current.lineVolume = v; }
    void SetMicVolume(int v) { m_current.micVolume = v; }

    int IsPlayMute() const { return m_current.playMute; }
    int IsLineMute() const { return m_current.lineMute; }
    int IsMicMute() const { return m_current.micMute; }
    void SetPlayMuteState(int muted) { m_current.playMute = muted ? 1 : 0; }
    void SetLineMuteState(int muted) { m_current.lineMute = muted ? 1 : 0; }
    void SetMicMuteState(int muted) { m_current.micMute = muted ? 1 : 0; }

    int IsMicBoost(int channel) const { return Valid(channel) ? m_current.micBoost : 0; }
    eMixerRecordMode GetRecordMode(int channel) const;
    int GetLineRecordLevel(int channel) const { return Valid(channel) ? m_current.lineRecordLevel : 0; }
    int GetMicRecordLevel(int channel) const { return Valid(channel) ? m_current.micRecordLevel : 0; }
    bool SetMicBoostState(int channel, int on);
    bool SetRecordMode(int channel, eMixerRecordMode mode);
    bool SetLineRecordLevel(int channel, int level);
    bool SetMicRecordLevel(int channel, int level);

    // Commits the working settings; answers false for an unknown channel.
    bool SaveSettings(int channel);
    bool HasUnsavedChanges() const { return !(m_current == m_saved); }

    Settings m_current;            // working settings
    Settings m_saved;              // committed settings
    bool m_bLinkedVolumes = false; // line and microphone share one live volume
    int m_nSaveCount = 0;          // commits made (diagnostics)

private:
    static bool Valid(int channel) { return channel >= 0 && channel < kChannels; }
};

// Which cameras carry the unit's audio: one value per camera index, 0 when
// the camera is associated with the audio input, -1 when it is not.
class CAudioAssocInfo {
public:
    static constexpr int kMaxCameras = 16;

    void CopyFrom(const CAudioAssocInfo& other) { *this = other; }

    // Hands out a new array (allocated with malloc; the caller frees it with
    // free) holding the stored values; answers their number.  With nothing
    // stored *values is null and the answer 0.
    int GetAudioAssociations(std::int16_t** values) const;
    // Stores count values (at most 16); answers false for a null array or a
    // count below 0.
    bool SetAudioAssociations(const std::int16_t* values, int count, int flags);

    std::vector<std::int16_t> m_values;  // may hold fewer than 16 values
};
