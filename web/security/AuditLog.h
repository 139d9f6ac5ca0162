// The console's audit trail: who did what from where, and when.
//
// One line an event, appended to a file only the console's own user can read
// (mode 0600, opened O_APPEND so each line lands whole at the end, never
// rewritten).  A line is five tab-separated fields:
//
//     2026-12-09T07:01:02.345Z <TAB> operator <TAB> address <TAB> event <TAB> detail
//
// the time in UTC; "-" for an empty field.  Every field is escaped: control
// characters (tab and line breaks among them), a backslash, C1 controls,
// Unicode line separators and bidirectional overrides become \xNN or \u{NNNN},
// and bytes that are not UTF-8 become \xNN, so no name an attacker types can
// start a line of its own, shift a field, or hide text when printed.
//
// When a line would take the file past maxBytes the file is rotated: audit.log
// becomes audit.log.1, .1 becomes .2 and so on; the oldest beyond `keep` goes.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace web::security {

using WallClock = std::chrono::system_clock;

// The events the console records.
namespace audit {
inline constexpr const char* kLogin = "login";
inline constexpr const char* kLogout = "logout";
inline constexpr const char* kLoginFailed = "login-failed";
inline constexpr const char* kLoginRefused = "login-refused";  // throttled, not checked
inline constexpr const char* kSessionEnded = "session-ended";  // time-out
inline constexpr const char* kSetupOpened = "setup-opened";
inline constexpr const char* kSetupResult = "setup-result";
inline constexpr const char* kHost = "host";
inline constexpr const char* kHandover = "handover";
inline constexpr const char* kTake = "take";
inline constexpr const char* kConnectTimeout = "connect-timeout";  // the holder's dialog ended by ConnectTimeout
inline constexpr const char* kLimits = "limits-broken";            // a socket closed for breaking limits
}  // namespace audit

struct AuditEvent {
    std::string operatorName;
    std::string address;
    std::string event;
    std::string detail;
};

struct AuditOptions {
    std::string path;
    std::uintmax_t maxBytes = 4 * 1024 * 1024;
    int keep = 5;  // rotated files kept beside the current one
    std::function<WallClock::time_point()> now = [] { return WallClock::now(); };
};

class AuditLog {
public:
    explicit AuditLog(AuditOptions options);
    ~AuditLog();
    AuditLog(const AuditLog&) = delete;
    AuditLog& operator=(const AuditLog&) = delete;

    // Appends one line; false (and LastError) when it could not be written.
    bool Write(const AuditEvent& event);
    std::string LastError() const;
    const std::string& Path() const { return m_opt.path; }

private:
    bool OpenFile();
    bool Rotate();
    AuditOptions m_opt;
    mutable std::mutex m_lock;
    int m_fd = -1;
    std::uintmax_t m_size = 0;
    std::string m_error;
};

// One field as written to the log.
std::string EscapeAuditField(std::string_view text);
// "2026-12-09T07:01:02.345Z"
std::string FormatUtc(WallClock::time_point t);
// A line as AuditLog writes it (without the line break).
std::string FormatAuditLine(WallClock::time_point t, const AuditEvent& event);

// An ISO-8601 time: a date, optionally "T" (or a space) and hh:mm[:ss[.fraction]],
// optionally "Z" or an offset (+hh:mm, +hhmm, +hh).  Without a zone it is UTC.
std::optional<WallClock::time_point> ParseIsoTime(std::string_view text);

// The audit log's file: MIRELLE_AUDIT_LOG when set; else beside the debug log:
// in the folder of MIRELLE_LOG when that names a file in an ordinary folder,
// else $XDG_STATE_HOME/mirelle/audit.log, else ~/.local/state/mirelle/audit.log.
std::string DefaultAuditPath(const std::function<const char*(const char*)>& getenv);

// The lines of the log and its rotated files, oldest first; with `since`,
// only lines of that time or later.  A file that cannot be read is named in
// *error (when given); a log not written yet has no lines.
std::vector<std::string> ReadAuditLines(const std::string& path, std::optional<WallClock::time_point> since,
                                        std::string* error = nullptr);

// `audit [--since TIME]`: args are the words after "audit".  Returns the exit
// code: 0, or 2 with a message on err for bad arguments or an unreadable log.
int RunAuditCommand(const std::vector<std::string>& args, const std::string& path, std::ostream& out,
                    std::ostream& err);

}  // namespace web::security
