#include "component/HostSystem.h"

#include "foundation/DebugLog.h"

namespace mirelle {

com::ComPtr<host::IHostSystemObject> ObtainHostSystemObject() {
    return com::CreateRunningObject<host::IHostSystemObject>(host::CLSID_HostSystemObject, "HostSystemObject");
}

double HostVersion() {
    double v = 0;
    com::ThrowIfFailed(ObtainHostSystemObject()->GetVersion(&v), host::IHostSystemObject::IID_);
    return v;
}

bool HostFeatureEnabled(std::int32_t feature) {
    host::VARIANT_BOOL on = 0;
    com::ThrowIfFailed(ObtainHostSystemObject()->IsFeatureEnabled(feature, &on), host::IHostSystemObject::IID_);
    return on != 0;
}

std::int16_t HostCameraCount() {
    std::int16_t n = 0;
    com::ThrowIfFailed(ObtainHostSystemObject()->GetCameraCount(&n), host::IHostSystemObject::IID_);
    return n;
}

std::int16_t HostCameraCountOr(std::int16_t fallback, const std::string& who) {
    std::int16_t n = fallback;
    if (com::HRESULT hr = ObtainHostSystemObject()->GetCameraCount(&n); com::FAILED(hr)) {
        LogMirelle(who + ": GetCameraCount failed: " + com::HresultText(hr));
        return fallback;
    }
    return n;
}

}  // namespace mirelle
