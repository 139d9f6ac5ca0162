#include "foundation/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>

std::int32_t StrToLong32(const std::string& text, int base) {
    const long long v = std::strtoll(text.c_str(), nullptr, base);  // 64 bits hold every 32-bit answer
    return static_cast<std::int32_t>(std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t StrToULong32(const std::string& text, int base) {
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
        // The digits must follow the sign at once: strtoull would skip blanks
        // or take a second sign where the C runtime finds no number.
        if (std::isspace(static_cast<unsigned char>(*p)) || *p == '+' || *p == '-') return 0;
    }
    errno = 0;
    const unsigned long long magnitude = std::strtoull(p, nullptr, base);
    if (errno == ERANGE || magnitude > std::numeric_limits<std::uint32_t>::max())
        return std::numeric_limits<std::uint32_t>::max();
    const auto v = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - v) : v;
}
