#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "web/security/AuditLog.h"

using namespace web::security;
namespace fs = std::filesystem;

namespace {

WallClock::time_point At(const char* iso) {
    auto t = ParseIsoTime(iso);
    EXPECT_TRUE(t) << iso;
    return t.value_or(WallClock::time_point{});
}

std::vector<std::string> Lines(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

class AuditLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("mirelle-audit-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        path = (dir / "state" / "mirelle" / "audit.log").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    AuditOptions Options(std::uintmax_t maxBytes = 1 << 20, int keep = 5) {
        AuditOptions o;
        o.path = path;
        o.maxBytes = maxBytes;
        o.keep = keep;
        o.now = [this] { return now; };
        return o;
    }
    fs::path dir;
    std::string path;
    WallClock::time_point now = At("2026-12-09T07:01:02.345Z");
};

}  // namespace

TEST(AuditFormat, Escaping) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"anna", "anna"},
        {"", "-"},
        {"-", "\\x2D"},
        {"bj\xC3\xB6rn", "bj\xC3\xB6rn"},
        {"a\tb", "a\\x09b"},
        {"eve\n2026-12-09T07:00:00.000Z\tadmin", "eve\\x0A2026-12-09T07:00:00.000Z\\x09admin"},
        {"a\rb", "a\\x0Db"},
        {"back\\slash", "back\\x5Cslash"},
        {"del\x7F", "del\\x7F"},
        {"\xC2\x85nel", "\\u{0085}nel"},
        {"x\xE2\x80\xA8y", "x\\u{2028}y"},
        {"evil\xE2\x80\xAEgnp.exe", "evil\\u{202E}gnp.exe"},
        {"\xFF\xC3", "\\xFF\\xC3"},
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(EscapeAuditField(in), want) << ::testing::PrintToString(in);
}

TEST(AuditFormat, ALineHasFiveFieldsWhateverTheNames) {
    AuditEvent e{"eve\n\t", "10.0.0.1", audit::kLoginFailed, "x\ty\nz"};
    std::string line = FormatAuditLine(At("2026-12-09T07:01:02.345Z"), e);
    EXPECT_EQ(line, "2026-12-09T07:01:02.345Z\teve\\x0A\\x09\t10.0.0.1\tlogin-failed\tx\\x09y\\x0Az");
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(FormatAuditLine(At("2026-12-09T07:01:02Z"), {}), "2026-12-09T07:01:02.000Z\t-\t-\t-\t-");
}

