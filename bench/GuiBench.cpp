// How long the operator waits for each setup on screen: from the operation's
// call to the first painted frame of its window under the Qt front end
// (offscreen platform), for every operation that opens a dialog, and for the
// text stream list with 1,000 streams.  Goals: 50 ms a dialog, 100 ms for the
// long list.  Each run creates the component through the runtime as a host
// does and cancels the dialog once it has painted.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include "apps/run/Operations.h"
#include "gui/DialogView.h"
#include "gui/FirstPaint.h"
#include "gui/QtFrontEnd.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "simulator/SimulatedUnit.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "mirelle_gui_bench";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);  // never torn down among static destructors
    return *app;
}

const nlohmann::json& BundledUnit() {
    static const nlohmann::json data = [] {
        std::ifstream in(std::string(MIRELLE_SOURCE_DIR) + "/apps/units/default.json");
        return nlohmann::json::parse(in);
    }();
    return data;
}

// One run of the operation; the time to its first painted frame (-1: none).
qint64 TimeToFirstPaint(const std::string& operation, const nlohmann::json& data) {
    App();
    host::SimulatedUnit unit(data);
    gui::QtFrontEnd frontEnd;
    QElapsedTimer clock;
    gui::FirstPaint paint(clock);
    frontEnd.onDialogShown = [&](gui::DialogView& v) {
        if (paint.ns < 0) v.installEventFilter(&paint);
    };
    // A setup that shows a message box first, or never paints, is ended.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QMessageBox* box = frontEnd.ActiveMessageBox()) box->reject();
        for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(ui::IDCANCEL);
    });
    guard.start(5000);
    clock.start();
    {
        auto setupUI = apps::CreateSetupUI();
        apps::RunOperation(operation, unit, *setupUI.get());
    }
    return paint.ns;
}

void Measure(benchmark::State& state, const std::string& operation, const nlohmann::json& data) {
    reg::UseMemory();
    TimeToFirstPaint(operation, data);  // templates, fonts and style loaded once
    for (auto _ : state) {
        const qint64 ns = TimeToFirstPaint(operation, data);
        if (ns < 0) {
            state.SkipWithError("the window painted nothing");
            break;
        }
        state.SetIterationTime(static_cast<double>(ns) / 1e9);
    }
}

nlohmann::json ThousandStreams() {
    nlohmann::json d = BundledUnit();
    nlohmann::json streams = nlohmann::json::array();
    for (int i = 0; i < 1000; ++i)
        streams.push_back({{"Name", "Till " + std::to_string(i + 1)}, {"StreamId", i}, {"ConnectionName", "COM Port"},
                           {"HandlerName", "POS Receipt"}, {"ComPort", i % 4}, {"BaudRate", 9600}, {"DataBits", 8},
                           {"Parity", 0}, {"StopBits", 0}, {"FlowControl", 2}, {"CameraMask", 1 << (i % 16)},
                           {"ConnectionType", 0}});
    d["textStreams"]["streams"] = streams;
    return d;
}

const bool registered = [] {
    for (const auto& op : apps::OperationNames()) {
        if (op == "ConnectTimeout" || op == "UpdateLevelMeter") continue;  // no window of their own
        benchmark::RegisterBenchmark(("gui/first-paint/" + op).c_str(),
                                     [op](benchmark::State& s) { Measure(s, op, BundledUnit()); })
            ->UseManualTime()
            ->Iterations(5)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("gui/first-paint/ShowTextStreams-1000-streams",
                                 [](benchmark::State& s) { Measure(s, "ShowTextStreams", ThousandStreams()); })
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
