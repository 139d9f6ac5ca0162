#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sodium.h>

#include "web/security/PasswordCheck.h"

using namespace web::security;

namespace {

// A small cost keeps the test quick; equal timing holds at any cost.
const HashCost kCost{2, 8 * 1024 * 1024};

std::string Hash(const std::string& password, HashCost cost = kCost) {
    char out[crypto_pwhash_STRBYTES];
    EXPECT_EQ(crypto_pwhash_str(out, password.data(), password.size(), cost.opslimit, cost.memlimit), 0);
    return out;
}

double MedianMs(const std::function<void()>& fn, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        auto t = std::chrono::steady_clock::now();
        fn();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

TEST(PasswordCheck, CostOfAHash) {
    struct Case {
        std::string hash;
        bool ok;
        unsigned long long t;
        std::size_t m;
    };
    const std::vector<Case> cases = {
        {"$argon2id$v=19$m=65536,t=2,p=1$c2FsdHNhbHQ$aGFzaGhhc2g", true, 2, 65536ull * 1024},
        {"$argon2id$v=19$m=262144,t=3,p=1$c2FsdA$aGFzaA", true, 3, 262144ull * 1024},
        {"$argon2i$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA", false, 0, 0},
        {"$argon2id$v=19$m=,t=2,p=1$c2FsdA$aGFzaA", false, 0, 0},
        {"$argon2id$v=19$m=65536,t=-2,p=1$c2FsdA$aGFzaA", false, 0, 0},
        {"$argon2id$v=19$t=2,p=1$c2FsdA$aGFzaA", false, 0, 0},
        {"$argon2id$v=19$m=99999999999,t=2,p=1$x$y", false, 0, 0},
        {"plain text", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        auto cost = CostOf(c.hash);
        ASSERT_EQ(cost.has_value(), c.ok) << c.hash;
        if (c.ok) {
            EXPECT_EQ(cost->opslimit, c.t) << c.hash;
            EXPECT_EQ(cost->memlimit, c.m) << c.hash;
        }
    }
    auto made = CostOf(Hash("x"));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->opslimit, kCost.opslimit);
    EXPECT_EQ(made->memlimit, kCost.memlimit);
}

TEST(PasswordCheck, Answers) {
    PasswordCheck check(kCost);
    const std::string stored = Hash("correct horse");
    struct Case {
        std::optional<std::string> hash;
        std::string password;
        bool ok;
    };
    const std::vector<Case> cases = {
        {stored, "correct horse", true},
        {stored, "correct hors", false},
        {stored, "", false},
        {stored, std::string("correct horse\0x", 15), false},
        {std::nullopt, "correct horse", false},
        {std::nullopt, "", false},
        {std::string("not a hash"), "x", false},
    };
    for (const auto& c : cases) EXPECT_EQ(check.Verify(c.hash, c.password), c.ok) << c.password;
}

TEST(PasswordCheck, AnUnknownUserCostsWhatAWrongPasswordCosts) {
    PasswordCheck check(kCost);
    const std::string stored = Hash("secret");
    // Interleaved runs, so a change in the machine's load hits both alike.
    std::vector<double> unknown, wrong;
    for (int i = 0; i < 7; ++i) {
        unknown.push_back(MedianMs([&] { check.Verify(std::nullopt, "guess"); }, 1));
        wrong.push_back(MedianMs([&] { check.Verify(stored, "guess"); }, 1));
    }
    std::sort(unknown.begin(), unknown.end());
    std::sort(wrong.begin(), wrong.end());
    double u = unknown[3], w = wrong[3];
    EXPECT_GT(u, w * 0.6) << "unknown " << u << " ms, wrong " << w << " ms";
    EXPECT_LT(u, w * 1.6) << "unknown " << u << " ms, wrong " << w << " ms";
}

TEST(PasswordCheck, TheDummyFollowsTheStoredCost) {
    PasswordCheck check(kCost);
    const HashCost heavier{3, 16 * 1024 * 1024};
    check.Adopt(Hash("x", heavier));
    EXPECT_EQ(check.Cost().opslimit, heavier.opslimit);
    EXPECT_EQ(check.Cost().memlimit, heavier.memlimit);
    check.Adopt("garbage");
    EXPECT_EQ(check.Cost().memlimit, heavier.memlimit) << "text that is no hash changes nothing";
}
