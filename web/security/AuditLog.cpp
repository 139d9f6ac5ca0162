#include "web/security/AuditLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace web::security {

namespace {

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

// Creates the missing folders of a path, each readable by the owner only.
void MakeParents(const std::string& path) {
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (dir.empty()) return;
    std::string so_far;
    for (const auto& part : dir) {
        so_far = so_far.empty() ? part.string() : (std::filesystem::path(so_far) / part).string();
        if (so_far == "/") continue;
        ::mkdir(so_far.c_str(), 0700);  // an existing folder is left as it is
    }
}

void AppendHex(std::string& out, unsigned v, const char* prefix, int digits, const char* suffix) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, v);
    out += prefix;
    out += buf;
    out += suffix;
}

// The length of a valid UTF-8 sequence at p (1..4) and its code point, or 0.
int Utf8At(const unsigned char* p, const unsigned char* end, unsigned& cp) {
    unsigned char c = p[0];
    int n;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c < 0x80) { cp = c; return 1; }
    if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; if (c == 0xE0) lo = 0xA0; if (c == 0xED) hi = 0x9F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; if (c == 0xF0) lo = 0x90; if (c == 0xF4) hi = 0x8F; }
    else return 0;
    if (end - p < n || p[1] < lo || p[1] > hi) return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    return n;
}

bool Hidden(unsigned cp) {
    return (cp >= 0x80 && cp <= 0x9F)                      // C1 controls (NEL among them)
           || cp == 0x2028 || cp == 0x2029                  // line and paragraph separators
           || (cp >= 0x200E && cp <= 0x200F)                // direction marks
           || (cp >= 0x202A && cp <= 0x202E)                // embeddings and overrides
           || (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF;  // isolates, byte order mark
}

bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// Reads exactly n digits at text[at]; advances at.
bool Digits(std::string_view text, std::size_t& at, int n, int& value) {
    if (at + n > text.size()) return false;
    value = 0;
    for (int i = 0; i < n; ++i) {
        char c = text[at + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    at += n;
    return true;
}

}  // namespace

std::string EscapeAuditField(std::string_view text) {
    if (text.empty()) return "-";
    if (text == "-") return "\\x2D";
    std::string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        unsigned cp = 0;
        int n = Utf8At(p, end, cp);
        if (n == 0) {
            AppendHex(out, *p, "\\x", 2, "");
            ++p;
            continue;
        }
        if (cp < 0x20 || cp == 0x7F || cp == '\\')
            AppendHex(out, cp, "\\x", 2, "");
        else if (Hidden(cp))
            AppendHex(out, cp, "\\u{", 4, "}");
        else
            out.append(reinterpret_cast<const char*>(p), n);
        p += n;
    }
    return out;
}

std::string FormatUtc(WallClock::time_point t) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    long long secs = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    int milli = static_cast<int>(ms - secs * 1000);
    std::time_t tt = static_cast<std::time_t>(secs);
    std::tm tm{};
    gmtime_r(&tt, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec, milli);
    return buf;
}

std::string FormatAuditLine(WallClock::time_point t, const AuditEvent& e) {
    return FormatUtc(t) + '\t' + EscapeAuditField(e.operatorName) + '\t' + EscapeAuditField(e.address) + '\t' +
           EscapeAuditField(e.event) + '\t' + EscapeAuditField(e.detail);
}

std::optional<WallClock::time_point> ParseIsoTime(std::string_view s) {
    std::size_t at = 0;
    int y, mo, d, h = 0, mi = 0, sec = 0;
    if (!Digits(s, at, 4, y) || at >= s.size() || s[at++] != '-' || !Digits(s, at, 2, mo) || at >= s.size() ||
        s[at++] != '-' || !Digits(s, at, 2, d))
        return std::nullopt;
    static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mo < 1 || mo > 12 || d < 1 || d > mdays[mo - 1] + (mo == 2 && Leap(y))) return std::nullopt;
    long long nanos = 0;
    if (at < s.size() && (s[at] == 'T' || s[at] == 't' || s[at] == ' ')) {
        ++at;
        if (!Digits(s, at, 2, h) || at >= s.size() || s[at++] != ':' || !Digits(s, at, 2, mi)) return std::nullopt;
        if (at < s.size() && s[at] == ':') {
            ++at;
            if (!Digits(s, at, 2, sec)) return std::nullopt;
            if (at < s.size() && (s[at] == '.' || s[at] == ',')) {
                ++at;
                long long scale = 100000000;
                std::size_t start = at;
                while (at < s.size() && s[at] >= '0' && s[at] <= '9') {
                    nanos += (s[at] - '0') * scale;
                    scale /= 10;
                    ++at;
                }
                if (at == start) return std::nullopt;
            }
        }
        if (h > 23 || mi > 59 || sec > 60) return std::nullopt;
    }
    long long offset = 0;  // seconds east of UTC
    if (at < s.size()) {
        char z = s[at];
        if ((z == 'Z' || z == 'z') && at + 1 == s.size()) {
            ++at;
        } else if (z == '+' || z == '-') {
            ++at;
            int oh = 0, om = 0;
            if (!Digits(s, at, 2, oh)) return std::nullopt;
            if (at < s.size() && s[at] == ':') ++at;
            if (at < s.size() && !Digits(s, at, 2, om)) return std::nullopt;
            if (oh > 23 || om > 59) return std::nullopt;
            offset = (z == '+' ? 1 : -1) * (oh * 3600LL + om * 60LL);
        }
    }
    if (at != s.size()) return std::nullopt;
    long long secs = DaysFromCivil(y, mo, d) * 86400LL + h * 3600LL + mi * 60LL + sec - offset;
    return WallClock::time_point(std::chrono::duration_cast<WallClock::duration>(std::chrono::seconds(secs) +
                                                                                std::chrono::nanoseconds(nanos)));
}

