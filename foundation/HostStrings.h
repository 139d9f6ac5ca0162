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
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace mirelle
