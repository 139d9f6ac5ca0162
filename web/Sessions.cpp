#include "web/Sessions.h"

#include <sodium.h>

#include "web/Operators.h"

namespace web {

std::string Sessions::Create(const std::string& user) {
    SodiumReady();
    unsigned char random[32];
    randombytes_buf(random, sizeof random);
    char hex[sizeof random * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, random, sizeof random);
    const auto now = std::chrono::steady_clock::now();
    Session s{hex, user, now, now};
    m_sessions[s.id] = s;
    return s.id;
}

const Session* Sessions::Find(const std::string& id) const {
    auto it = m_sessions.find(id);
    return it == m_sessions.end() ? nullptr : &it->second;
}

void Sessions::Touch(const std::string& id) {
    if (auto it = m_sessions.find(id); it != m_sessions.end()) it->second.lastSeen = std::chrono::steady_clock::now();
}

bool Sessions::End(const std::string& id) {
    auto it = m_sessions.find(id);
    if (it == m_sessions.end()) return false;
    const Session ended = it->second;
    m_sessions.erase(it);
    if (onEnded) onEnded(ended);
    return true;
}

}  // namespace web
