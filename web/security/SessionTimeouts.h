// When a console session ends by itself: after `idle` without a request or a
// socket message, and `absolute` after its login whatever it does.
#pragma once
#include <algorithm>
#include <chrono>

#include "web/security/Clock.h"

namespace web::security {

struct SessionTimeoutOptions {
    std::chrono::seconds idle{15 * 60};
    std::chrono::seconds absolute{12 * 60 * 60};
};

enum class SessionState { Live, IdleExpired, LifetimeExpired };

inline SessionState CheckSession(TimePoint created, TimePoint lastUsed, TimePoint now,
                                 const SessionTimeoutOptions& o = {}) {
    if (now - created >= o.absolute) return SessionState::LifetimeExpired;
    if (now - lastUsed >= o.idle) return SessionState::IdleExpired;
    return SessionState::Live;
}

// The moment the session ends if nothing more is done in it.
inline TimePoint SessionDeadline(TimePoint created, TimePoint lastUsed, const SessionTimeoutOptions& o = {}) {
    return std::min(created + o.absolute, lastUsed + o.idle);
}

}  // namespace web::security
