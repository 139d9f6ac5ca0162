// Audio mixer and audio-to-camera association data shared with the host.
#pragma once
#include <array>
#include <cstdint>

class CAudioMixerInfo {
public:
    enum eMixerRecordMode { eRecordNone = 0, eRecordLine = 1, eRecordMic = 2 };
    void CopyFrom(const CAudioMixerInfo& other) { *this = other; }
    // Committed settings; counts the calls so that callers can be checked.
    void SaveSettings() { ++m_saveCount; }

    long m_playVolume = 50;
    long m_lineVolume = 50;
    long m_micVolume = 50;
    bool m_bLinked = false;
    int m_saveCount = 0;
};

class CAudioAssocInfo {
public:
    void CopyFrom(const CAudioAssocInfo& other) { *this = other; }
    std::array<std::int16_t, 16> m_assoc{};
};
