// Start-up of the loadable module as a host sees it: from loading Mirelle.so
// to the first dialog open (the record mode dialog, headless, closed by the
// script driver as soon as it runs), then release and unload.
#include <benchmark/benchmark.h>

#include "apps/run/Operations.h"
#include "interfaces/ISetupUI.h"
#include "platform/com/ClassTable.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Script.h"
#include "util/Util.h"

namespace {

void BM_ModuleLoadToFirstDialog(benchmark::State& state) {
    reg::UseMemory();
    const std::string module = MIRELLE_MODULE_FILE;
    for (auto _ : state) {
        if (com::FAILED(com::CoRegisterModuleClasses(module))) {
            state.SkipWithError("the module does not load");
            return;
        }
        com::ComPtr<mirelle::ISetupUI> setupUI;
        com::CoCreateInstance(mirelle::CLSID_SetupUI, nullptr, mirelle::ISetupUI::IID_, setupUI.outVoid());
        // The first dialog is open when the driver's first action runs.
        ui::DefaultScriptDriver().Then([](ui::Dialog& d) { d.EndDialog(1); });
        CRecordInfo info;
        std::int16_t result = 0;
        setupUI->ShowRecordModeDlg(nullptr, 0, reinterpret_cast<std::int32_t*>(&info), &result);
        state.PauseTiming();
        setupUI.reset();
        com::CoRevokeModuleClasses(module);
        com::CoFreeUnusedLibraries();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ModuleLoadToFirstDialog)->Name("module/load-to-first-dialog")->Unit(benchmark::kMillisecond);

}  // namespace
