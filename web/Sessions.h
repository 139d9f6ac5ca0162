// Logged-in sessions: a random 256-bit id a session (64 hexadecimal digits
// in the cookie), the user, and when it began and was last used.
#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <string>

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
    // The session with id, or null.  Touch marks it used now.
    const Session* Find(const std::string& id) const;
    void Touch(const std::string& id);
    // Ends a session (onEnded is called); false when there is none.
    bool End(const std::string& id);
    std::size_t Count() const { return m_sessions.size(); }

    std::function<void(const Session&)> onEnded;

private:
    std::map<std::string, Session> m_sessions;
};

}  // namespace web
