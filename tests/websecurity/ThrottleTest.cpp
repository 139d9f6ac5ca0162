#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/security/LoginThrottle.h"
#include "web/security/RateLimits.h"
#include "web/security/SessionTimeouts.h"

using namespace web::security;
using namespace std::chrono_literals;

namespace {

// A clock the test steps by hand.
struct FakeClock {
    TimePoint t{std::chrono::hours(1000)};
    NowFn Fn() {
        return [this] { return t; };
    }
};

// One step of a throttle scenario: fail, succeed or check, after advancing the clock.
struct Step {
    std::chrono::seconds advance;
    char op;  // 'f' failure, 's' success, 'c' check
    const char* user;
    const char* address;
    bool allowed = true;         // for 'c'
    long long retryAfter = 0;    // for 'c'
};

struct Scenario {
    const char* name;
    std::vector<Step> steps;
};

std::vector<Step> Fails(int n, const char* user, const char* address) {
    return std::vector<Step>(n, Step{0s, 'f', user, address});
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(LoginThrottle, Scenarios) {
    const std::vector<Scenario> scenarios = {
        {"four failures leave the user free",
         Fails(4, "anna", "10.0.0.1") + std::vector<Step>{{0s, 'c', "anna", "10.0.0.1", true, 0}}},
        {"the fifth failure refuses the user from any address for 30 s",
         Fails(5, "anna", "10.0.0.1") + std::vector<Step>{{0s, 'c', "anna", "10.0.0.9", false, 30},
                                                           {29s, 'c', "anna", "10.0.0.9", false, 1},
                                                           {1s, 'c', "anna", "10.0.0.9", true, 0}}},
        {"five failures from one address refuse every user from it",
         std::vector<Step>{{0s, 'f', "u1", "10.0.0.2"}, {0s, 'f', "u2", "10.0.0.2"}, {0s, 'f', "u3", "10.0.0.2"},
                           {0s, 'f', "u4", "10.0.0.2"}, {0s, 'f', "u5", "10.0.0.2"},
                           {0s, 'c', "new", "10.0.0.2", false, 30}, {0s, 'c', "new", "10.0.0.3", true, 0}}},
        {"each failure after a refusal doubles the delay up to 15 minutes",
         Fails(5, "bob", "10.0.0.1") +
             std::vector<Step>{{30s, 'f', "bob", "10.0.0.1"}, {0s, 'c', "bob", "10.0.0.1", false, 60},
                               {60s, 'f', "bob", "10.0.0.1"}, {0s, 'c', "bob", "10.0.0.1", false, 120},
                               {120s, 'f', "bob", "10.0.0.1"}, {240s, 'f', "bob", "10.0.0.1"},
                               {480s, 'f', "bob", "10.0.0.1"}, {0s, 'c', "bob", "10.0.0.1", false, 900},
                               {900s, 'f', "bob", "10.0.0.1"}, {0s, 'c', "bob", "10.0.0.1", false, 900}}},
        {"a success clears the user's count but not the address's",
         Fails(4, "anna", "10.0.0.1") +
             std::vector<Step>{{0s, 's', "anna", "10.0.0.1"}, {0s, 'f', "anna", "10.0.0.1"},
                               {0s, 'c', "anna", "10.0.0.7", true, 0}, {0s, 'c', "zed", "10.0.0.1", false, 30}}},
        {"failures an hour old are forgotten",
         Fails(4, "anna", "10.0.0.1") +
             std::vector<Step>{{3600s, 'f', "anna", "10.0.0.1"}, {0s, 'c', "anna", "10.0.0.1", true, 0}}},
        {"one IPv6 /64 counts as one address",
         std::vector<Step>{{0s, 'f', "a", "2001:db8:1:2::1"}, {0s, 'f', "b", "2001:db8:1:2::2"},
                           {0s, 'f', "c", "2001:db8:1:2:aaaa::3"}, {0s, 'f', "d", "[2001:db8:1:2::4]"},
                           {0s, 'f', "e", "2001:db8:1:2::5%eth0"}, {0s, 'c', "f", "2001:db8:1:2::6", false, 30},
                           {0s, 'c', "f", "2001:db8:1:3::6", true, 0}}},
        {"an IPv4-mapped address is the IPv4 address",
         Fails(5, "x", "::ffff:192.0.2.7") + std::vector<Step>{{0s, 'c', "y", "192.0.2.7", false, 30}}},
    };
    for (const auto& s : scenarios) {
        SCOPED_TRACE(s.name);
        FakeClock clock;
        LoginThrottle throttle({}, clock.Fn());
        int i = 0;
        for (const auto& step : s.steps) {
            SCOPED_TRACE("step " + std::to_string(i++));
            clock.t += step.advance;
            if (step.op == 'f') {
                ASSERT_TRUE(throttle.Check(step.user, step.address).allowed) << "a refused attempt is never checked";
                throttle.RecordFailure(step.user, step.address);
            } else if (step.op == 's') {
                throttle.RecordSuccess(step.user);
            } else {
                auto d = throttle.Check(step.user, step.address);
                EXPECT_EQ(d.allowed, step.allowed);
                EXPECT_EQ(d.retryAfterSeconds, step.retryAfter);
            }
        }
    }
}

TEST(LoginThrottle, AMillionAddressesStayWithinTheCap) {
    FakeClock clock;
    ThrottleOptions o;
    o.maxKeys = 1000;
    LoginThrottle throttle(o, clock.Fn());
    // A key that failed before the flood keeps its own count through it.
    for (int i = 0; i < 5; ++i) throttle.RecordFailure("anna", "192.0.2.1");
    for (int i = 0; i < 1'000'000; ++i) {
        clock.t += 1ms;
        std::string a = std::to_string(10 + (i >> 16 & 0xff)) + "." + std::to_string(i >> 8 & 0xff) + "." +
                        std::to_string(i & 0xff) + ".1";
        if (throttle.Check(a, a).allowed) throttle.RecordFailure(a, a);
    }
    EXPECT_LE(throttle.TrackedAddresses(), 1000u);
    EXPECT_LE(throttle.TrackedUsers(), 1000u);
    ASSERT_TRUE(throttle.Check("anna", "192.0.2.1").allowed);
    throttle.RecordFailure("anna", "192.0.2.1");
    EXPECT_EQ(throttle.Check("anna", "192.0.2.1").retryAfterSeconds, 60) << "the sixth failure doubles the delay";
    // Once the flood's keys expire the table empties again.
    clock.t += 2h;
    EXPECT_TRUE(throttle.Check("someone", "172.16.0.1").allowed);
    throttle.RecordFailure("someone", "172.16.0.1");
    EXPECT_EQ(throttle.TrackedAddresses(), 1u);
}

TEST(LoginThrottle, KeysBeyondTheCapShareOneEntry) {
    FakeClock clock;
    ThrottleOptions o;
    o.maxKeys = 2;
    LoginThrottle throttle(o, clock.Fn());
    throttle.RecordFailure("a", "10.0.0.1");
    throttle.RecordFailure("b", "10.0.0.2");
    for (int i = 0; i < 5; ++i) {
        std::string n = std::to_string(10 + i);
        ASSERT_TRUE(throttle.Check("u" + n, "10.0.1." + n).allowed);
        throttle.RecordFailure("u" + n, "10.0.1." + n);
    }
    EXPECT_EQ(throttle.TrackedAddresses(), 2u);
    EXPECT_FALSE(throttle.Check("fresh", "10.0.2.1").allowed) << "the overflow entry is refused";
    EXPECT_TRUE(throttle.Check("a", "10.0.0.1").allowed) << "tracked keys keep their own state";
}

TEST(LoginThrottle, AddressKeys) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"192.0.2.1", "192.0.2.1"},
        {"::ffff:192.0.2.1", "192.0.2.1"},
        {"2001:db8::1", "2001:db8::/64"},
        {"2001:DB8:0:0:ffff:1:2:3", "2001:db8::/64"},
        {"[fe80::1%eth0]", "fe80::/64"},
        {"::1", "::/64"},
        {"not an address", "not an address"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(AddressKey(in), want) << in;
}

TEST(RateLimits, TokenBucketAllowsFiftyASecond) {
    FakeClock clock;
    TokenBucket bucket(50, 50, clock.Fn());
    int taken = 0;
    for (int i = 0; i < 60; ++i) taken += bucket.Take();
    EXPECT_EQ(taken, 50) << "a burst of 50";
    clock.t += 100ms;
    taken = 0;
    for (int i = 0; i < 10; ++i) taken += bucket.Take();
    EXPECT_EQ(taken, 5) << "refilled at 50 a second";
    clock.t += 10s;
    taken = 0;
    for (int i = 0; i < 100; ++i) taken += bucket.Take();
    EXPECT_EQ(taken, 50) << "never more than the burst";
    // A steady 50 a second is never refused.
    for (int i = 0; i < 500; ++i) {
        clock.t += 20ms;
        ASSERT_TRUE(bucket.Take()) << i;
    }
}

TEST(RateLimits, ViolationsPersistAtThreeInTenSeconds) {
    struct Case {
        std::vector<std::chrono::milliseconds> gaps;  // before each violation
        bool persists;
    };
    const std::vector<Case> cases = {
        {{0ms, 0ms}, false},
        {{0ms, 0ms, 0ms}, true},
        {{0ms, 5s, 4999ms}, true},
        {{0ms, 5s, 5s}, false},
        {{0ms, 9s, 2s}, false},
        {{0ms, 9s, 2s, 1s}, true},
        {{0ms, 4s, 7s, 4s}, false},
    };
    for (const auto& c : cases) {
        FakeClock clock;
        Violations v(3, 10s, clock.Fn());
        bool last = false;
        for (auto g : c.gaps) {
            clock.t += g;
            last = v.Record();
        }
        EXPECT_EQ(last, c.persists) << c.gaps.size() << " violations";
    }
}

TEST(RateLimits, ConnectionsPerAddress) {
    ConnectionCounter counter(16, 40);
    for (int i = 0; i < 16; ++i) ASSERT_TRUE(counter.TryOpen("10.0.0.1"));
    EXPECT_FALSE(counter.TryOpen("10.0.0.1"));
    EXPECT_FALSE(counter.TryOpen("::ffff:10.0.0.1")) << "the same address written IPv4-mapped";
    EXPECT_TRUE(counter.TryOpen("10.0.0.2"));
    counter.Close("10.0.0.1");
    EXPECT_TRUE(counter.TryOpen("10.0.0.1"));
    // The total cap holds across addresses.
    for (int i = 0; i < 23; ++i) ASSERT_TRUE(counter.TryOpen("10.0.1." + std::to_string(i)));
    EXPECT_EQ(counter.OpenTotal(), 40);
    EXPECT_FALSE(counter.TryOpen("10.0.2.1"));
    // Closing everything leaves nothing tracked; closing what was never open changes nothing.
    for (int i = 0; i < 16; ++i) counter.Close("10.0.0.1");
    counter.Close("10.0.0.2");
    for (int i = 0; i < 23; ++i) counter.Close("10.0.1." + std::to_string(i));
    counter.Close("10.9.9.9");
    EXPECT_EQ(counter.OpenTotal(), 0);
    EXPECT_EQ(counter.TrackedAddresses(), 0u);
}

TEST(SessionTimeouts, IdleAndLifetime) {
    const TimePoint t0{std::chrono::hours(5)};
    struct Case {
        std::chrono::seconds sinceLogin, sinceUse;
        SessionState want;
    };
    const std::vector<Case> cases = {
        {0s, 0s, SessionState::Live},
        {14min + 59s, 14min + 59s, SessionState::Live},
        {15min, 15min, SessionState::IdleExpired},
        {11h, 1min, SessionState::Live},
        {12h - 1s, 0s, SessionState::Live},
        {12h, 0s, SessionState::LifetimeExpired},
        {13h, 20min, SessionState::LifetimeExpired},
    };
    for (const auto& c : cases) {
        TimePoint now = t0 + c.sinceLogin;
        EXPECT_EQ(CheckSession(t0, now - c.sinceUse, now), c.want) << c.sinceLogin.count() << "/" << c.sinceUse.count();
    }
    SessionTimeoutOptions o{60s, 300s};
    EXPECT_EQ(SessionDeadline(t0, t0 + 290s, o), t0 + 300s);
    EXPECT_EQ(SessionDeadline(t0, t0 + 10s, o), t0 + 70s);
}
