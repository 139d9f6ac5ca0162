#include "foundation/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

// Most numbers in host text are plain decimal ("12", "-1"): read those here
// without copying the text.  Answers false, leaving the rest to the C runtime,
// for anything else (blanks, a plus sign, a prefix or leading zero where the
// base is automatic, more digits than 64 bits surely hold).  On true, the
// magnitude and sign are what strtoll/strtoull would read.
bool PlainDecimal(std::string_view text, int base, bool allowMinus, std::uint64_t& magnitude, bool& negative) {
    if (base != 10 && base != 0) return false;
    size_t i = 0;
    negative = false;
    if (allowMinus && i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i >= text.size()) return false;
    // In the automatic base a leading 0 starts an octal or hexadecimal number.
    const char first = text[i];
    if (first < (base == 0 ? '1' : '0') || first > '9') return false;
    std::uint64_t v = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (digits == 18) return false;
        v = v * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    magnitude = v;
    return true;
}

// The text as the C runtime sees it: up to its end or its first NUL.
template <class Convert>
auto WithTerminatedCopy(std::string_view text, Convert&& convert) {
    char small[64];
    if (text.size() < sizeof small) {
        if (!text.empty()) std::memcpy(small, text.data(), text.size());
        small[text.size()] = '\0';
        return convert(static_cast<const char*>(small));
    }
    const std::string copy(text);
    return convert(copy.c_str());
}

}  // namespace

std::int32_t numbers_detail::StrToLong32Any(std::string_view text, int base) {
    std::uint64_t magnitude = 0;
    bool negative = false;
    long long v;
    if (PlainDecimal(text, base, true, magnitude, negative)) {
        v = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    } else {
        // 64 bits hold every 32-bit answer.
        v = WithTerminatedCopy(text, [base](const char* p) { return std::strtoll(p, nullptr, base); });
    }
    return static_cast<std::int32_t>(std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t numbers_detail::StrToULong32Any(std::string_view text, int base) {
    std::uint64_t fast = 0;
    bool unusedSign = false;
    if (PlainDecimal(text, base, false, fast, unusedSign))
        return fast > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                                : static_cast<std::uint32_t>(fast);
    return WithTerminatedCopy(text, [base](const char* p) -> std::uint32_t {
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
    });
}
