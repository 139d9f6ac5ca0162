// Figures of the calls a host makes from its own threads while the dialog's
// thread is busy: the level meter fed from an audio thread (call latency), and
// a storage progress flood (queue depth, memory, the delay of an operator's
// click).  One run each; the figures are counters (bench/run prints them).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <unistd.h>
#include <vector>

#include "apps/run/Operations.h"
#include "component/SetupSheetDlg.h"
#include "component/StorageUISupportCallbackImp.h"
#include "interfaces/ISetupUI.h"
#include "interfaces/HostInterfaces.h"
#include "module/Module.h"
#include "platform/com/ClassTable.h"
#include "platform/registry/Registry.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"
#include "simulator/SimulatedUnit.h"
#include "util/AudioInfo.h"

namespace {

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Prepare() {
    reg::UseMemory();
    reg::Clear();
    mirelle::RegisterClassesInProcess();
    ui::DefaultMessageBoxes().Clear();
    ui::DefaultScriptDriver().Clear();
}

// --- level meter ----------------------------------------------------------------
//
// ShowAudio runs on this thread.  Once the sheet is up, a host audio thread
// calls UpdateLevelMeter 1,000 times a second for the given seconds and times
// every call, while this thread keeps the dialog busy: the sheet's pages
// applied over and over, message boxes opened and closed (their windows made
// and destroyed), posted messages dispatched.  The last peak sent is 9: the
// meter must then show ten lamps.  The audio thread sleeps between calls, as
// a host's does while it waits for the next buffer; the spinning variant
// keeps its core busy instead, which tells the cost of the call itself from
// that of a core (and its caches) coming back from idle.

void LevelMeterLatency(benchmark::State& state, bool spinning) {
    const int seconds = static_cast<int>(state.range(0));
    std::vector<double> latencies, floor;
    bool newestShown = false;
    long busyRounds = 0;
    for (auto _ : state) {
        Prepare();
        host::SimulatedUnit unit;
        CAudioMixerInfo mixer;
        CAudioAssocInfo assoc;
        mixer.SetRecordMode(0, CAudioMixerInfo::eRecordMic);
        auto setupUI = apps::CreateSetupUI();
        latencies.clear();
        floor.clear();
        latencies.reserve(static_cast<size_t>(seconds) * 1000 + 1);
        floor.reserve(static_cast<size_t>(seconds) * 1000 + 1);
        ui::DefaultScriptDriver().Then([&](ui::Dialog& d) {
            auto& frame = static_cast<CSetupSheetDlg&>(d);
            std::atomic<bool> done{false};
            std::thread audio([&] {
                const auto start = Clock::now();
                const int calls = seconds * 1000;
                for (int i = 0; i <= calls; ++i) {
                    const auto due = start + std::chrono::milliseconds(i);
                    if (spinning) {
                        while (Clock::now() < due) {
                        }
                    } else {
                        std::this_thread::sleep_until(due);
                    }
                    std::int16_t bVal = 0;
                    const auto t0 = Clock::now();
                    setupUI->UpdateLevelMeter(i == calls ? 9 : i % 14, &bVal);
                    const auto t1 = Clock::now();
                    // The same two clock readings around nothing: what the
                    // machine itself adds (preemption, interrupts).
                    const auto t2 = Clock::now();
                    latencies.push_back(Micros(t1 - t0));
                    floor.push_back(Micros(Clock::now() - t2));
                }
                done = true;
            });
            auto queue = ui::ThreadQueue();
            while (!done) {
                for (int p = 0; p < frame.Sheet()->PageCount(); ++p) frame.Sheet()->Page(p)->OnApply();
                ui::ShowMessageBox(&d, "Busy", "Audio", ui::MB_OK);
                queue->Pump();
                ++busyRounds;
            }
            audio.join();
            queue->Wait(50);
            queue->Pump();
            auto& page = *frame.Sheet()->Page(0);
            int lit = 0;
            for (int i = 0; i < 14; ++i) lit += page.IsTicked(1421 + i);
            newestShown = lit == 10;
        });
        ui::DefaultScriptDriver().Queue(ui::ParseScript("click 1\n").actions);
        std::int16_t result = -1;
        setupUI->ShowAudio(unit.SetupUISupport(), 0, 0, reinterpret_cast<std::int32_t*>(&assoc),
                           reinterpret_cast<std::int32_t*>(&mixer), &result);
    }
    if (!newestShown) state.SkipWithError("the meter does not show the newest peak");
    state.counters["calls"] = static_cast<double>(latencies.size());
    state.counters["p50_us"] = Percentile(latencies, 0.50);
    state.counters["p99_us"] = Percentile(latencies, 0.99);
    state.counters["max_us"] = latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end());
    state.counters["busy_rounds"] = static_cast<double>(busyRounds);
    state.counters["floor_p99_us"] = Percentile(floor, 0.99);
    state.counters["floor_max_us"] = floor.empty() ? 0 : *std::max_element(floor.begin(), floor.end());
}

