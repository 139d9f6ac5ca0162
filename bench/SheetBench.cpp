// The camera setup sheet on the simulated 16-camera unit: opened and
// cancelled, and opened with every page shown, a name changed and applied.
#include <benchmark/benchmark.h>

#include "apps/run/Operations.h"
#include "module/Module.h"
#include "simulator/SimulatedUnit.h"
#include "platform/registry/Registry.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace {

void RunCameras(benchmark::State& state, const char* script, long expectedResult, bool changes) {
    reg::UseMemory();
    reg::Clear();
    mirelle::RegisterClassesInProcess();
    auto parsed = ui::ParseScript(script);
    if (!parsed.ok()) {
        state.SkipWithError(parsed.error.c_str());
        return;
    }
    auto setupUI = apps::CreateSetupUI();
    for (auto _ : state) {
        state.PauseTiming();
        host::SimulatedUnit unit;
        if (unit.CameraCount() != 16) state.SkipWithError("the unit has not 16 cameras");
        ui::DefaultMessageBoxes().Clear();
        ui::DefaultScriptDriver().Clear();
        ui::DefaultScriptDriver().Queue(parsed.actions);
        state.ResumeTiming();
        auto outcome = apps::RunOperation("ShowCameras", unit, *setupUI.get());
        state.PauseTiming();
        if (outcome.hr != com::S_OK || outcome.result != expectedResult ||
            ui::DefaultScriptDriver().Remaining() != 0)
            state.SkipWithError("ShowCameras did not run as scripted");
        bool changed = false;
        for (auto& c : unit.Calls()) changed = changed || c.changes;
        if (changed != changes) state.SkipWithError("ShowCameras did not apply as expected");
        state.ResumeTiming();
    }
    state.counters["cameras"] = 16;
}

void BM_CameraSheetOpenCancel(benchmark::State& state) { RunCameras(state, "click 2\n", 2, false); }

void BM_CameraSheetApply(benchmark::State& state) {
    RunCameras(state,
               "set 1470 Gate\npage Termination\npage Gain Mode\npage Camera Control\npage PTZ Triggers\n"
               "page User-Defined Handlers\npage Covert Mode\nclick 1\n",
               1, true);
}

}  // namespace

BENCHMARK(BM_CameraSheetOpenCancel)->Name("sheet/Cameras16/open-cancel")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CameraSheetApply)->Name("sheet/Cameras16/open-all-pages-apply")->Unit(benchmark::kMicrosecond);
