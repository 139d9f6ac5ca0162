// Runs one ISetupUI operation on a simulated unit, taking the operation's
// arguments from the unit file and writing the in/out values it changed back
// into it, and reports a run as lines of text.  Shared by the headless runner
// and the Qt demo so both behave and report alike.
#pragma once
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "interfaces/ISetupUI.h"
#include "apps/run/FailOption.h"
#include "platform/ui/Script.h"
#include "simulator/SimulatedUnit.h"

namespace apps {

const std::vector<std::string>& OperationNames();
bool IsOperation(const std::string& name);

// An in/out value that the operation changed.  name is the value's place in
// the unit file ("recordInfo.fillThreshold", "audioAssociations"); value is
// its new text: numbers and true/false as written in JSON, strings quoted as
// in host call arguments, lists comma-separated.
struct OutValue {
    std::string name;
    std::string value;
};

struct OperationOutcome {
    com::HRESULT hr = com::S_OK;
    long result = 0;                 // the operation's result out-parameter
    std::vector<OutValue> changed;   // sorted by name
};

// Throws std::invalid_argument for an unknown operation name.  Only the
// in/out values that changed are written into the unit's data.
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
// Registers the classes of a module file in this process (once per file),
// ahead of the registry: mirelle-demo --module.
com::HRESULT UseSetupUIModule(const std::string& path);
// Loads the module afresh: the module files this host loaded for itself are
// let go of, unloaded and loaded again, and unused registered modules are
// unloaded, so that the next SetupUI comes from a module that chose its
// resource module anew (after the system language changed).  Answers false
// when a module stayed loaded because an object of it is still alive.
bool ReloadSetupUIModule();
// The module file beside the running program (built or installed tree), or empty.
std::string ModuleBesideExecutable();

// The host classes that the unit creates by class identifier, by name
// (HostSystemObject, HostCameraControlObject, ...).
const std::vector<std::pair<std::string, com::CLSID>>& HostClasses();

// Turns what happens in a run into its report lines, in order:
//   message: TEXT            a message box was shown
//   help: N                  a help topic was asked for
//   read: CALL ARGS          a host call that only reads (with trace)
//   host: CALL ARGS          a host call that changed the unit
//   refused: CALL ARGS -> CODE  a changing call that the unit declined
//   fail: CALL ARGS -> CODE  an injected failure fired (instead of the above)
//   out: NAME VALUE          an in/out value that changed (after the run)
//   error: 0x...             the operation failed
//   result: N
// Lines go to say, one call each, without the line break.  Thread-safe.
class RunReport {
public:
    explicit RunReport(std::function<void(const std::string&)> say, bool trace = false)
        : m_say(std::move(say)), m_trace(trace) {}
    // Reports the unit's calls from now on.
    void Attach(host::SimulatedUnit& unit);
    void Message(const std::string& utf8Text);
    void Finish(const OperationOutcome& outcome);

private:
    void Call(const host::HostCall& call);
    void Refused(const host::HostCall& call);
    void FlushLocked();
    std::function<void(const std::string&)> m_say;
    bool m_trace;
    std::mutex m_lock;
    std::optional<host::HostCall> m_pending;  // a changing call not printed yet
};

// Runs operation headless on unit with the actions of a script, as
// mirelle-run does: the scripted operator and message boxes (an answer is
// taken by the next box shown), the report through report (Finish
// included).  error: "line N: ..." for an action left after the dialog
// closed or an answer no box took, else empty.  An action the dialog could
// not apply throws ui::UiError naming its line.
struct ScriptedRun {
    OperationOutcome outcome;
    std::string error;
};
ScriptedRun RunScript(const std::string& operation, const std::vector<ui::Action>& actions,
                      host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI, RunReport& report);

}  // namespace apps
