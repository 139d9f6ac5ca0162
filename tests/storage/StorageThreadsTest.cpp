// The threaded paths of the storage setup: the progress callback called from
// many threads, the worker and its finished message, closing while a worker
// runs and host failures in the middle of an operation.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "StorageFixture.h"
#include "interfaces/ISetupUI.h"
#include "platform/com/ClassTable.h"

using namespace storage_tests;

namespace {

struct Posted {
    ui::UINT msg;
    std::int32_t w;
    std::int32_t l;
    bool operator==(const Posted&) const = default;
};

// A window on the test's thread that records what reaches it.
class Receiver : public ui::Window {
public:
    Receiver() : ui::Window(nullptr) {}
    void OnMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l) override {
        got.push_back({msg, static_cast<std::int32_t>(w), static_cast<std::int32_t>(l)});
    }
    std::vector<Posted> got;
};

com::ComPtr<host::IStorageUISupportCallbackImp> NewCallback() {
    return com::CreateRunningObject<host::IStorageUISupportCallbackImp>(mirelle::CLSID_StorageUISupportCallbackImp);
}

class StorageCallback : public StorageHarness {};

TEST_F(StorageCallback, AnswersItsTwoInterfacesButNotDispatch) {
    auto cb = NewCallback();
    com::ComPtr<host::IStorageUISupportCallback> base;
    EXPECT_EQ(cb.As(base), com::S_OK);
    com::ComPtr<com::IUnknown> unk;
    EXPECT_EQ(cb.As(unk), com::S_OK);
    com::ComPtr<com::IDispatch> disp;
    EXPECT_EQ(cb.As(disp), com::E_NOINTERFACE);
    EXPECT_FALSE(disp);
}

TEST_F(StorageCallback, PostsRangeThenPositionToItsWindowOnly) {
    Receiver r;
    auto cb = NewCallback();
    auto queue = ui::ThreadQueue();
    // Before SetWindow the messages go to handle 0 and reach no window.
    EXPECT_EQ(cb->SetProgress(7), com::S_OK);
    queue->Pump();
    EXPECT_TRUE(r.got.empty());

    EXPECT_EQ(cb->SetWindow(static_cast<std::int32_t>(r.Handle())), com::S_OK);
    EXPECT_EQ(cb->SetProgressRange(0, 100), com::S_OK);
    EXPECT_EQ(cb->SetProgress(42), com::S_OK);
    EXPECT_EQ(cb->SetProgressRange(-5, 2147483647), com::S_OK);
    queue->Pump();
    EXPECT_EQ(r.got, (std::vector<Posted>{{1125, 0, 100}, {1126, 42, 0}, {1125, -5, 2147483647}}));
}

TEST_F(StorageCallback, ProgressAfterItsWindowIsGoneIsDropped) {
    auto cb = NewCallback();
    {
        Receiver r;
        cb->SetWindow(static_cast<std::int32_t>(r.Handle()));
        cb->SetProgress(1);  // queued, then the window goes before dispatch
    }
    EXPECT_EQ(cb->SetProgress(2), com::S_OK);
    EXPECT_EQ(ui::ThreadQueue()->Pump(), 1);  // dispatched to nobody
}

TEST_F(StorageCallback, ManyThreadsKeepTheirOrderAndTheNewestPositionWins) {
    Receiver a, b;
    auto cb = NewCallback();
    cb->SetWindow(static_cast<std::int32_t>(a.Handle()));
    constexpr int kThreads = 6, kCalls = 1500;
    std::atomic<bool> stop{false};
    // SetWindow racing the progress calls: each message reaches one of the two.
    std::thread switcher([&] {
        for (int i = 0; !stop; ++i) cb->SetWindow(static_cast<std::int32_t>(i % 2 ? a.Handle() : b.Handle()));
    });
    std::vector<std::thread> callers;
    for (int t = 0; t < kThreads; ++t)
        callers.emplace_back([&, t] {
            for (int k = 0; k < kCalls; ++k) {
                if (k % 2)
                    cb->SetProgress(t * 100000 + k);
                else
                    cb->SetProgressRange(t, k);
            }
        });
    auto queue = ui::ThreadQueue();
    for (auto& th : callers) {
        while (th.joinable()) {
            queue->Pump();
            th.join();
        }
    }
    stop = true;
    switcher.join();
    queue->Pump();
    // The last report of all reaches its window whatever was dropped before.
    cb->SetWindow(static_cast<std::int32_t>(a.Handle()));
    cb->SetProgress(7);
    cb->SetProgress(8);
    queue->Pump();
    ASSERT_FALSE(a.got.empty());
    EXPECT_EQ(a.got.back(), (Posted{1126, 8, 0}));
    a.got.pop_back();

    std::size_t ranges = 0;
    for (Receiver* r : {&a, &b}) {
        std::map<int, int> lastPos, lastRange;
        for (const auto& p : r->got) {
            if (p.msg == 1126) {
                int t = p.w / 100000, k = p.w % 100000;
                EXPECT_GT(k, lastPos.count(t) ? lastPos[t] : -1);
                lastPos[t] = k;
                EXPECT_EQ(p.l, 0);
            } else {
                ASSERT_EQ(p.msg, 1125u);
                EXPECT_GT(p.l, lastRange.count(p.w) ? lastRange[p.w] : -1);
                lastRange[p.w] = p.l;
                ++ranges;
            }
        }
    }
    EXPECT_EQ(ranges, static_cast<std::size_t>(kThreads * kCalls / 2)) << "ranges are never dropped";
}

