// ISetupUISupport: the display setup's operations.
#include "simulator/SimSetupUISupport.h"

namespace host {

namespace {
// A mask from the unit data; the default depends on the unit.
std::int32_t MaskValue(const nlohmann::json& data, const char* key, std::int32_t fallback) {
    auto it = data.find(key);
    if (it == data.end() || !it->is_number_integer()) return fallback;
    return static_cast<std::int32_t>(it->get<std::int64_t>() & 0xFFFFFFFF);
}

std::int32_t InstalledCameras(int count) {
    if (count <= 0) return 0;
    if (count >= 31) return 0x7FFFFFFF;
    return static_cast<std::int32_t>((1u << count) - 1);
}
}  // namespace

// Enabled cameras: those installed and switched on ("cameraEnableMask";
// by default every installed camera).
HRESULT SimSetupUISupport::GetCameraEnableMask(std::int32_t* mask) {
    if (HRESULT hr = m_unit.Enter("GetCameraEnableMask", "", false); com::FAILED(hr)) return hr;
    if (!mask) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *mask = MaskValue(m_unit.Data(), "cameraEnableMask", InstalledCameras(m_unit.CameraCount()));
    return com::S_OK;
}

// Cameras the logged-on user may see ("cameraAllowMask"; by default all).
HRESULT SimSetupUISupport::GetCameraAllowMask(std::int32_t* mask) {
    if (HRESULT hr = m_unit.Enter("GetCameraAllowMask", "", false); com::FAILED(hr)) return hr;
    if (!mask) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *mask = MaskValue(m_unit.Data(), "cameraAllowMask", 0xFFFF);
    return com::S_OK;
}

}  // namespace host
