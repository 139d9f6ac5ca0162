#include "web/HttpPolicy.h"

#include <cctype>

namespace web {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescape(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 &&
                   HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

const std::vector<std::pair<std::string, std::string>>& SecurityHeaders() {
    static const std::vector<std::pair<std::string, std::string>> headers = {
        {"Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"Strict-Transport-Security", "max-age=31536000"},
        {"Cache-Control", "no-store"},
    };
    return headers;
}

std::string SessionCookie(const std::string& id) {
    return std::string(kSessionCookie) + "=" + id + "; HttpOnly; Secure; SameSite=Strict; Path=/";
}

std::string ClearedSessionCookie() {
    return std::string(kSessionCookie) + "=; HttpOnly; Secure; SameSite=Strict; Path=/; Max-Age=0";
}

std::string CookieValue(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        const auto semi = header.find(';');
        std::string_view pair = Trim(header.substr(0, semi));
        header = semi == std::string_view::npos ? std::string_view{} : header.substr(semi + 1);
        const auto eq = pair.find('=');
        if (eq != std::string_view::npos && Trim(pair.substr(0, eq)) == name) return std::string(Trim(pair.substr(eq + 1)));
    }
    return {};
}

bool SameOrigin(std::string_view origin, std::string_view host) {
    if (origin.empty() || host.empty()) return false;
    std::string own = "https://";
    for (char c : host) own += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string given;
    for (char c : origin) given += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The default port may be left out of either.
    auto strip = [](std::string& s) {
        if (s.size() > 4 && s.compare(s.size() - 4, 4, ":443") == 0) s.resize(s.size() - 4);
    };
    strip(own);
    strip(given);
    return own == given;
}

std::string FormField(std::string_view body, std::string_view name) {
    while (!body.empty()) {
        const auto amp = body.find('&');
        std::string_view pair = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view{} : body.substr(amp + 1);
        const auto eq = pair.find('=');
        if (Unescape(pair.substr(0, eq)) == name) return eq == std::string_view::npos ? "" : Unescape(pair.substr(eq + 1));
    }
    return {};
}

std::string ContentType(std::string_view path) {
    const auto dot = path.rfind('.');
    const std::string_view ext = dot == std::string_view::npos ? std::string_view{} : path.substr(dot + 1);
    if (ext == "html") return "text/html; charset=utf-8";
    if (ext == "js" || ext == "mjs") return "text/javascript; charset=utf-8";
    if (ext == "css") return "text/css; charset=utf-8";
    if (ext == "json") return "application/json";
    if (ext == "svg") return "image/svg+xml";
    if (ext == "png") return "image/png";
    if (ext == "ico") return "image/x-icon";
    if (ext == "woff2") return "font/woff2";
    if (ext == "txt") return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

}  // namespace web
