// Runs one ISetupUI operation on a simulated unit, taking the operation's
// arguments from the unit file and writing its out-values back into it.
// Shared by the headless runner and the Qt demo so both behave alike.
#pragma once
#include <stdexcept>
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

// Creates the component's SetupUI object through the COM runtime: by its
// ProgID when registered (or a class this process registered itself).  When
// it is not registered, the module built or installed beside the program is
// loaded for this process, with one note on standard error.  modulePath names
// a module file to use instead.  Throws ModuleError when no object results.
struct ModuleError : std::runtime_error {
    ModuleError(com::HRESULT r, const std::string& what) : std::runtime_error(what), hr(r) {}
    com::HRESULT hr;
};
com::ComPtr<mirelle::ISetupUI> CreateSetupUI(const std::string& modulePath = {});
// The module file beside the running program (built or installed tree), or empty.
std::string ModuleBesideExecutable();

}  // namespace apps