TEST(AuditFormat, IsoTimes) {
    struct Case {
        const char* text;
        const char* utc;  // FormatUtc of the result, or null when refused
    };
    const std::vector<Case> cases = {
        {"2026-12-09", "2026-12-09T00:00:00.000Z"},
        {"2026-12-09T07:05", "2026-12-09T07:05:00.000Z"},
        {"2026-12-09 07:05:06", "2026-12-09T07:05:06.000Z"},
        {"2026-12-09T07:05:06.7Z", "2026-12-09T07:05:06.700Z"},
        {"2026-12-09T07:05:06.123456789Z", "2026-12-09T07:05:06.123Z"},
        {"2026-12-09T07:05:06+01:00", "2026-12-09T06:05:06.000Z"},
        {"2026-12-09T07:05:06-0530", "2026-12-09T12:35:06.000Z"},
        {"2026-12-09T00:30+02", "2026-12-08T22:30:00.000Z"},
        {"2024-02-29", "2024-02-29T00:00:00.000Z"},
        {"1969-12-31T23:59:59Z", "1969-12-31T23:59:59.000Z"},
        {"2026-02-29", nullptr},
        {"2026-13-01", nullptr},
        {"2026-12-32", nullptr},
        {"2026-12-09T24:00", nullptr},
        {"2026-12-09T07", nullptr},
        {"2026-12-09T07:05:06.", nullptr},
        {"2026-12-09T07:05Zjunk", nullptr},
        {"09.12.2026", nullptr},
        {"yesterday", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        auto t = ParseIsoTime(c.text);
        if (!c.utc) {
            EXPECT_FALSE(t) << c.text;
        } else {
            ASSERT_TRUE(t) << c.text;
            EXPECT_EQ(FormatUtc(*t), c.utc) << c.text;
        }
    }
}

TEST(AuditFormat, BesideTheDebugLog) {
    const std::string tmp = fs::temp_directory_path().string();
    struct Case {
        std::map<std::string, std::string> env;
        std::string want;
    };
    const std::vector<Case> cases = {
        {{{"MIRELLE_AUDIT_LOG", "/srv/a.log"}, {"XDG_STATE_HOME", "/x"}}, "/srv/a.log"},
        {{{"MIRELLE_LOG", tmp + "/debug.log"}, {"XDG_STATE_HOME", "/x"}}, tmp + "/audit.log"},
        {{{"MIRELLE_LOG", "/dev/null"}, {"XDG_STATE_HOME", "/x"}}, "/x/mirelle/audit.log"},
        {{{"MIRELLE_LOG", "/no/such/dir/debug.log"}, {"HOME", "/home/q"}}, "/home/q/.local/state/mirelle/audit.log"},
        {{{"XDG_STATE_HOME", "/x"}, {"HOME", "/home/q"}}, "/x/mirelle/audit.log"},
        {{{"HOME", "/home/q"}}, "/home/q/.local/state/mirelle/audit.log"},
        {{}, "mirelle-audit.log"},
    };
    for (const auto& c : cases) {
        auto get = [&](const char* n) -> const char* {
            auto it = c.env.find(n);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(DefaultAuditPath(get), c.want);
    }
}

TEST_F(AuditLogTest, AppendsOwnerOnlyLines) {
    {
        AuditLog log(Options());
        ASSERT_TRUE(log.Write({"anna", "10.0.0.1", audit::kLogin, ""})) << log.LastError();
        now += std::chrono::seconds(1);
        ASSERT_TRUE(log.Write({"anna", "10.0.0.1", audit::kHost, "host: SetCameraName 1 \"Front door\""}));
    }
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(fs::path(path).parent_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "the folder made for the log is the owner's only";
    // A second writer (a restart) appends; a file loosened by hand is narrowed again.
    ::chmod(path.c_str(), 0644);
    {
        AuditLog log(Options());
        now += std::chrono::seconds(1);
        ASSERT_TRUE(log.Write({"anna", "10.0.0.1", audit::kLogout, ""}));
    }
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(Lines(path), (std::vector<std::string>{
                               "2026-12-09T07:01:02.345Z\tanna\t10.0.0.1\tlogin\t-",
                               "2026-12-09T07:01:03.345Z\tanna\t10.0.0.1\thost\thost: SetCameraName 1 \"Front door\"",
                               "2026-12-09T07:01:04.345Z\tanna\t10.0.0.1\tlogout\t-",
                           }));
}

TEST_F(AuditLogTest, RotatesAndReadsBackInOrder) {
    // Each line is 46 bytes: three fit in 140.
    AuditLog log(Options(140, 2));
    for (int i = 0; i < 15; ++i) {
        now += std::chrono::minutes(1);
        ASSERT_TRUE(log.Write({"op" + std::to_string(i % 10), "10.0.0.1", audit::kLogin, ""})) << log.LastError();
    }
    EXPECT_TRUE(fs::exists(path + ".1"));
    EXPECT_TRUE(fs::exists(path + ".2"));
    EXPECT_FALSE(fs::exists(path + ".3")) << "only `keep` rotated files";
    for (const auto& f : {path, path + ".1", path + ".2"}) {
        EXPECT_LE(fs::file_size(f), 140u) << f;
        struct stat st {};
        ASSERT_EQ(::stat(f.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << f;
    }
    auto all = ReadAuditLines(path, std::nullopt);
    ASSERT_EQ(all.size(), 9u) << "three files of three lines";
    for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1], all[i]) << "oldest first";
    EXPECT_EQ(all.back(), "2026-12-09T07:16:02.345Z\top4\t10.0.0.1\tlogin\t-");

    auto since = ReadAuditLines(path, At("2026-12-09T07:14:02.345Z"));
    ASSERT_EQ(since.size(), 3u);
    EXPECT_EQ(since.front().substr(0, 24), "2026-12-09T07:14:02.345Z");
    EXPECT_EQ(ReadAuditLines(path, At("2026-12-09T09:00:00+01:00")).size(), 0u)
        << "08:00 UTC is after every line";
}

TEST_F(AuditLogTest, TheAuditCommand) {
    AuditLog log(Options());
    ASSERT_TRUE(log.Write({"anna", "10.0.0.1", audit::kLogin, ""}));
    now = At("2026-12-09T09:00:00Z");
    ASSERT_TRUE(log.Write({"anna", "10.0.0.1", audit::kLogout, ""}));
    struct Case {
        std::vector<std::string> args;
        int code;
        int lines;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{}, 0, 2, ""},
        {{"--since", "2026-12-09T08:00Z"}, 0, 1, ""},
        {{"--since=2026-12-09T10:00:00+02:00"}, 0, 1, ""},
        {{"--since", "2026-12-10"}, 0, 0, ""},
        {{"--since", "tomorrow"}, 2, 0, "not an ISO-8601 time: tomorrow"},
        {{"--since"}, 2, 0, "usage: mirelle-web audit [--since TIME]"},
        {{"--all"}, 2, 0, "usage:"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(RunAuditCommand(c.args, path, out, err), c.code) << ::testing::PrintToString(c.args);
        std::string o = out.str();
        EXPECT_EQ(std::count(o.begin(), o.end(), '\n'), c.lines) << ::testing::PrintToString(c.args);
        EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunAuditCommand({}, (dir / "none.log").string(), out, err), 0) << "no log yet: nothing to print";
    EXPECT_EQ(out.str(), "");
}

TEST_F(AuditLogTest, AFileThatCannotBeOpenedIsReported) {
    fs::create_directories(path);  // a folder where the file should be
    AuditLog log(Options());
    EXPECT_FALSE(log.Write({"anna", "", audit::kLogin, ""}));
    EXPECT_NE(log.LastError().find(path), std::string::npos) << log.LastError();
}
