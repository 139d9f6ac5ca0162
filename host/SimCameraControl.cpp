// ICameraControlUISupport over the unit's handler and camera data.
#include "host/SimCameraControl.h"

namespace host {

HRESULT SimCameraControlUISupport::GetHandlerCount(std::int32_t*) {
    return m_unit.Enter("GetHandlerCount", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::GetHandler(std::int32_t, BSTR*, BSTR*) {
    return m_unit.Enter("GetHandler", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::GetCameraControlXml(BSTR*) {
    return m_unit.Enter("GetCameraControlXml", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::SetCameraControlXml(BSTR) {
    return m_unit.Enter("SetCameraControlXml", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::GetHandlerDefaults(BSTR, BSTR*, std::int16_t*) {
    return m_unit.Enter("GetHandlerDefaults", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::GetSerialPorts(BSTR*) {
    return m_unit.Enter("GetSerialPorts", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::GetCameraSettings(std::int32_t, std::int16_t*, BSTR*, std::int16_t*) {
    return m_unit.Enter("GetCameraSettings", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::GetCameraHandler(std::int32_t, std::int32_t*) {
    return m_unit.Enter("GetCameraHandler", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::SetCameraHandler(std::int32_t, std::int32_t) {
    return m_unit.Enter("SetCameraHandler", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::SetCameraSettings(std::int32_t, std::int16_t, BSTR, std::int16_t, std::int32_t) {
    return m_unit.Enter("SetCameraSettings", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::ClearCameraHandler(std::int32_t) {
    return m_unit.Enter("ClearCameraHandler", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::CommitCameraHandlers(std::int32_t) {
    return m_unit.Enter("CommitCameraHandlers", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::StoreXMLCameraHandlerDefinition(BSTR, BSTR*) {
    return m_unit.Enter("StoreXMLCameraHandlerDefinition", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::RegisterCameraHandler(BSTR, BSTR, std::int32_t*) {
    return m_unit.Enter("RegisterCameraHandler", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::RefreshCameraHandler(std::int32_t) {
    return m_unit.Enter("RefreshCameraHandler", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::UnregisterCameraHandler(BSTR) {
    return m_unit.Enter("UnregisterCameraHandler", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

HRESULT SimCameraControlUISupport::DeleteXMLCameraHandlerDefinition(BSTR) {
    return m_unit.Enter("DeleteXMLCameraHandlerDefinition", "", false) == com::S_OK ? com::E_NOTIMPL : com::E_FAIL;
}

void RegisterCameraHostClasses(SimulatedUnit&) {}

}  // namespace host
