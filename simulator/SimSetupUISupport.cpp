// ISetupUISupport: the operations every setup uses.
#include "simulator/SimSetupUISupport.h"

#include "platform/codepage/CodePage.h"

namespace host {

HRESULT SimSetupUISupport::ShowHelp(std::int16_t topic) {
    return m_unit.Enter("ShowHelp", std::to_string(topic), false);
}

HRESULT SimSetupUISupport::CameraName(const char* call, std::int32_t index, BSTR* name, VARIANT_BOOL* valid) {
    if (HRESULT hr = m_unit.Enter(call, std::to_string(index), false); com::FAILED(hr)) return hr;
    if (!name || !valid) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    const auto& cams = m_unit.Data()["cameras"];
    *name = nullptr;
    *valid = 0;
    if (index < 0 || !cams.is_array() || index >= static_cast<int>(cams.size())) return com::S_OK;
    const auto& cam = cams[index];
    if (!cam.is_object() || !cam.value("valid", true)) return com::S_OK;
    *name = cp::ToBstr(cp::Utf8ToAnsi(cam.value("name", std::string{})));
    *valid = -1;
    return com::S_OK;
}

HRESULT SimSetupUISupport::GetCameraName(std::int32_t index, BSTR* name, VARIANT_BOOL* valid) {
    return CameraName("GetCameraName", index, name, valid);
}

HRESULT SimSetupUISupport::GetLocalMode(std::int16_t* localMode) {
    if (HRESULT hr = m_unit.Enter("GetLocalMode", "", false); com::FAILED(hr)) return hr;
    if (!localMode) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *localMode = static_cast<std::int16_t>(m_unit.Data().value("localMode", 0));
    return com::S_OK;
}

}  // namespace host
