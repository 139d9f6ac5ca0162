#pragma once
#include "host/SimulatedUnit.h"

namespace host {

// ICameraControlUISupport over the unit's "handlers" and camera data.
class SimCameraControlUISupport final : public SimObject<ICameraControlUISupport> {
public:
    using SimObject::SimObject;
    HRESULT GetHandlerCount(std::int32_t* count) override;
    HRESULT GetHandler(std::int32_t index, BSTR* displayName, BSTR* progId) override;
    HRESULT GetCameraControlXml(BSTR* xml) override;
    HRESULT SetCameraControlXml(BSTR xml) override;
    HRESULT GetHandlerDefaults(BSTR progId, BSTR* serialPort, std::int16_t* monitor) override;
    HRESULT GetSerialPorts(BSTR* ports) override;
    HRESULT GetCameraSettings(std::int32_t camera, std::int16_t* address, BSTR* serialPort,
                              std::int16_t* monitor) override;
    HRESULT GetCameraHandler(std::int32_t camera, std::int32_t* handlerIndex) override;
    HRESULT SetCameraHandler(std::int32_t camera, std::int32_t handlerIndex) override;
    HRESULT SetCameraSettings(std::int32_t camera, std::int16_t address, BSTR serialPort, std::int16_t monitor,
                              std::int32_t zero) override;
    HRESULT ClearCameraHandler(std::int32_t camera) override;
    HRESULT CommitCameraHandlers(std::int32_t zero) override;
    HRESULT StoreXMLCameraHandlerDefinition(BSTR definition, BSTR* progId) override;
    HRESULT RegisterCameraHandler(BSTR displayName, BSTR progId, std::int32_t* reserved) override;
    HRESULT RefreshCameraHandler(std::int32_t camera) override;
    HRESULT UnregisterCameraHandler(BSTR progId) override;
    HRESULT DeleteXMLCameraHandlerDefinition(BSTR progId) override;
};

}  // namespace host
