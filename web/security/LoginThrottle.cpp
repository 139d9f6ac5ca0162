#include "web/security/LoginThrottle.h"

#include <algorithm>
#include <cstdio>

#include <arpa/inet.h>

namespace web::security {

LoginThrottle::LoginThrottle(ThrottleOptions options, NowFn now) : m_opt(options), m_now(std::move(now)) {
    m_opt.freeFailures = std::max(1, m_opt.freeFailures);
    m_opt.maxKeys = std::max<std::size_t>(1, m_opt.maxKeys);
    // A key must not be forgotten while it may still be refused.
    m_opt.forgetAfter = std::max(m_opt.forgetAfter, m_opt.maxDelay);
}

bool LoginThrottle::Expired(const Entry& e, TimePoint now) const {
    return now >= e.blockedUntil && now - e.lastFailure >= m_opt.forgetAfter;
}

long long LoginThrottle::Remaining(const Entry& e, TimePoint now) const {
    if (now >= e.blockedUntil) return 0;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(e.blockedUntil - now).count();
    return std::max<long long>(1, (left + 999) / 1000);
}

void LoginThrottle::Expire(Table& t, TimePoint now) {
    // The list is ordered by last failure, so the expired keys are at its front.
    while (!t.lru.empty()) {
        auto it = t.entries.find(t.lru.front());
        if (it == t.entries.end() || !Expired(it->second, now)) break;
        t.entries.erase(it);
        t.lru.pop_front();
    }
    if (t.overflow.failures > 0 && Expired(t.overflow, now)) t.overflow = Entry{};
    t.saturated = t.entries.size() >= m_opt.maxKeys;
}

LoginThrottle::Entry* LoginThrottle::Find(Table& t, std::string_view key, bool create) {
    TimePoint now = m_now();
    Expire(t, now);
    if (auto it = t.entries.find(std::string(key)); it != t.entries.end()) return &it->second;
    if (t.saturated) return &t.overflow;
    if (!create) return nullptr;
    auto [it, inserted] = t.entries.emplace(std::string(key), Entry{});
    t.lru.push_back(it->first);
    it->second.order = std::prev(t.lru.end());
    t.saturated = t.entries.size() >= m_opt.maxKeys;
    return &it->second;
}

void LoginThrottle::Fail(Entry& e, TimePoint now) {
    if (e.failures > 0 && Expired(e, now)) e.failures = 0;
    ++e.failures;
    e.lastFailure = now;
    if (e.failures >= m_opt.freeFailures) {
        int doublings = std::min(e.failures - m_opt.freeFailures, 30);
        auto delay = m_opt.firstDelay * (1LL << doublings);
        e.blockedUntil = now + std::min<std::chrono::seconds>(delay, m_opt.maxDelay);
    }
}

namespace {

// Names longer than any operator's are counted by their start, so a table
// entry stays small whatever a client sends.
std::string_view UserKey(std::string_view user) { return user.substr(0, 64); }

}  // namespace

ThrottleDecision LoginThrottle::Check(std::string_view user, std::string_view address) {
    user = UserKey(user);
    TimePoint now = m_now();
    long long wait = 0;
    if (const Entry* e = Find(m_users, user, false)) wait = std::max(wait, Remaining(*e, now));
    if (const Entry* e = Find(m_addresses, AddressKey(address), false)) wait = std::max(wait, Remaining(*e, now));
    return {wait == 0, wait};
}

void LoginThrottle::RecordFailure(std::string_view user, std::string_view address) {
    user = UserKey(user);
    TimePoint now = m_now();
    for (auto [table, key] : {std::pair{&m_users, std::string(user)}, std::pair{&m_addresses, AddressKey(address)}}) {
        Entry* e = Find(*table, key, true);
        Fail(*e, now);
        if (e != &table->overflow) table->lru.splice(table->lru.end(), table->lru, e->order);
    }
}

void LoginThrottle::RecordSuccess(std::string_view user) {
    user = UserKey(user);
    auto it = m_users.entries.find(std::string(user));
    if (it == m_users.entries.end()) return;
    m_users.lru.erase(it->second.order);
    m_users.entries.erase(it);
    m_users.saturated = m_users.entries.size() >= m_opt.maxKeys;
}

std::string AddressKey(std::string_view address) {
    std::string text(address);
    // Qt and URLs write IPv6 addresses in brackets or with a zone.
    if (text.size() > 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
    if (auto pct = text.find('%'); pct != std::string::npos) text.resize(pct);
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        char out[INET_ADDRSTRLEN];
        return inet_ntop(AF_INET, &v4, out, sizeof out);
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.c_str(), &v6) != 1) return std::string(address);
    static const unsigned char mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    if (std::equal(mapped, mapped + 12, v6.s6_addr)) {
        char out[INET_ADDRSTRLEN];
        return inet_ntop(AF_INET, v6.s6_addr + 12, out, sizeof out);
    }
    std::fill(v6.s6_addr + 8, v6.s6_addr + 16, 0);
    char out[INET6_ADDRSTRLEN];
    return std::string(inet_ntop(AF_INET6, &v6, out, sizeof out)) + "/64";
}

}  // namespace web::security
