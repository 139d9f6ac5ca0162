// Numbers read from host text as the unit's C runtime reads them: its
// `long` and `unsigned long` are 32 bits wide, so a number beyond their
// range saturates (as strtol and strtoul answer ERANGE) instead of wrapping
// as the platform's 64-bit conversions would after a narrowing cast.
#pragma once
#include <cstdint>
#include <string_view>

namespace numbers_detail {

// Numbers of element text are mostly a few plain decimal digits: those are
// read inline.  True with the value when text is one to nine digits (after a
// minus sign where minus is true) that base reads as decimal: base 10, or
// the automatic base without a leading 0 other than "0" itself.  Nine digits
// never leave the 32-bit range.
inline bool ShortDecimal(std::string_view text, int base, bool minus, std::uint32_t& magnitude, bool& negative) {
    size_t i = 0;
    negative = minus && !text.empty() && text[0] == '-';
    if (negative) i = 1;
    const size_t digits = text.size() - i;
    if (digits - 1 >= 9 || (base != 10 && (base != 0 || (text[i] == '0' && digits > 1)))) return false;
    std::uint32_t v = 0;
    for (; i < text.size(); ++i) {
        const unsigned d = static_cast<unsigned char>(text[i]) - static_cast<unsigned>('0');
        if (d > 9) return false;
        v = v * 10 + d;
    }
    magnitude = v;
    return true;
}

std::int32_t StrToLong32Any(std::string_view text, int base);
std::uint32_t StrToULong32Any(std::string_view text, int base);

}  // namespace numbers_detail

// strtol into a 32-bit long: leading blanks skipped, an optional sign, digits
// in base (0 = automatic: "0x" hexadecimal, a leading 0 octal); reading stops
// at the first character that does not fit; no number reads 0; beyond the
// range gives INT32_MIN or INT32_MAX.  The text ends at its end or its first
// NUL; plain decimal numbers are read without a copy of the text.
inline std::int32_t StrToLong32(std::string_view text, int base) {
    std::uint32_t magnitude;
    bool negative;
    if (numbers_detail::ShortDecimal(text, base, true, magnitude, negative))
        return negative ? -static_cast<std::int32_t>(magnitude) : static_cast<std::int32_t>(magnitude);
    return numbers_detail::StrToLong32Any(text, base);
}
// strtoul into a 32-bit unsigned long: as above, a minus sign negates the
// value in 32 bits, and a magnitude beyond 32 bits gives UINT32_MAX.
inline std::uint32_t StrToULong32(std::string_view text, int base) {
    std::uint32_t magnitude;
    bool negative;
    if (numbers_detail::ShortDecimal(text, base, false, magnitude, negative)) return magnitude;
    return numbers_detail::StrToULong32Any(text, base);
}
