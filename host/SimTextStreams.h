#pragma once
#include "host/SimulatedUnit.h"

namespace host {

class SimTextStreamsUISupport final : public SimObject<ITextStreamsUISupport> {
public:
    using SimObject::SimObject;
    HRESULT GetAvailableComPorts(BSTR* ports) override;
};

}  // namespace host
