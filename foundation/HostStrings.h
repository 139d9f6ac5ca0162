// Helpers every setup uses at the host boundary: strings to and from the
// host, camera names and counts, and the case-insensitive compare of names.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "interfaces/HostInterfaces.h"
#include "platform/com/Bstr.h"

namespace mirelle {

constexpr int kMaxCameras = 16;

// Converts a received string to the ANSI code page and frees it.
std::string TakeHostString(com::BSTR& s);
// A string for a host call; raises ComError(E_OUTOFMEMORY) when it cannot be made.
com::Bstr HostString(const std::string& ansi);

// GetCameraName of the host; empty (valid false) when the host gives no valid
// name or the call fails.
std::string HostCameraName(host::ISetupUISupport* setup, int index, bool* valid = nullptr);

// Camera count clipped to 0..16.
int ClampCameraCount(int count);

// Eight characters with 'A' to 'Z' made lower case and the rest as they are.
inline std::uint64_t LowerAscii8(std::uint64_t x) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const std::uint64_t low7 = x & (0x7F * kOnes);
    // Bit 7 of each byte: at least 'A', and above 'Z' (no carry crosses a byte).
    const std::uint64_t fromA = low7 + (0x80 - 'A') * kOnes;
    const std::uint64_t pastZ = low7 + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t upper = (fromA ^ pastZ) & ~x & (0x80 * kOnes);
    return x | (upper >> 2);
}

namespace detail {
inline std::uint64_t Word8(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}
inline std::uint64_t Word4(const char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}
// Up to eight characters of a name of n as one word, lower case: names of
// eight or more their last eight, of four to seven their first and last
// four, of one to three their first, middle and last character.
inline std::uint64_t ShortWord(const char* p, size_t n) {
    if (n >= 8) return LowerAscii8(Word8(p + n - 8));
    if (n >= 4) return LowerAscii8(Word4(p) | Word4(p + n - 4) << 32);
    if (n == 0) return 0;
    return LowerAscii8(static_cast<unsigned char>(p[0]) | static_cast<std::uint64_t>(static_cast<unsigned char>(p[n / 2])) << 8 |
                       static_cast<std::uint64_t>(static_cast<unsigned char>(p[n - 1])) << 16);
}
}  // namespace detail

// Equal ignoring ASCII letter case (names of handlers, streams, XML elements).
// Inline and eight characters a step, without a loop over single characters:
// a name's last word overlaps the one before it, a shorter name is read in
// two overlapping half words or three characters.  The XML readers call it
// for every element with a literal, whose words the compiler works out.
[[gnu::always_inline]] inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    for (size_t i = 0; i + 8 < n; i += 8)
        if (LowerAscii8(detail::Word8(a.data() + i)) != LowerAscii8(detail::Word8(b.data() + i))) return false;
    return detail::ShortWord(a.data(), n) == detail::ShortWord(b.data(), n);
}

}  // namespace mirelle
