// What every answer of the console carries and what a request must show:
// the security headers, the session cookie's form, and the same-origin rule
// for state-changing requests and the socket upgrade.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace web {

constexpr const char* kSessionCookie = "mirelle_session";

// The headers on every answer (name, value).
const std::vector<std::pair<std::string, std::string>>& SecurityHeaders();

// The Set-Cookie value that gives the browser session id, and the one that
// clears it.
std::string SessionCookie(const std::string& id);
std::string ClearedSessionCookie();

// The value of cookie name in a Cookie header ("" when absent).
std::string CookieValue(std::string_view header, std::string_view name);

// True when origin (the request's Origin header) is this server's own,
// https://HOST as the request's Host header names it.  An empty origin is not.
bool SameOrigin(std::string_view origin, std::string_view host);

// The value of a field of an application/x-www-form-urlencoded body.
std::string FormField(std::string_view body, std::string_view name);

// The content type of a file of the page, by its extension.
std::string ContentType(std::string_view path);

}  // namespace web