TEST_F(StorageCallback, AFloodOfPositionsKeepsOneInTheQueueBehindEverythingElse) {
    Receiver r;
    auto cb = NewCallback();
    cb->SetWindow(static_cast<std::int32_t>(r.Handle()));
    auto queue = ui::ThreadQueue();
    cb->SetProgressRange(0, 10);
    cb->SetProgress(1);
    ui::PostMessage(r.Handle(), ui::WM_USER, 5, 5);  // an operator's click, say
    for (int i = 2; i <= 100000; ++i) cb->SetProgress(i);
    EXPECT_EQ(queue->Pending(), 3u);
    cb->SetProgressRange(0, 200000);
    cb->SetProgress(150000);
    queue->Pump();
    EXPECT_EQ(r.got, (std::vector<Posted>{{1125, 0, 10}, {ui::WM_USER, 5, 5}, {1125, 0, 200000}, {1126, 150000, 0}}));
}

class StorageThreads : public StorageHarness {
protected:
    nlohmann::json UnitData() override { return StorageUnit(150, 60, 3); }
};

TEST_F(StorageThreads, TheProgressBarFollowsTheHost) {
    unit->Data()["storage"]["progressSteps"] = 300;
    unit->Data()["storage"]["progressThreads"] = 4;
    std::vector<std::pair<int, int>> seen;  // (range upper, position) at each change of the bar
    Then([&](ui::Dialog& d) {
        d.onChanged = [&d, &seen](int id) {
            if (id == CStorageDlg::IDC_PROGRESS)
                seen.emplace_back(d.Item(id).rangeMax, d.Item(id).pos);
        };
    });
    Script("select 1000 1\nclick 1004\nwait\nset 1011 25\nclick 1\nwait");
    Then([](ui::Dialog& d) { d.onChanged = nullptr; });
    Run("ShowStorage");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), (std::pair<int, int>{1, 1}));
    int last = 0, top = 0;
    for (auto [upper, pos] : seen) {
        if (upper != 300) continue;
        EXPECT_GE(pos, last);
        last = pos;
        top = std::max(top, pos);
    }
    EXPECT_EQ(top, 300);
    EXPECT_EQ(CallsNamed("InitializeVolumeStep").size(), 300u);
    EXPECT_EQ(State(1), 0);
}

TEST_F(StorageThreads, CloseWhileAWorkerRunsWaitsForIt) {
    Script("answer yes\nselect 1000 0\nclick 1007");
    Then([](ui::Dialog& d) {
        ASSERT_TRUE(d.IsBusy());
        EXPECT_EQ(Dlg(d).Operation(), CStorageDlg::eOperationRemove);
        EXPECT_EQ(Dlg(d).OperationVolume(), 0);
        for (int id : {CStorageDlg::IDC_ADD, CStorageDlg::IDC_ADD_ALL, CStorageDlg::IDC_LABEL, CStorageDlg::IDC_REMOVE,
                       CStorageDlg::IDC_REPAIR, CStorageDlg::IDC_EXIT})
            EXPECT_FALSE(Enabled(d, id)) << id;
        d.OperatorClose();  // refused while the operation runs
        EXPECT_FALSE(d.IsEnded());
        EXPECT_THROW(d.OperatorClick(CStorageDlg::IDC_EXIT), ui::UiError);
        d.OperatorSelect(CStorageDlg::IDC_VOLUMES, 1);  // selection changes are ignored meanwhile
        EXPECT_FALSE(Enabled(d, CStorageDlg::IDC_ADD));
        d.EndDialog(2);  // ended from outside while the worker runs
    });
    auto out = Run("ShowStorage");
    EXPECT_EQ(out.result, 0);
    // The worker finished before the dialog let go of the host.
    EXPECT_EQ(State(0), 1);
    auto names = unit->CallNames();
    auto lastStep = std::find(names.rbegin(), names.rend(), "RemoveVolumeStep");
    auto release = std::find(names.rbegin(), names.rend(), "SetCallback");
    ASSERT_NE(lastStep, names.rend());
    EXPECT_LT(release - names.rbegin(), lastStep - names.rbegin());
    EXPECT_FALSE(Storage().HasCallback());
    EXPECT_EQ(unit->OutstandingReferences(), 0);
}

