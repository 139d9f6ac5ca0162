// Logged-in sessions: a random 256-bit id a session (64 hexadecimal digits
// in the cookie), the user, and when it began and was last used.  A session
// ends after `timeouts.idle` without use and `timeouts.absolute` after its
// login: it is not found from then on, and Sweep() ends it for good.
#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "web/security/SessionTimeouts.h"

namespace web {

struct Session {
    std::string id;
    std::string user;
    std::chrono::steady_clock::time_point created;
    std::chrono::steady_clock::time_point lastSeen;
};

class Sessions {
public:
    // A new session for user, with a fresh id.
    std::string Create(const std::string& user);
    // The live session with id, or null.  Touch marks it used now.
    const Session* Find(const std::string& id) const;
    void Touch(const std::string& id);
    // Ends the sessions whose time is up; answers them and why each ended
    // ("idle" or "lifetime").
    std::vector<std::pair<Session, std::string>> Sweep();
    // Ends a session (onEnded is called); false when there is none.
    bool End(const std::string& id);
    std::size_t Count() const { return m_sessions.size(); }

    std::function<void(const Session&)> onEnded;
    security::SessionTimeoutOptions timeouts;
    security::NowFn now = security::SystemNow();

private:
    std::map<std::string, Session> m_sessions;
};

}  // namespace web
