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
    const auto t = now();
    Session s{hex, user, t, t};
    m_sessions[s.id] = s;
    return s.id;
}

const Session* Sessions::Find(const std::string& id) const {
    auto it = m_sessions.find(id);
    if (it == m_sessions.end()) return nullptr;
    const Session& s = it->second;
    return security::CheckSession(s.created, s.lastSeen, now(), timeouts) == security::SessionState::Live ? &s : nullptr;
}

void Sessions::Touch(const std::string& id) {
    if (Find(id)) m_sessions.find(id)->second.lastSeen = now();
}

std::vector<std::pair<Session, std::string>> Sessions::Sweep() {
    std::vector<std::pair<Session, std::string>> ended;
    const auto t = now();
    for (const auto& [id, s] : m_sessions) {
        const auto state = security::CheckSession(s.created, s.lastSeen, t, timeouts);
        if (state != security::SessionState::Live)
            ended.push_back({s, state == security::SessionState::IdleExpired ? "idle" : "lifetime"});
    }
    for (const auto& e : ended) End(e.first.id);
    return ended;
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
