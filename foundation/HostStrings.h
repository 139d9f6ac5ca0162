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
    size_t i = 0;
    for (; i + 8 <= a.size(); i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (LowerAscii8(x) != LowerAscii8(y)) return false;
    }
    for (; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace mirelle
