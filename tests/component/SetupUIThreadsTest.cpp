// ConnectTimeout and UpdateLevelMeter arrive on a host thread while the
// dialog thread opens and closes tracked dialogs.
#include "tests/support/Harness.h"

#include <atomic>
#include <thread>

namespace {

using testing_support::Harness;

class SetupUIThreads : public Harness {};

TEST_F(SetupUIThreads, HostThreadCallsWhileSlotsFillAndEmpty) {
    auto s = apps::CreateSetupUI();
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0};
    std::thread hostThread([&] {
        std::int16_t v = 0;
        while (!stop) {
            s->UpdateLevelMeter(calls % 100, &v);
            if (calls % 7 == 0) s->ConnectTimeout();
            ++calls;
            std::this_thread::yield();
        }
    });
    int ended = 0;
    for (int i = 0; i < 40; ++i) {
        Script(i % 2 ? "slide 1016 3\nclick 1" : "click 1");
        auto r = Run(i % 2 ? "ShowRecordModeDlg" : "ShowAudio");
        EXPECT_EQ(r.hr, com::S_OK);
        if (r.result == 0) ++ended;
        ui::DefaultScriptDriver().Clear();
    }
    // On a loaded machine the host thread may not have been scheduled yet.
    while (calls.load() == 0) std::this_thread::yield();
    stop = true;
    hostThread.join();
    EXPECT_GT(calls.load(), 0);
    (void)ended;  // how many a time-out ended depends on timing
}

}  // namespace
