// The monotonic clock the security rules measure time with, replaceable so
// tests can step it.
#pragma once
#include <chrono>
#include <functional>

namespace web::security {

using SteadyClock = std::chrono::steady_clock;
using TimePoint = SteadyClock::time_point;
using NowFn = std::function<TimePoint()>;

inline NowFn SystemNow() {
    return [] { return SteadyClock::now(); };
}

}  // namespace web::security
