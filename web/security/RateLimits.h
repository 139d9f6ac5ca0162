// Limits on what one connection and one client address may do.
//
// TokenBucket: at most `rate` actions a second on average, with bursts of up
// to `burst`.  Violations: a limit broken `count` times within `window` is a
// persisting breach, and the connection is closed.  ConnectionCounter: open
// connections per client address (by AddressKey) and in all, so one address
// cannot hold the server's sockets and the table stays as small as the
// connections it counts.
#pragma once
#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "web/security/Clock.h"

namespace web::security {

class TokenBucket {
public:
    explicit TokenBucket(double rate = 50, double burst = 50, NowFn now = SystemNow());
    // Takes one token when there is one.
    bool Take();

private:
    double m_rate, m_burst, m_tokens;
    TimePoint m_last;
    NowFn m_now;
};

class Violations {
public:
    explicit Violations(int count = 3, std::chrono::milliseconds window = std::chrono::seconds(10),
                        NowFn now = SystemNow());
    // Records one broken limit; true when the breach persists (close the connection).
    bool Record();

private:
    int m_count;
    std::chrono::milliseconds m_window;
    NowFn m_now;
    std::deque<TimePoint> m_times;
};

class ConnectionCounter {
public:
    explicit ConnectionCounter(int perAddress = 16, int total = 512) : m_perAddress(perAddress), m_total(total) {}
    // Counts a new connection from the address, or refuses it (false).
    bool TryOpen(std::string_view address);
    // Ends a connection TryOpen counted.
    void Close(std::string_view address);
    int Open(std::string_view address) const;
    int OpenTotal() const { return m_open; }
    std::size_t TrackedAddresses() const { return m_byAddress.size(); }

private:
    int m_perAddress, m_total, m_open = 0;
    std::unordered_map<std::string, int> m_byAddress;
};

}  // namespace web::security
