// The unit's text streams, from the "textStreams" section: "streams" (one
// object a stream, keys as the stream's field names), "handlers" (objects
// with "name", "kind", "hasSetup"), "connectionTypes" (objects with "name",
// "type", "flag"), "definitions" (stream id -> identifier list),
// "createRefused" (CreateStream answers S_FALSE) and the port and network
// texts of the port dialogs.
#pragma once
#include "simulator/SimulatedUnit.h"

namespace host {

class SimTextStreamsUISupport final : public SimObject<ITextStreamsUISupport> {
public:
    using SimObject::SimObject;
    // The unit's text host also answers for the text definitions, so that
    // a client holding the stream support reaches the definition managers.
    HRESULT QueryInterface(const com::IID& iid, void** ppv) override;
    HRESULT GetAvailableComPorts(BSTR* ports) override;
    HRESULT GetUsedTextIPPorts(BSTR* ports) override;
    HRESULT GetNetworkIdentity(BSTR* networkName, BSTR* ipAddress) override;
    HRESULT GetStreamCount(std::int16_t* count) override;
    HRESULT GetStream(std::int32_t index, TextStreamFields* stream) override;
    HRESULT UpdateStream(std::int32_t index, const TextStreamFields* stream, std::int32_t zero) override;
    HRESULT DeleteStream(std::int32_t index, std::int32_t zero) override;
    HRESULT CreateStream(std::int16_t comPort, std::int32_t* index, std::int32_t* streamId, BSTR* connectionName,
                         BSTR* handlerName, std::int32_t zero) override;
    HRESULT GetStreamDefinitions(std::int32_t streamId, BSTR* ids) override;
    HRESULT SetStreamDefinitions(std::int32_t streamId, BSTR ids) override;
    HRESULT GetHandlerNames(BSTR* names) override;
    HRESULT GetHandlerInfo(BSTR name, std::int16_t* kind, std::int16_t* hasSetup) override;
    HRESULT GetConnectionTypeInfo(BSTR name, std::int32_t* type, std::int32_t* flag) override;
    HRESULT GetConnectionTypeNames(BSTR* names) override;
};

}  // namespace host
