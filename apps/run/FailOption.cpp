#include "apps/run/FailOption.h"

#include <charconv>
#include <cstdint>
#include <utility>

namespace apps {

namespace {

const std::pair<const char*, com::HRESULT> kHresultNames[] = {
    {"S_OK", com::S_OK},
    {"S_FALSE", com::S_FALSE},
    {"E_FAIL", com::E_FAIL},
    {"E_POINTER", com::E_POINTER},
    {"E_OUTOFMEMORY", com::E_OUTOFMEMORY},
    {"E_INVALIDARG", com::E_INVALIDARG},
    {"E_NOINTERFACE", com::E_NOINTERFACE},
};

}  // namespace

std::string HresultName(com::HRESULT hr) {
    for (const auto& [name, value] : kHresultNames)
        if (value == hr) return name;
    return com::HresultText(hr);
}

std::optional<com::HRESULT> ParseHresult(const std::string& text) {
    for (const auto& [name, value] : kHresultNames)
        if (text == name) return value;
    if (text.size() < 3 || text.size() > 10 || (text.rfind("0x", 0) != 0 && text.rfind("0X", 0) != 0))
        return std::nullopt;
    std::uint32_t v = 0;
    auto [p, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), v, 16);
    if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
    return static_cast<com::HRESULT>(v);
}

std::optional<FailOption> ParseFailOption(const std::string& text, std::string& why) {
    FailOption f;
    std::string rest = text;
    if (auto eq = rest.find('='); eq != std::string::npos) {
        auto hr = ParseHresult(rest.substr(eq + 1));
        if (!hr) {
            why = "unknown result \"" + rest.substr(eq + 1) + "\" (E_FAIL, E_POINTER, E_OUTOFMEMORY, E_INVALIDARG, "
                  "E_NOINTERFACE or hexadecimal like 0x80004005)";
            return std::nullopt;
        }
        f.hr = *hr;
        rest.resize(eq);
    }
    if (auto hash = rest.find('#'); hash != std::string::npos) {
        std::string n = rest.substr(hash + 1);
        auto [p, ec] = std::from_chars(n.data(), n.data() + n.size(), f.nth);
        if (n.empty() || ec != std::errc() || p != n.data() + n.size() || f.nth < 1) {
            why = "\"#" + n + "\" is not a call number (1, 2, ...)";
            return std::nullopt;
        }
        rest.resize(hash);
    }
    if (rest.empty()) {
        why = "no call named";
        return std::nullopt;
    }
    if (com::SUCCEEDED(f.hr)) {
        why = "a failure needs a failing result, not " + HresultName(f.hr);
        return std::nullopt;
    }
    f.call = rest;
    return f;
}

}  // namespace apps
