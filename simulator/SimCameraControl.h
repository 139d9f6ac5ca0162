#pragma once
#include "simulator/SimulatedUnit.h"

namespace host {

// ICameraControlUISupport over the unit's data:
//   "handlers"               [{"displayName", "progId", "defaultPort", "defaultMonitor"}] in host order
//   "cameraControlXml"       the stored CameraControl document (kept verbatim)
//   "serialPorts"            comma-separated port names
//   "userHandlerDefinitions" {progId: definition text} of user-defined handlers
// Per-camera operations (older hosts) read and rewrite the stored document.
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

// The camera data of the unit as the host keeps it (shared by the host
// objects of the camera setup).
namespace camdata {
struct Association {
    int camera = -1;
    std::string progId, port;
    int address = -1, monitor = -1;
};
std::vector<Association> ParseAssociations(const std::string& xml);
std::string WriteAssociations(const std::vector<Association>& list);
// Index of the handler with that ProgID (ignoring case), or -1.
int FindHandler(const nlohmann::json& data, const std::string& progId);
// Defaults of a handler: false when the unit has no such handler.
bool HandlerDefaults(const nlohmann::json& data, const std::string& progId, std::string& port, int& monitor);
}  // namespace camdata

}  // namespace host
