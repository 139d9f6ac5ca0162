#include "web/security/RateLimits.h"

#include <algorithm>

#include "web/security/LoginThrottle.h"

namespace web::security {

TokenBucket::TokenBucket(double rate, double burst, NowFn now)
    : m_rate(rate), m_burst(std::max(1.0, burst)), m_tokens(m_burst), m_now(std::move(now)) {
    m_last = m_now();
}

bool TokenBucket::Take() {
    TimePoint now = m_now();
    double elapsed = std::chrono::duration<double>(now - m_last).count();
    if (elapsed > 0) {
        m_tokens = std::min(m_burst, m_tokens + elapsed * m_rate);
        m_last = now;
    }
    if (m_tokens < 1.0) return false;
    m_tokens -= 1.0;
    return true;
}

Violations::Violations(int count, std::chrono::milliseconds window, NowFn now)
    : m_count(std::max(1, count)), m_window(window), m_now(std::move(now)) {}

bool Violations::Record() {
    TimePoint now = m_now();
    while (!m_times.empty() && now - m_times.front() >= m_window) m_times.pop_front();
    m_times.push_back(now);
    if (static_cast<int>(m_times.size()) > m_count) m_times.pop_front();
    return static_cast<int>(m_times.size()) >= m_count;
}

bool ConnectionCounter::TryOpen(std::string_view address) {
    if (m_open >= m_total) return false;
    std::string key = AddressKey(address);
    auto it = m_byAddress.find(key);
    if (it != m_byAddress.end() && it->second >= m_perAddress) return false;
    if (it == m_byAddress.end()) it = m_byAddress.emplace(std::move(key), 0).first;
    ++it->second;
    ++m_open;
    return true;
}

void ConnectionCounter::Close(std::string_view address) {
    auto it = m_byAddress.find(AddressKey(address));
    if (it == m_byAddress.end()) return;
    --m_open;
    if (--it->second <= 0) m_byAddress.erase(it);
}

int ConnectionCounter::Open(std::string_view address) const {
    auto it = m_byAddress.find(AddressKey(address));
    return it == m_byAddress.end() ? 0 : it->second;
}

}  // namespace web::security
