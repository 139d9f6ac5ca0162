// The console's security rules gathered in one object the server and the
// console share: the login throttle, the connection counts, the per-socket
// message limits and the audit trail.
#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "web/security/AuditLog.h"
#include "web/security/LoginThrottle.h"
#include "web/security/RateLimits.h"
#include "web/security/SessionTimeouts.h"

namespace web::security {

struct GuardOptions {
    ThrottleOptions throttle;
    int connectionsPerAddress = 16;
    int connectionsTotal = 512;
    // Messages a second one socket may send on average; it may save up a
    // burst of twice as many (a page playing a whole script at once).
    double messagesPerSecond = 50;
    // Broken limits within the window that close the socket.
    int violationsToClose = 3;
    std::chrono::milliseconds violationWindow{10000};
    // A connection that has not sent a whole request head by then is closed.
    std::chrono::milliseconds headTimeout{10000};
    // The largest request body taken (a login form is far smaller).
    std::size_t maxBodyBytes = 16 * 1024;
    // The audit trail's file; none when empty.
    std::string auditPath;
};

// What one socket is allowed: its message rate and its record of broken limits.
struct SocketLimits {
    TokenBucket rate;
    Violations violations;
};

class Guard {
public:
    explicit Guard(GuardOptions options = {}, NowFn now = SystemNow());

    const GuardOptions& Options() const { return m_opt; }
    LoginThrottle& Throttle() { return m_throttle; }
    ConnectionCounter& Connections() { return m_connections; }
    std::unique_ptr<SocketLimits> NewSocketLimits() const;

    // Appends to the audit trail (when there is one).  A write that fails is
    // reported on standard error, once until writes succeed again.
    void Audit(const std::string& user, const std::string& address, const std::string& event,
               const std::string& detail = {});
    AuditLog* Trail() { return m_audit.get(); }

private:
    GuardOptions m_opt;
    NowFn m_now;
    LoginThrottle m_throttle;
    ConnectionCounter m_connections;
    std::unique_ptr<AuditLog> m_audit;
    bool m_auditFailing = false;
};

}  // namespace web::security
