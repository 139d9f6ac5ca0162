// mirelle-demo [--unit FILE] [OPERATION]
//
// The Qt launcher of the setups on a simulated unit: one entry per ISetupUI
// operation.  Without --unit it works on a fresh copy of the bundled unit.
// With an operation it opens that one directly, prints its result and exits.
#include <filesystem>
#include <iostream>

#include <QApplication>
#include <QTimer>

#include "apps/demo/Launcher.h"
#include "apps/run/Operations.h"
#include "platform/com/ClassTable.h"

namespace {

constexpr const char* kUsage =
    "usage: mirelle-demo [--unit FILE] [--module FILE] [OPERATION]\n"
    "\n"
    "The Qt launcher of the setups on a simulated Quellan unit (needs a display).\n"
    "  --unit FILE     the unit file to work on (default: a fresh copy of the bundled unit)\n"
    "  --module FILE   the module that serves SetupUI (default: the registered one, else the\n"
    "                  one installed beside this program)\n"
    "  OPERATION       open this ISetupUI operation directly, print \"result: N\" and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // Help is given before Qt looks for a display.
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    QApplication app(argc, argv);
    // The name only (no display name): window titles stay the dialogs' own captions.
    QApplication::setApplicationName("Mirelle");
    std::string unitPath, operation, modulePath;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--unit" && i + 1 < argc) {
            unitPath = argv[++i];
        } else if (a == "--module" && i + 1 < argc) {
            modulePath = argv[++i];
        } else if (apps::IsOperation(a) && operation.empty()) {
            operation = a;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    // A module named on the command line serves SetupUI in place of the
    // registered one for this process.
    if (!modulePath.empty()) {
        if (com::HRESULT hr = apps::UseSetupUIModule(modulePath); com::FAILED(hr)) {
            std::cerr << "mirelle-demo: cannot load the module " << modulePath << ": " << com::CoLastLoadError()
                      << "\n";
            return 4;
        }
    }
    namespace fs = std::filesystem;
    if (unitPath.empty()) {
        unitPath = (fs::temp_directory_path() / "mirelle-demo-unit.json").string();
        std::error_code ec;
        // The bundled unit: installed beside the program, or in the source tree.
        fs::path bundled = fs::path(MIRELLE_SOURCE_DIR) / "apps/units/default.json";
        const fs::path installed =
            fs::read_symlink("/proc/self/exe", ec).parent_path() / "../share/mirelle/units/default.json";
        if (!ec && fs::is_regular_file(installed, ec)) bundled = installed;
        fs::copy_file(bundled, unitPath, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            std::cerr << "mirelle-demo: cannot copy the bundled unit: " << ec.message() << "\n";
            return 2;
        }
    }
    demo::Launcher launcher(unitPath);
    int code = 0;
    if (!operation.empty()) {
        QTimer::singleShot(0, [&] {
            long r = launcher.RunOperation(operation);
            std::cout << "result: " << r << std::endl;
            code = r < 0 ? 1 : 0;
            app.quit();
        });
    } else {
        launcher.show();
    }
    int rc = app.exec();
    return code ? code : rc;
}
