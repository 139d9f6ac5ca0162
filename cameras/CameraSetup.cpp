#include "cameras/CameraSetup.h"

#include "cameras/NamePropSheet.h"

namespace cameras {
std::unique_ptr<CSetupSheet> CreateCameraSheet(host::ISetupUISupport* setup,
                                               host::ICameraControlUISupport* cameraControl) {
    return std::make_unique<CNamePropSheet>(setup, cameraControl);
}
}  // namespace cameras
