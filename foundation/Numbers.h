// Numbers read from host text as the unit's C runtime reads them: its
// `long` and `unsigned long` are 32 bits wide, so a number beyond their
// range saturates (as strtol and strtoul answer ERANGE) instead of wrapping
// as the platform's 64-bit conversions would after a narrowing cast.
#pragma once
#include <cstdint>
#include <string_view>

// strtol into a 32-bit long: leading blanks skipped, an optional sign, digits
// in base (0 = automatic: "0x" hexadecimal, a leading 0 octal); reading stops
// at the first character that does not fit; no number reads 0; beyond the
// range gives INT32_MIN or INT32_MAX.  The text ends at its end or its first
// NUL; plain decimal numbers are read without a copy of the text.
std::int32_t StrToLong32(std::string_view text, int base);
// strtoul into a 32-bit unsigned long: as above, a minus sign negates the
// value in 32 bits, and a magnitude beyond 32 bits gives UINT32_MAX.
std::uint32_t StrToULong32(std::string_view text, int base);
