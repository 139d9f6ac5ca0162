// Helpers every setup uses at the host boundary: strings to and from the
// host, camera names and counts, and the case-insensitive compare of names.
#pragma once
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

// Equal ignoring ASCII letter case (names of handlers, streams, XML elements).
// Inline: the XML readers call it for every element, mostly on names of
// another length.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace mirelle
