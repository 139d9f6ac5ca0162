// Access to the host system object, created by class identifier.
#pragma once
#include <cstdint>
#include <string>

#include "interfaces/HostInterfaces.h"
#include "platform/com/ClassTable.h"

namespace mirelle {

// Creates, runs and queries the host system object; raises ComError(E_POINTER)
// when any step fails.
com::ComPtr<host::IHostSystemObject> ObtainHostSystemObject();

// One-shot queries: obtain, ask, release.  A failing call raises ComError with
// its result.
double HostVersion();
bool HostFeatureEnabled(std::int32_t feature);
std::int16_t HostCameraCount();
// The camera count, or fallback when the host cannot say (logged with who
// asked).  Obtaining the host system object itself still raises.
std::int16_t HostCameraCountOr(std::int16_t fallback, const std::string& who);

}  // namespace mirelle
