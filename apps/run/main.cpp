// mirelle-run --unit FILE [--script FILE] [options] OPERATION
//
// Runs one ISetupUI operation headless on the simulated unit, feeding the
// operator actions of the script, and prints what the operator and the host
// would see: message boxes, help topics, the host calls that change the unit,
// the in/out values the operation changed and its result.  The changed unit
// is written back to FILE unless --dry-run; a run that ends in an error
// writes the changes the unit carried out before it.
//
// Exit codes: 0 done, 2 bad command line or script, 3 bad unit file, 4 the
// operation failed with an HRESULT.
#include <fstream>
#include <iostream>
#include <sstream>

#include "apps/CommandLine.h"
#include "apps/run/Describe.h"
#include "apps/run/Operations.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace {

constexpr int kDone = 0, kBadCommand = 2, kBadUnit = 3, kOperationFailed = 4;

int Fail(int code, const std::string& why) {
    std::cerr << "mirelle-run: " << why << "\n";
    return code;
}

std::string OperationList() {
    std::string out;
    for (auto& n : apps::OperationNames()) out += "  " + n + "\n";
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Runs one ISetupUI operation headless on a simulated unit and prints what the operator and the "
                 "host would see.",
                 "mirelle-run"};
    app.set_version_flag("--version", "mirelle-run " MIRELLE_VERSION);
    app.footer(
        "Output lines: message:, help:, read: (--trace), host:, refused:, fail:, out:, error:, result:.\n"
        "Exit codes: 0 done, 2 bad command line or script, 3 bad unit file, 4 the operation failed with an "
        "HRESULT.\nOperations:\n" +
        OperationList());
    std::string unitPath, scriptPath, modulePath, operation;
    std::vector<std::string> fails, failCreates;
    bool dryRun = false, trace = false, describe = false;
    app.add_option("--unit", unitPath, "the unit file (JSON; see apps/units/unit.schema.json)")
        ->required()
        ->type_name("FILE");
    app.add_option("--script", scriptPath, "the operator's actions, one a line")->type_name("FILE");
    app.add_option("--fail", fails,
                   "CALL[#N][=CODE]: the unit fails host call CALL (only its Nth call with #N) with CODE "
                   "(E_FAIL, E_POINTER, E_OUTOFMEMORY, E_INVALIDARG, E_NOINTERFACE or hexadecimal; E_FAIL "
                   "when not given)")
        ->type_name("CALL[#N][=CODE]")
        ->allow_extra_args(false)
        ->take_all();
    app.add_option("--fail-create", failCreates, "the unit cannot create host objects of CLASS (HostSystemObject, ...)")
        ->type_name("CLASS")
        ->allow_extra_args(false)
        ->take_all();
    app.add_option("--module", modulePath,
                   "the component's module file to load instead of the registered one (default: the registered "
                   "class, else the module built or installed beside this program)")
        ->type_name("FILE");
    app.add_flag("--dry-run", dryRun, "leave the unit file as it is");
    app.add_flag("--describe", describe,
                 "print the operation's dialog and pages with each control's id, kind, caption and initial state "
                 "(the unit is not changed)");
    app.add_flag("--trace", trace, "also print the host calls that only read, as read: CALL ARGS");
    app.add_option("operation", operation, "the ISetupUI operation to run")->required()->type_name("OPERATION");
    const auto parsed = apps::ParseCommandLine(app, argc, argv);
    if (parsed.exitNow) return *parsed.exitNow;
    if (!parsed.error.empty()) return Fail(kBadCommand, parsed.error);

    if (!apps::IsOperation(operation)) {
        std::string why = "unknown operation \"" + operation + "\"";
        if (auto near = ui::Nearest(operation, apps::OperationNames()); !near.empty())
            why += " (did you mean " + near + "?)";
        return Fail(kBadCommand, why + "; the operations are:\n" + OperationList());
    }
    std::vector<apps::FailOption> failures;
    for (auto& f : fails) {
        std::string why;
        auto failure = apps::ParseFailOption(f, why);
        if (!failure) return Fail(kBadCommand, "--fail " + f + ": " + why);
        failures.push_back(*failure);
    }
    std::vector<com::CLSID> failedClasses;
    for (auto& name : failCreates) {
        const com::CLSID* clsid = nullptr;
        std::vector<std::string> names;
        for (auto& [n, c] : apps::HostClasses()) {
            names.push_back(n);
            if (n == name) clsid = &c;
        }
        if (!clsid) {
            std::string list;
            for (auto& n : names) list += (list.empty() ? "" : ", ") + n;
            return Fail(kBadCommand, "--fail-create " + name + ": no such host class (" + list + ")");
        }
        failedClasses.push_back(*clsid);
    }

    std::string scriptText;
    if (!scriptPath.empty()) {
        std::ifstream in(scriptPath);
        if (!in) return Fail(kBadCommand, "cannot open script " + scriptPath);
        std::stringstream ss;
        ss << in.rdbuf();
        scriptText = ss.str();
    }
    auto script = ui::ParseScript(cp::Utf8ToAnsi(scriptText));
    if (!script.ok()) return Fail(kBadCommand, scriptPath + ": " + script.error);

    std::unique_ptr<host::SimulatedUnit> unit;
    try {
        unit = host::SimulatedUnit::Load(unitPath);
    } catch (const std::exception& e) {
        return Fail(kBadUnit, e.what());
    }
    if (describe) {
        int code = kDone;
        try {
            auto setupUI = apps::CreateSetupUI(modulePath);
            std::cout << apps::DescribeOperation(operation, *unit, *setupUI.get());
        } catch (const apps::ModuleError& e) {
            code = Fail(kOperationFailed, std::string(e.what()) + "\nhresult: " + com::HresultText(e.hr));
        } catch (const std::exception& e) {
            code = Fail(kBadCommand, e.what());
        }
        unit.reset();
        com::CoFreeUnusedLibraries();
        return code;
    }
    for (auto& f : failures) unit->FailCall(f.call, f.hr, f.nth);
    for (auto& c : failedClasses) unit->FailCreate(c, com::E_FAIL);

    apps::RunReport report([](const std::string& line) { std::cout << line << std::endl; }, trace);
    report.Attach(*unit);

    // A script that went wrong after an injected failure fired may have gone
    // wrong because of it (a dialog ended early, a list left empty): the
    // message names the failures that fired.
    auto injectedNote = [&]() {
        std::string note;
        for (const auto& call : unit->Calls()) {
            if (!call.injected) continue;
            note += "\n(the injected failure of " + call.name + " (" + apps::HresultName(call.hr) +
                    ") fired before: it may have ended a dialog early or left a list empty)";
        }
        return note;
    };
    int code = kDone;
    try {
        auto setupUI = apps::CreateSetupUI(modulePath);
        com::CoClearCreateError();
        auto run = apps::RunScript(operation, script.actions, *unit, *setupUI.get(), report);
        // A failed operation explains the actions it did not use.
        if (com::FAILED(run.outcome.hr)) {
            // A host object it could not create is named.
            std::string created = com::CoLastCreateError();
            code = Fail(kOperationFailed, operation + " failed" + (created.empty() ? "" : " (" + created + ")") +
                                              "\nhresult: " + com::HresultText(run.outcome.hr));
        } else if (!run.error.empty()) {
            code = Fail(kBadCommand, scriptPath + ": " + run.error + injectedNote());
        }
    } catch (const apps::ModuleError& e) {
        code = Fail(kOperationFailed, std::string(e.what()) + "\nhresult: " + com::HresultText(e.hr));
    } catch (const ui::UiError& e) {
        code = Fail(kBadCommand, (scriptPath.empty() ? "" : scriptPath + ": ") + e.what() + injectedNote());
    } catch (const std::exception& e) {
        code = Fail(kBadCommand, e.what() + injectedNote());
    }
    // The unit keeps what it carried out, as the host: lines said, even when
    // the run ends in an error: those changes are written too.
    if (code != kDone && (dryRun || !unit->HasUnsavedChanges())) {
        std::cerr << "mirelle-run: the unit file was not written\n";
    } else if (!dryRun) {
        try {
            unit->Save(unitPath);
            if (code != kDone)
                std::cerr << "mirelle-run: the unit file was written with the changes the unit carried out before "
                             "the error\n";
        } catch (const std::exception& e) {
            if (code != kDone) std::cerr << "mirelle-run: " << e.what() << "\n";
            else code = Fail(kBadUnit, e.what());
        }
    }
    unit.reset();
    com::CoFreeUnusedLibraries();
    return code;
}