// --- storage progress flood -----------------------------------------------------
//
// The storage dialog stood in by a window on this thread that does what the
// dialog does with each message (a position costs it 20 us); the host's worker reports progress through
// the real callback object at 100,000 calls a second for the given seconds;
// an operator clicks every 20 ms (a message carrying its time).  This thread
// runs the modal loop's pattern: wait up to 20 ms for a message, dispatch.

constexpr ui::UINT kClick = ui::WM_USER + 200;

class StorageStandIn : public ui::Window {
public:
    StorageStandIn() : ui::Window(nullptr) {}
    void OnMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l) override {
        if (msg == WM_STORAGE_PROGRESS_POS) {
            position = static_cast<int>(w);
            ++positions;
            // What showing a position costs the dialog (the bar redrawn): 20 us,
            // twice the interval of the reports.
            const auto until = Clock::now() + std::chrono::microseconds(20);
            while (Clock::now() < until) {}
        } else if (msg == kClick) {
            const auto sent = Clock::time_point(Clock::duration(l));
            clickDelays.push_back(Micros(Clock::now() - sent) / 1000.0);
        }
    }
    int position = -1;
    long positions = 0;
    std::vector<double> clickDelays;
};

void BM_StorageProgressFlood(benchmark::State& state) {
    const int seconds = static_cast<int>(state.range(0));
    size_t maxDepth = 0;
    long growthKb = 0;
    long posted = 0;
    StorageStandIn* last = nullptr;
    std::unique_ptr<StorageStandIn> dlg;
    for (auto _ : state) {
        Prepare();
        dlg = std::make_unique<StorageStandIn>();
        last = dlg.get();
        auto cb = com::CreateRunningObject<host::IStorageUISupportCallbackImp>(
            mirelle::CLSID_StorageUISupportCallbackImp);
        cb->SetWindow(static_cast<std::int32_t>(dlg->Handle()));
        cb->SetProgressRange(0, seconds * 100000);
        const long before = ResidentKb();
        std::atomic<bool> done{false};
        std::thread worker([&] {
            const auto start = Clock::now();
            const long calls = seconds * 100000L;
            for (long i = 1; i <= calls; ++i) {
                // 10 us apart (the thread catches up when it falls behind).
                while (Clock::now() < start + std::chrono::microseconds(10 * i)) {}
                cb->SetProgress(static_cast<std::int32_t>(i));
                posted = i;
            }
            done = true;
        });
        std::thread clicker([&, h = dlg->Handle()] {
            while (!done) {
                ui::PostMessage(h, kClick, 0, static_cast<ui::LPARAM>(Clock::now().time_since_epoch().count()));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        auto queue = ui::ThreadQueue();
        long peakKb = before;
        while (!done) {
            queue->Wait(20);
            maxDepth = std::max(maxDepth, queue->Pending());
            peakKb = std::max(peakKb, ResidentKb());
            queue->Pump();
        }
        worker.join();
        clicker.join();
        peakKb = std::max(peakKb, ResidentKb());
        maxDepth = std::max(maxDepth, queue->Pending());
        growthKb = peakKb - before;
        while (queue->Pump() > 0) {}
    }
    if (last->position != posted) state.SkipWithError("the bar does not show the newest position");
    state.counters["posted"] = static_cast<double>(posted);
    state.counters["dispatched"] = static_cast<double>(last->positions);
    state.counters["queue_max"] = static_cast<double>(maxDepth);
    state.counters["rss_growth_kb"] = static_cast<double>(growthKb);
    state.counters["click_p50_ms"] = Percentile(last->clickDelays, 0.50);
    state.counters["click_max_ms"] =
        last->clickDelays.empty() ? 0 : *std::max_element(last->clickDelays.begin(), last->clickDelays.end());
    state.counters["clicks"] = static_cast<double>(last->clickDelays.size());
}

}  // namespace

void BM_LevelMeterLatency(benchmark::State& state) { LevelMeterLatency(state, false); }
void BM_LevelMeterLatencySpinning(benchmark::State& state) { LevelMeterLatency(state, true); }

BENCHMARK(BM_LevelMeterLatency)->Name("threads/LevelMeter/seconds")->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_LevelMeterLatencySpinning)->Name("threads/LevelMeterSpinning/seconds")->Arg(10)->Iterations(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StorageProgressFlood)->Name("threads/StorageProgressFlood/seconds")->Arg(2)->Iterations(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
