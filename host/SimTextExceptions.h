#pragma once
#include "host/SimulatedUnit.h"

namespace host {

class SimTextExceptionsUISupport final : public SimObject<ITextExceptionsUISupport> {
public:
    using SimObject::SimObject;
};

}  // namespace host
