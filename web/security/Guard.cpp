#include "web/security/Guard.h"

#include <iostream>

namespace web::security {

Guard::Guard(GuardOptions options, NowFn now)
    : m_opt(std::move(options)),
      m_now(std::move(now)),
      m_throttle(m_opt.throttle, m_now),
      m_connections(m_opt.connectionsPerAddress, m_opt.connectionsTotal) {
    if (!m_opt.auditPath.empty()) {
        AuditOptions a;
        a.path = m_opt.auditPath;
        m_audit = std::make_unique<AuditLog>(a);
    }
}

std::unique_ptr<SocketLimits> Guard::NewSocketLimits() const {
    return std::make_unique<SocketLimits>(SocketLimits{TokenBucket(m_opt.messagesPerSecond, 2 * m_opt.messagesPerSecond, m_now),
                                                       Violations(m_opt.violationsToClose, m_opt.violationWindow, m_now)});
}

void Guard::Audit(const std::string& user, const std::string& address, const std::string& event,
                  const std::string& detail) {
    if (!m_audit) return;
    if (m_audit->Write({user, address, event, detail})) {
        m_auditFailing = false;
    } else if (!m_auditFailing) {
        m_auditFailing = true;
        std::cerr << "mirelle-web: the audit trail cannot be written: " << m_audit->LastError() << std::endl;
    }
}

}  // namespace web::security
