#pragma once
#include "host/SimulatedUnit.h"

namespace host {

class SimStorageUISupport final : public SimObject<IStorageUISupport> {
public:
    using SimObject::SimObject;
};

}  // namespace host
