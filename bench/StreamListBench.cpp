// The text stream list on a simulated unit with many streams: opened and
// closed, and opened with the last stream edited through all four pages.
#include <benchmark/benchmark.h>

#include "apps/run/Operations.h"
#include "module/Module.h"
#include "simulator/SimulatedUnit.h"
#include "platform/registry/Registry.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace {

nlohmann::json ManyStreams(int count) {
    nlohmann::json streams = nlohmann::json::array();
    for (int i = 0; i < count; ++i)
        streams.push_back({{"Name", "Till " + std::to_string(i + 1)}, {"StreamId", i}, {"ConnectionName", "COM Port"},
                           {"HandlerName", "POS Receipt"}, {"ComPort", i % 4}, {"BaudRate", 9600}, {"DataBits", 8},
                           {"Parity", 0}, {"StopBits", 0}, {"FlowControl", 2}, {"CameraMask", 1 << (i % 16)},
                           {"ConnectionType", 0}});
    return {{"features", {{"25", true}}},
            {"textStreams",
             {{"handlers", {{{"name", "POS Receipt"}, {"kind", 0}, {"hasSetup", 0}}}},
              {"connectionTypes", {{{"name", "COM Port"}, {"type", 0}, {"flag", 1}}}},
              {"streams", streams}}}};
}

void RunList(benchmark::State& state, const std::string& script, bool changes) {
    reg::UseMemory();
    reg::Clear();
    mirelle::RegisterClassesInProcess();
    const int count = static_cast<int>(state.range(0));
    auto parsed = ui::ParseScript(script);
    if (!parsed.ok()) {
        state.SkipWithError(parsed.error.c_str());
        return;
    }
    const nlohmann::json data = ManyStreams(count);
    auto setupUI = apps::CreateSetupUI();
    for (auto _ : state) {
        state.PauseTiming();
        host::SimulatedUnit unit(data);
        ui::DefaultMessageBoxes().Clear();
        ui::DefaultScriptDriver().Clear();
        ui::DefaultScriptDriver().Queue(parsed.actions);
        state.ResumeTiming();
        auto outcome = apps::RunOperation("ShowTextStreams", unit, *setupUI.get());
        state.PauseTiming();
        bool changed = false;
        for (auto& c : unit.Calls()) changed = changed || c.changes;
        if (outcome.hr != com::S_OK || ui::DefaultScriptDriver().Remaining() != 0 || changed != changes)
            state.SkipWithError("ShowTextStreams did not run as scripted");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_StreamListOpenClose(benchmark::State& state) { RunList(state, "click 2\n", false); }

void BM_StreamListEditLast(benchmark::State& state) {
    const std::string last = std::to_string(state.range(0) - 1);
    RunList(state,
            "select 1130 " + last +
                "\nclick 1132\nset 1140 Renamed\npage Camera Associations\ntick 1151 1\npage Alarms\n"
                "page Receipt Definitions\nclick 1\nclick 2\n",
            true);
}

}  // namespace

BENCHMARK(BM_StreamListOpenClose)->Name("list/TextStreams/open-close")->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StreamListEditLast)->Name("list/TextStreams/edit-last")->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);
