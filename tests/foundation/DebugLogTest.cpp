#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/DebugLog.h"
#include "platform/registry/Registry.h"

namespace {

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        reg::UseMemory();
        reg::Clear();
        CLogVerbosity::ResetForTests();
        ResetLogFallback();
        SetDebugOutput([this](const std::string& s) { debug.push_back(s); });
        DebugLoggerDLL::SetSink([this](const std::string& s) { logged.push_back(s); });
    }
    void TearDown() override {
        reg::FailOperation("RegEnumValue", 0);
        reg::FailOperation("RegOpenKeyEx", 0);
        reg::FailOperation("RegCreateKeyEx", 0);
        reg::FailOperation("RegNotifyChangeKeyValue", 0);
        CLogVerbosity::ResetForTests();
        SetDebugOutput(nullptr);
        DebugLoggerDLL::SetSink(nullptr);
        ResetLogFallback();
    }
    void SetLevel(const std::string& name, reg::DWORD v) {
        ASSERT_TRUE(reg::SetDword(reg::HKEY_LOCAL_MACHINE, kLogVerbosityKey, name, v));
    }
    std::vector<std::string> debug, logged;
};

TEST_F(DebugLogTest, MissingKeyIsCreatedAndEveryCategoryHasLevelThree) {
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_LOCAL_MACHINE, kLogVerbosityKey));
    EXPECT_EQ(GetLogLevel("Mirelle"), 3);
    EXPECT_EQ(GetLogLevel("Other"), 3);
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_LOCAL_MACHINE, kLogVerbosityKey));
}

TEST_F(DebugLogTest, CategoryValuesAreCaseSensitive) {
    SetLevel("Mirelle", 1);
    EXPECT_EQ(GetLogLevel("Mirelle"), 1);
    EXPECT_EQ(GetLogLevel("mirelle"), 3);
}

TEST_F(DebugLogTest, ChangedDefaultTakesEffectFromTheNextQuery) {
    EXPECT_EQ(GetLogLevel("Mirelle"), 3);
    SetLevel("Default", 0);
    EXPECT_EQ(GetLogLevel("Mirelle"), 3);  // the default noted before the re-read
    EXPECT_EQ(GetLogLevel("Mirelle"), 0);
    LogMirelle("not written");
    EXPECT_TRUE(logged.empty());
}

TEST_F(DebugLogTest, LongStringValueEndsTheReadingAndShortOneIsSkipped) {
    SetLevel("A", 1);
    ASSERT_TRUE(reg::SetString(reg::HKEY_LOCAL_MACHINE, kLogVerbosityKey, "Short", "ab"));  // 3 bytes: skipped
    SetLevel("B", 2);
    ASSERT_TRUE(reg::SetString(reg::HKEY_LOCAL_MACHINE, kLogVerbosityKey, "Long", "abcdef"));  // ends the reading
    SetLevel("C", 5);
    EXPECT_EQ(GetLogLevel("A"), 1);
    EXPECT_EQ(GetLogLevel("B"), 2);
    EXPECT_EQ(GetLogLevel("C"), 3);
    EXPECT_EQ(debug, std::vector<std::string>{"Reading debug log levels from registry failed\n"});
}

TEST_F(DebugLogTest, LevelsAreNotReReadWithoutAChange) {
    SetLevel("Mirelle", 2);
    EXPECT_EQ(GetLogLevel("Mirelle"), 2);
    reg::FailOperation("RegEnumValue", reg::ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetLogLevel("Mirelle"), 2);
    EXPECT_TRUE(debug.empty());
}

TEST_F(DebugLogTest, RegistryFailuresGoToTheDebuggerOutput) {
    reg::FailOperation("RegOpenKeyEx", reg::ERROR_ACCESS_DENIED);
    reg::FailOperation("RegCreateKeyEx", reg::ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetLogLevel("Mirelle"), 3);
    EXPECT_EQ(debug, std::vector<std::string>{"Failed creating debug log key\n"});
}

TEST_F(DebugLogTest, NotifierFailureIsReported) {
    reg::FailOperation("RegNotifyChangeKeyValue", reg::ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetLogLevel("Mirelle"), 3);
    EXPECT_EQ(debug, std::vector<std::string>{"Could not start reg key notifier for logging\n"});
}

TEST_F(DebugLogTest, LineFormatWithAndWithoutCategory) {
    LogLine("hello", "Mirelle");
    LogLine("bare", nullptr);
    LogLine(nullptr, "Mirelle");
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].front(), '(');
    auto close = logged[0].find(") ");
    ASSERT_NE(close, std::string::npos);
    EXPECT_EQ(logged[0].substr(close), ") Mirelle: hello");
    EXPECT_NE(logged[0].substr(1, close - 1).find_first_of("0123456789"), std::string::npos);
    EXPECT_EQ(logged[1].substr(logged[1].find(") ")), ") bare");
}

TEST_F(DebugLogTest, LoggerFailureSwitchesToDebuggerOutputForGood) {
    DebugLoggerDLL::SetSink([](const std::string&) { throw std::runtime_error("logger down"); });
    LogLine("first", "Mirelle");
    EXPECT_TRUE(LogFallbackActive());
    ASSERT_EQ(debug.size(), 1u);
    EXPECT_EQ(debug[0], "logger down");
    DebugLoggerDLL::SetSink([this](const std::string& s) { logged.push_back(s); });
    LogLine("second", "Mirelle");
    EXPECT_TRUE(logged.empty());
    ASSERT_EQ(debug.size(), 2u);
    EXPECT_NE(debug[1].find("Mirelle: second"), std::string::npos);
}

TEST_F(DebugLogTest, QueryAfterUnloadIsADeadReference) {
    EXPECT_EQ(GetLogLevel("Mirelle"), 3);
    CLogVerbosity::DestroyInstance();
    EXPECT_THROW(
        {
            try {
                GetLogLevel("Mirelle");
            } catch (const std::logic_error& e) {
                EXPECT_STREQ(e.what(), "Dead Reference Detected");
                throw;
            }
        },
        std::logic_error);
}

TEST_F(DebugLogTest, SecondInstanceIsRefused) {
    CLogVerbosity::Instance();
    EXPECT_THROW(CLogVerbosity second, std::logic_error);
}

TEST(DebugLogFile, GoesWhereLinuxUsersLookUnlessMirelleLogSaysOtherwise) {
    struct Case {
        const char* log;
        const char* state;
        const char* home;
        std::string expected;
    } cases[] = {
        {"/tmp/own.log", "/s", "/h", "/tmp/own.log"},
        {nullptr, "/s", "/h", "/s/mirelle/debug.log"},
        {"", "", "/h", "/h/.local/state/mirelle/debug.log"},
        {nullptr, nullptr, nullptr, "mirelle-debug.log"},
    };
    std::map<std::string, std::optional<std::string>> saved;
    for (const char* name : {"MIRELLE_LOG", "XDG_STATE_HOME", "HOME"})
        saved[name] = std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
    auto set = [](const char* name, const char* value) {
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    };
    for (auto& c : cases) {
        set("MIRELLE_LOG", c.log);
        set("XDG_STATE_HOME", c.state);
        set("HOME", c.home);
        EXPECT_EQ(DebugLoggerDLL::LogFilePath(), c.expected);
    }
    for (auto& [name, value] : saved) set(name.c_str(), value ? value->c_str() : nullptr);
}

}  // namespace
