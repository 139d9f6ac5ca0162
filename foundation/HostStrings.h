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

// Equal ignoring ASCII letter case (names of handlers, streams, XML elements).
// Inline and eight characters a step: the XML readers call it for every
// element.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const size_t n = a.size();
    const auto word = [](std::string_view s, size_t at, size_t width) {
        std::uint64_t w = 0;
        std::memcpy(&w, s.data() + at, width);
        return LowerAscii8(w);
    };
    if (n >= 8) {
        // Whole words, then the last eight characters (overlapping the last word).
        for (size_t i = 0; i + 8 <= n; i += 8)
            if (word(a, i, 8) != word(b, i, 8)) return false;
        return n % 8 == 0 || word(a, n - 8, 8) == word(b, n - 8, 8);
    }
    if (n >= 4) return word(a, 0, 4) == word(b, 0, 4) && word(a, n - 4, 4) == word(b, n - 4, 4);
    for (size_t i = 0; i < n; ++i)
        if (word(a, i, 1) != word(b, i, 1)) return false;
    return true;
}

}  // namespace mirelle
