#pragma once
#include "host/SimulatedUnit.h"

namespace host {

class SimRmtResMgrUISupport final : public SimObject<IRmtResMgrUISupport> {
public:
    using SimObject::SimObject;
};

}  // namespace host
