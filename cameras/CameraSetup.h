// Entry of the camera setup, called by ShowCameras.
#pragma once
#include <memory>

#include "component/SetupSheet.h"
#include "interfaces/HostInterfaces.h"

namespace cameras {
// Builds the camera setup sheet (raises ComError when the host system object
// cannot be had); null when this build has no camera setup.
std::unique_ptr<CSetupSheet> CreateCameraSheet(host::ISetupUISupport* setup, host::ICameraControlUISupport* cameraControl);
}  // namespace cameras