std::string DefaultAuditPath(const std::function<const char*(const char*)>& getenv) {
    auto env = [&](const char* name) -> std::string {
        const char* v = getenv(name);
        return v ? v : "";
    };
    if (std::string p = env("MIRELLE_AUDIT_LOG"); !p.empty()) return p;
    if (std::string log = env("MIRELLE_LOG"); !log.empty()) {
        std::filesystem::path dir = std::filesystem::path(log).parent_path();
        std::error_code ec;
        if (!dir.empty() && dir != "/dev" && dir != "/proc" && std::filesystem::is_directory(dir, ec))
            return (dir / "audit.log").string();
    }
    if (std::string x = env("XDG_STATE_HOME"); !x.empty()) return x + "/mirelle/audit.log";
    if (std::string h = env("HOME"); !h.empty()) return h + "/.local/state/mirelle/audit.log";
    return "mirelle-audit.log";
}

AuditLog::AuditLog(AuditOptions options) : m_opt(std::move(options)) {
    if (m_opt.keep < 0) m_opt.keep = 0;
}

AuditLog::~AuditLog() {
    if (m_fd >= 0) ::close(m_fd);
}

std::string AuditLog::LastError() const {
    std::lock_guard l(m_lock);
    return m_error;
}

bool AuditLog::OpenFile() {
    MakeParents(m_opt.path);
    m_fd = ::open(m_opt.path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        m_error = Errno("cannot open the audit log " + m_opt.path);
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = "the audit log " + m_opt.path + " is not a regular file";
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    // A file made earlier with a looser mode is narrowed to the owner.
    if ((st.st_mode & 077) != 0) ::fchmod(m_fd, 0600);
    m_size = static_cast<std::uintmax_t>(st.st_size);
    return true;
}

bool AuditLog::Rotate() {
    ::close(m_fd);
    m_fd = -1;
    if (m_opt.keep == 0) {
        ::unlink(m_opt.path.c_str());
    } else {
        for (int i = m_opt.keep - 1; i >= 1; --i) {
            std::string from = m_opt.path + "." + std::to_string(i), to = m_opt.path + "." + std::to_string(i + 1);
            ::rename(from.c_str(), to.c_str());  // a missing older file is no error
        }
        if (::rename(m_opt.path.c_str(), (m_opt.path + ".1").c_str()) != 0) {
            m_error = Errno("cannot rotate the audit log " + m_opt.path);
            return false;
        }
    }
    return OpenFile();
}

bool AuditLog::Write(const AuditEvent& event) {
    std::string line = FormatAuditLine(m_opt.now(), event) + '\n';
    std::lock_guard l(m_lock);
    if (m_fd < 0 && !OpenFile()) return false;
    if (m_size > 0 && m_size + line.size() > m_opt.maxBytes && !Rotate()) return false;
    const char* p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        ssize_t n = ::write(m_fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_error = Errno("cannot write the audit log " + m_opt.path);
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        m_size += static_cast<std::uintmax_t>(n);
    }
    return true;
}

std::vector<std::string> ReadAuditLines(const std::string& path, std::optional<WallClock::time_point> since,
                                        std::string* error) {
    // The rotated files present, highest number (oldest) first, then the current one.
    std::vector<std::string> files;
    std::error_code ec;
    for (int i = 1; i < 10000 && std::filesystem::exists(path + "." + std::to_string(i), ec); ++i)
        files.insert(files.begin(), path + "." + std::to_string(i));
    files.push_back(path);
    std::vector<std::string> lines;
    for (const auto& f : files) {
        if (!std::filesystem::exists(f, ec)) continue;
        std::ifstream in(f, std::ios::binary);
        if (!in) {
            if (error && error->empty()) *error = "cannot read " + f;
            continue;
        }
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty()) continue;
            if (since) {
                auto t = ParseIsoTime(std::string_view(line).substr(0, line.find('\t')));
                if (!t || *t < *since) continue;
            }
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

int RunAuditCommand(const std::vector<std::string>& args, const std::string& path, std::ostream& out,
                    std::ostream& err) {
    std::optional<WallClock::time_point> since;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "--since" && i + 1 < args.size())
            value = args[++i];
        else if (args[i].rfind("--since=", 0) == 0)
            value = args[i].substr(8);
        else {
            err << "usage: mirelle-web audit [--since TIME]   (TIME in ISO-8601, e.g. 2026-12-09T07:00Z)\n";
            return 2;
        }
        since = ParseIsoTime(value);
        if (!since) {
            err << "audit: not an ISO-8601 time: " << EscapeAuditField(value)
                << " (e.g. 2026-12-09, 2026-12-09T07:00, 2026-12-09T07:00:00+01:00)\n";
            return 2;
        }
    }
    std::string error;
    auto lines = ReadAuditLines(path, since, &error);
    for (const auto& l : lines) out << l << '\n';
    if (!error.empty()) {
        err << "audit: " << error << '\n';
        return 2;
    }
    return 0;
}

}  // namespace web::security
