// Small helpers shared by the camera setup's pages: host strings, camera
// names and the rows of the one-row-per-camera pages.
#pragma once
#include <string>

#include "foundation/HostStrings.h"
#include "interfaces/HostInterfaces.h"
#include "platform/com/Bstr.h"
#include "platform/ui/Dialog.h"

namespace cameras {

// The boundary helpers every setup shares, by their short names here.
using mirelle::ClampCameraCount;
using mirelle::EqualsNoCase;
using mirelle::HostCameraName;
using mirelle::HostString;
using mirelle::kMaxCameras;
using mirelle::TakeHostString;

// Rows of a camera-row page: hides label, field (and button) of rows from
// `count` to 15.
void HideRowsFrom(ui::Dialog& page, int count, bool withButton);
// Hides the headings of the second column.
void HideSecondHeadings(ui::Dialog& page);

}  // namespace cameras
