// The C library's leading-number conversions (strtol, strtoul) of a text
// view, with the same results (saturation on overflow, automatic base with
// base 0, white space and sign), without the copy to a terminated string that
// calling them directly needs: plain decimal digits are converted here, any
// other text goes to the C library through a buffer on the stack.
#pragma once
#include <cstdlib>
#include <string>
#include <string_view>

namespace textnum {

namespace detail {

// Plain decimal (an optional '-', then 1 to 18 digits without a leading zero
// unless the digit is alone, nothing else) or false.  Such text converts the
// same way for every base strtol accepts here (10 and 0).
inline bool PlainDecimal(std::string_view s, bool& negative, unsigned long long& magnitude) {
    size_t i = 0;
    negative = !s.empty() && s[0] == '-';
    if (negative) i = 1;
    const size_t digits = s.size() - i;
    if (digits == 0 || digits > 18) return false;
    if (s[i] == '0' && digits > 1) return false;  // a leading zero is octal with base 0
    unsigned long long v = 0;
    for (; i < s.size(); ++i) {
        const unsigned d = static_cast<unsigned char>(s[i]) - '0';
        if (d > 9) return false;
        v = v * 10 + d;
    }
    magnitude = v;
    return true;
}

template <class F>
auto ThroughCLibrary(std::string_view s, F convert) {
    char buffer[64];
    if (s.size() < sizeof buffer) {
        s.copy(buffer, s.size());
        buffer[s.size()] = '\0';
        return convert(buffer);
    }
    std::string copy(s);
    return convert(copy.c_str());
}

}  // namespace detail

// std::strtol(text, nullptr, base) for base 10 or 0.
inline long ToLong(std::string_view s, int base) {
    bool negative;
    unsigned long long m;
    if (detail::PlainDecimal(s, negative, m))
        return negative ? -static_cast<long>(m) : static_cast<long>(m);
    return detail::ThroughCLibrary(s, [base](const char* p) { return std::strtol(p, nullptr, base); });
}

// std::strtoul(text, nullptr, base) for base 10 or 0.
inline unsigned long ToULong(std::string_view s, int base) {
    bool negative;
    unsigned long long m;
    if (detail::PlainDecimal(s, negative, m))
        return negative ? 0ul - static_cast<unsigned long>(m) : static_cast<unsigned long>(m);
    return detail::ThroughCLibrary(s, [base](const char* p) { return std::strtoul(p, nullptr, base); });
}

}  // namespace textnum
