// Runs one ISetupUI operation on a simulated unit, taking the operation's
// arguments from the unit file and writing its out-values back into it.
// Shared by the headless runner and the Qt demo so both behave alike.
#pragma once
#include <string>
#include <vector>

#include "interfaces/ISetupUI.h"
#include "simulator/SimulatedUnit.h"

namespace apps {

const std::vector<std::string>& OperationNames();
bool IsOperation(const std::string& name);

struct OperationOutcome {
    com::HRESULT hr = com::S_OK;
    long result = 0;  // the operation's result out-parameter
};

// Throws std::invalid_argument for an unknown operation name.
OperationOutcome RunOperation(const std::string& name, host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI,
                              mirelle::WindowParam parent = 0);

// Creates the component's SetupUI object through its class factory.
com::ComPtr<mirelle::ISetupUI> CreateSetupUI();

}  // namespace apps
