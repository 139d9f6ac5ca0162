#include "util/AudioInfo.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

CAudioMixerInfo::eMixerRecordMode CAudioMixerInfo::GetRecordMode(int channel) const {
    if (!Valid(channel)) return eRecordNone;
    return static_cast<eMixerRecordMode>(m_current.recordMode);
}

bool CAudioMixerInfo::SetMicBoostState(int channel, int on) {
    if (!Valid(channel)) return false;
    m_current.micBoost = on ? 1 : 0;
    return true;
}

bool CAudioMixerInfo::SetRecordMode(int channel, eMixerRecordMode mode) {
    if (!Valid(channel)) return false;
    m_current.recordMode = mode;
    return true;
}

bool CAudioMixerInfo::SetLineRecordLevel(int channel, int level) {
    if (!Valid(channel)) return false;
    m_current.lineRecordLevel = level;
    return true;
}

bool CAudioMixerInfo::SetMicRecordLevel(int channel, int level) {
    if (!Valid(channel)) return false;
    m_current.micRecordLevel = level;
    return true;
}

bool CAudioMixerInfo::SaveSettings(int channel) {
    if (!Valid(channel)) return false;
    m_saved = m_current;
    ++m_nSaveCount;
    return true;
}

int CAudioAssocInfo::GetAudioAssociations(std::int16_t** values) const {
    if (!values) return 0;
    *values = nullptr;
    if (m_values.empty()) return 0;
    auto* out = static_cast<std::int16_t*>(std::malloc(m_values.size() * sizeof(std::int16_t)));
    if (!out) return 0;
    std::memcpy(out, m_values.data(), m_values.size() * sizeof(std::int16_t));
    *values = out;
    return static_cast<int>(m_values.size());
}

bool CAudioAssocInfo::SetAudioAssociations(const std::int16_t* values, int count, int) {
    if (!values || count < 0) return false;
    m_values.assign(values, values + std::min(count, kMaxCameras));
    return true;
}
