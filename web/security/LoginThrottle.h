// Failed logins counted per operator name and per client address.
//
// After kFreeFailures failures for a key, further attempts are refused for a
// delay that doubles with every failure made after the delay ran out, up to
// maxDelay.  A refused attempt is not checked (no password hash is computed)
// and does not lengthen the delay.  A successful login clears the user's
// count, not the address's: an attacker with one valid account must not be
// able to reset the counter of the address it guesses from.
//
// Memory stays bounded: a key that has not failed for `forgetAfter` and is not
// refused is dropped, and at most `maxKeys` keys of each kind are tracked.
// When the table is full of live keys, keys it cannot hold share one overflow
// entry, throttled as one key: a flood of distinct addresses (or made-up user
// names) throttles itself instead of evicting the keys already tracked.
#pragma once
#include <chrono>
#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

#include "web/security/Clock.h"

namespace web::security {

struct ThrottleOptions {
    int freeFailures = 5;
    std::chrono::seconds firstDelay{30};
    std::chrono::seconds maxDelay{15 * 60};
    std::chrono::seconds forgetAfter{60 * 60};
    std::size_t maxKeys = 10000;
};

struct ThrottleDecision {
    bool allowed = true;
    // When refused: whole seconds until the next attempt may be made (>= 1),
    // the value of a Retry-After header.
    long long retryAfterSeconds = 0;
};

class LoginThrottle {
public:
    explicit LoginThrottle(ThrottleOptions options = {}, NowFn now = SystemNow());

    // May an attempt for this user from this address be checked now?
    ThrottleDecision Check(std::string_view user, std::string_view address);
    void RecordFailure(std::string_view user, std::string_view address);
    void RecordSuccess(std::string_view user);

    // Tracked keys (without the overflow entries), for tests and the load figures.
    std::size_t TrackedUsers() const { return m_users.entries.size(); }
    std::size_t TrackedAddresses() const { return m_addresses.entries.size(); }

private:
    struct Entry {
        int failures = 0;
        TimePoint lastFailure{};
        TimePoint blockedUntil{};
        std::list<std::string>::iterator order;  // position in Table::lru
    };
    struct Table {
        std::unordered_map<std::string, Entry> entries;
        std::list<std::string> lru;  // least recently failed first
        Entry overflow;
        bool saturated = false;  // the last insert found the table full
    };
    Entry* Find(Table& t, std::string_view key, bool create);
    void Expire(Table& t, TimePoint now);
    bool Expired(const Entry& e, TimePoint now) const;
    long long Remaining(const Entry& e, TimePoint now) const;
    void Fail(Entry& e, TimePoint now);

    ThrottleOptions m_opt;
    NowFn m_now;
    Table m_users;
    Table m_addresses;
};

// The key a client address is counted under: an IPv4 address as it is (also
// when written IPv4-mapped, ::ffff:a.b.c.d), an IPv6 address by its /64
// prefix, since one site is handed a whole /64.  Text that is no address is
// used as it is.
std::string AddressKey(std::string_view address);

}  // namespace web::security
