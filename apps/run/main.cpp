// mirelle-run --unit FILE --script FILE OPERATION
//
// Runs one ISetupUI operation headless on the simulated unit, feeding the
// operator actions of the script, and prints what the operator and the host
// would see: message boxes, help topics, the host calls that change the unit
// and the operation's result.  The changed unit is written back to FILE.
#include <fstream>
#include <iostream>
#include <sstream>

#include "apps/run/Operations.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace {

int Usage(const std::string& why) {
    std::cerr << "mirelle-run: " << why << "\n"
              << "usage: mirelle-run --unit FILE --script FILE [--module FILE] OPERATION\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string unitPath, scriptPath, modulePath, operation;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if ((a == "--unit" || a == "--script" || a == "--module") && i + 1 < argc) {
            (a == "--unit" ? unitPath : a == "--script" ? scriptPath : modulePath) = argv[++i];
        } else if (!a.empty() && a[0] == '-') {
            return Usage("unknown option " + a);
        } else if (operation.empty()) {
            operation = a;
        } else {
            return Usage("more than one operation given");
        }
    }
    if (unitPath.empty()) return Usage("no unit file given");
    if (operation.empty()) return Usage("no operation given");
    if (!apps::IsOperation(operation)) return Usage("unknown operation \"" + operation + "\"");

    std::string scriptText;
    if (!scriptPath.empty()) {
        std::ifstream in(scriptPath);
        if (!in) return Usage("cannot open script " + scriptPath);
        std::stringstream ss;
        ss << in.rdbuf();
        scriptText = ss.str();
    }
    auto script = ui::ParseScript(cp::Utf8ToAnsi(scriptText));
    if (!script.ok()) {
        std::cerr << "mirelle-run: " << scriptPath << ": " << script.error << "\n";
        return 2;
    }

    std::unique_ptr<host::SimulatedUnit> unit;
    try {
        unit = host::SimulatedUnit::Load(unitPath);
    } catch (const std::exception& e) {
        std::cerr << "mirelle-run: " << e.what() << "\n";
        return 2;
    }

    unit->onCall = [](const host::HostCall& call) {
        if (call.name == "ShowHelp")
            std::cout << "help: " << call.args << std::endl;
        else if (call.changes)
            std::cout << "host: " << call.name << (call.args.empty() ? "" : " ") << cp::AnsiToUtf8(call.args)
                      << std::endl;
    };
    ui::DefaultMessageBoxes().onShown = [](const ui::ShownMessage& m) {
        std::cout << "message: " << cp::AnsiToUtf8(m.text) << std::endl;
    };
    ui::DefaultScriptDriver().Queue(script.actions);

    int code = 0;
    try {
        auto setupUI = apps::CreateSetupUI(modulePath);
        auto outcome = apps::RunOperation(operation, *unit, *setupUI.get());
        if (com::FAILED(outcome.hr)) std::cout << "error: " << com::HresultText(outcome.hr) << std::endl;
        std::cout << "result: " << outcome.result << std::endl;
    } catch (const apps::ModuleError& e) {
        std::cerr << "mirelle-run: " << e.what() << "\n";
        std::cout << "hresult: " << com::HresultText(e.hr) << std::endl;
        code = 4;
    } catch (const ui::UiError& e) {
        std::cerr << "mirelle-run: " << e.what() << "\n";
        code = 2;
    } catch (const std::exception& e) {
        std::cerr << "mirelle-run: " << e.what() << "\n";
        code = 2;
    }
    if (code == 0) {
        try {
            unit->Save(unitPath);
        } catch (const std::exception& e) {
            std::cerr << "mirelle-run: " << e.what() << "\n";
            code = 2;
        }
    }
    unit.reset();
    com::CoFreeUnusedLibraries();
    return code;
}
