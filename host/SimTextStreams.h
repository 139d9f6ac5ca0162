#pragma once
#include "host/SimulatedUnit.h"

namespace host {

class SimTextStreamsUISupport final : public SimObject<ITextStreamsUISupport> {
public:
    using SimObject::SimObject;
    HRESULT GetAvailableComPorts(BSTR* ports) override;
    HRESULT GetUsedTextIPPorts(BSTR* ports) override;
    HRESULT GetNetworkIdentity(BSTR* networkName, BSTR* ipAddress) override;
};

}  // namespace host