TEST_F(StorageThreads, ClosedWhileTheWorkerNeedsTheLabelDialog) {
    for (int delayMs : {0, 60}) {
        SCOPED_TRACE(delayMs);
        SetUp();
        // The worker reads the label slowly, so the dialog ends before (0) or
        // after (60) its request for the label dialog has been posted.
        unit->onCall = [](const host::HostCall& c) {
            if (c.name == "GetVolumeLabel" && ui::ModalStack().empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(40));
        };
        CStorageDlg* storage = nullptr;
        Then([&](ui::Dialog& d) { storage = &Dlg(d); });
        Script("select 1000 1\nclick 1004");
        Then([&](ui::Dialog&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            storage->EndDialog(2);
        });
        auto out = Run("ShowStorage");
        EXPECT_EQ(out.result, 0);
        EXPECT_TRUE(CallsNamed("InitializeVolume").empty());
        EXPECT_EQ(unit->OutstandingReferences(), 0);
        unit->onCall = nullptr;
        TearDown();
    }
}

TEST_F(StorageThreads, HostFailuresMidOperationAlwaysFinish) {
    struct Case {
        const char* name;
        std::string start;  // selection and answers, then the click
        const char* failing;
        int nth;
        com::HRESULT hr;
        bool label;
        int row, state;  // the volume that must be left as it was
    } cases[] = {
        {"init step", "select 1000 1\nclick 1004", "InitializeVolumeStep", 3, com::E_FAIL, true, 1, 1},
        {"convert step", "answer yes\nselect 1000 3\nclick 1004", "ConvertVolumeStep", 1, com::E_ABORT, false, 3, 3},
        {"remove step", "answer yes\nselect 1000 0\nclick 1007", "RemoveVolumeStep", 20, com::E_FAIL, false, 0, 0},
        {"repair step", "answer yes\nselect 1000 6\nclick 1008", "RepairVolumeStep", 59, com::E_ACCESSDENIED, false,
         6, 6},
        {"repair call", "answer yes\nselect 1000 6\nclick 1008", "RepairVolume", 1, com::E_UNEXPECTED, false, 6, 6},
        {"worker status", "select 1000 6\nclick 1007", "GetVolumeStatus", 1, com::E_FAIL, false, 6, 6},
        {"add all count", "click 1005", "GetVolumeCount", 1, com::E_FAIL, false, 1, 1},
        {"add all convert", "answer yes\nanswer yes\nclick 1005", "ConvertVolume", 1, com::E_FAIL, true, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::string start = c.start;
        std::string click = start.substr(start.rfind('\n') == std::string::npos ? 0 : start.rfind('\n') + 1);
        Script(start.substr(0, start.size() - click.size()));
        // Armed after the selection, so the failure lands on the worker's call.
        Then([&](ui::Dialog&) { unit->FailCall(c.failing, c.hr, c.nth); });
        Script(click + "\nwait");
        if (c.label) Script("set 1010 X\nclick 1\nwait");
        Then([](ui::Dialog& d) {
            EXPECT_EQ(d.TemplateId(), 204);
            EXPECT_FALSE(d.IsBusy());
            EXPECT_EQ(Dlg(d).FinishedCount(), 1);
            EXPECT_TRUE(Enabled(d, CStorageDlg::IDC_EXIT));
            EXPECT_EQ(d.Item(CStorageDlg::IDC_PROGRESS).pos, 1);
        });
        Script("click 1");
        auto out = Run("ShowStorage");
        EXPECT_EQ(out.result, 1);
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages().back(),
                  "The storage operation could not be completed (error " + com::HresultText(c.hr) + ").");
        EXPECT_EQ(State(c.row), c.state);
        EXPECT_EQ(unit->OutstandingReferences(), 0);
        TearDown();
    }
}

TEST_F(StorageThreads, OperationsInARowLoseNoFinishedMessage) {
    unit->Data()["storage"]["operationMs"] = 4;
    unit->Data()["storage"]["progressSteps"] = 8;
    static constexpr int kRuns = 25;
    for (int i = 0; i < kRuns; ++i) Script("answer yes\nselect 1000 3\nclick 1008\nwait");
    Then([](ui::Dialog& d) { EXPECT_EQ(Dlg(d).FinishedCount(), kRuns); });
    Script("click 1");
    EXPECT_EQ(Run("ShowStorage").result, 1);
    EXPECT_EQ(CallsNamed("RepairVolume").size(), static_cast<std::size_t>(kRuns));
    EXPECT_EQ(CallsNamed("RepairVolumeStep").size(), static_cast<std::size_t>(kRuns * 8));
    EXPECT_EQ(Messages().size(), static_cast<std::size_t>(2 * kRuns));
}

TEST_F(StorageThreads, ActionsRunningOutWaitForTheLastOperation) {
    // Actions run out while the last operation is still going: the driver
    // waits for it and then closes the dialog.
    Script("answer yes\nanswer yes\nclick 1005\nwait\nset 1010 ALL\nclick 1");
    auto out = Run("ShowStorage");
    EXPECT_EQ(out.result, 0);
    EXPECT_TRUE(ui::DefaultScriptDriver().Exhausted());
    EXPECT_EQ(State(1), 0);
    EXPECT_EQ(State(2), 0);
    EXPECT_EQ(State(3), 0);
}

}  // namespace
