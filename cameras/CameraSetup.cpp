#include "cameras/CameraSetup.h"

namespace cameras {
std::unique_ptr<CSetupSheet> CreateCameraSheet(host::ISetupUISupport*, host::ICameraControlUISupport*) { return nullptr; }
}  // namespace cameras
