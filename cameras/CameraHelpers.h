// Small helpers shared by the camera setup's pages: host strings, camera
// names and the rows of the one-row-per-camera pages.
#pragma once
#include <string>

#include "interfaces/HostInterfaces.h"
#include "platform/com/Bstr.h"
#include "platform/ui/Dialog.h"

namespace cameras {

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

// Rows of a camera-row page: hides label, field (and button) of rows from
// `count` to 15.
void HideRowsFrom(ui::Dialog& page, int count, bool withButton);
// Hides the headings of the second column.
void HideSecondHeadings(ui::Dialog& page);

}  // namespace cameras
