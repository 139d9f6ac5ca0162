// Hand-offs to an owner thread: LatestValue (atomic, newest wins, for a
// sender that must never wait), PostLatestMessage (through the queue) and
// LineHandOff (every line, in order).
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/LineHandOff.h"
#include "platform/ui/Window.h"

namespace {

constexpr ui::UINT kMsg = ui::WM_USER + 7;

class Meter : public ui::Window {
public:
    Meter() : ui::Window(nullptr) {}
    void OnMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM) override {
        if (msg == kMsg) shown.push_back(value.Take());
        else other.push_back(static_cast<int>(w));
    }
    ui::LatestValue value{*this, kMsg};
    std::vector<std::int64_t> shown;
    std::vector<int> other;
};

TEST(LatestValue, OneDeliveryForManyPostsAndTheNewestShown) {
    Meter m;
    auto queue = ui::ThreadQueue();
    EXPECT_EQ(queue->Pump(), 0) << "nothing posted, nothing delivered";
    for (int i = 1; i <= 1000; ++i) m.value.Post(i);
    EXPECT_EQ(queue->Pending(), 0u) << "the queue does not grow";
    EXPECT_TRUE(queue->Wait(0)) << "a waiting loop sees the value";
    EXPECT_EQ(queue->Pump(), 1);
    EXPECT_EQ(m.shown, (std::vector<std::int64_t>{1000}));
    EXPECT_EQ(queue->Pump(), 0);
    m.value.Post(-3);
    queue->Pump();
    EXPECT_EQ(m.shown.back(), -3);
}

TEST(LatestValue, FromAnotherThreadWhileTheWindowThreadDispatches) {
    Meter m;
    auto queue = ui::ThreadQueue();
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int i = 1; i <= 20000; ++i) m.value.Post(i);
        done = true;
    });
    while (!done) queue->Pump();
    sender.join();
    queue->Pump();
    ASSERT_FALSE(m.shown.empty());
    EXPECT_EQ(m.shown.back(), 20000);
    for (size_t i = 1; i < m.shown.size(); ++i) EXPECT_GE(m.shown[i], m.shown[i - 1]);
}

TEST(LatestValue, AValueGoneBeforeThePumpIsNotDelivered) {
    Meter m;
    auto queue = ui::ThreadQueue();
    {
        Meter gone;
        gone.value.Post(5);
        m.value.Post(6);
    }
    EXPECT_EQ(queue->Pump(), 1);
    EXPECT_EQ(m.shown, (std::vector<std::int64_t>{6}));
}

TEST(PostLatestMessage, ReplacesTheQueuedCopyAndGoesBehindWhatCameSince) {
    Meter a, b;
    auto queue = ui::ThreadQueue();
    ui::PostLatestMessage(a.Handle(), ui::WM_USER, 1, 0);
    ui::PostMessage(a.Handle(), ui::WM_USER + 1, 2, 0);
    ui::PostLatestMessage(b.Handle(), ui::WM_USER, 3, 0);  // another window: its own copy
    for (int i = 4; i < 10000; ++i) ui::PostLatestMessage(a.Handle(), ui::WM_USER, static_cast<ui::WPARAM>(i), 0);
    EXPECT_EQ(queue->Pending(), 3u);
    queue->Pump();
    EXPECT_EQ(a.other, (std::vector<int>{2, 9999}));
    EXPECT_EQ(b.other, (std::vector<int>{3}));
    // Once dispatched, the next one is queued anew.
    ui::PostLatestMessage(a.Handle(), ui::WM_USER, 1, 0);
    EXPECT_EQ(queue->Pending(), 1u);
    EXPECT_FALSE(ui::PostLatestMessage(0, ui::WM_USER, 1, 0));
    queue->Pump();
}

}  // namespace

// Lines said on worker threads and on the owner thread: every line written,
// only ever on the owner thread, each thread's lines in the order said, and
// a line the owner says after a worker's goes after it.
TEST(LineHandOffThreads, EveryLineWrittenOnTheOwnerThreadInOrder) {
    std::vector<std::string> written;
    std::atomic<int> offThread{0};
    const auto owner = std::this_thread::get_id();
    std::mutex postedLock;
    std::vector<std::function<void()>> posted;
    ui::LineHandOff lines(
        [&](const std::string& line) {
            if (std::this_thread::get_id() != owner) ++offThread;
            written.push_back(line);
        },
        [&](std::function<void()> flush) {
            std::lock_guard<std::mutex> hold(postedLock);
            posted.push_back(std::move(flush));
        });
    auto runPosted = [&] {
        std::vector<std::function<void()>> now;
        {
            std::lock_guard<std::mutex> hold(postedLock);
            now.swap(posted);
        }
        for (auto& f : now) f();
    };
    std::vector<std::thread> workers;
    for (int w = 0; w < 3; ++w)
        workers.emplace_back([&lines, w] {
            for (int i = 0; i < 500; ++i) lines.Say("w" + std::to_string(w) + " " + std::to_string(i));
        });
    for (int i = 0; i < 200; ++i) {
        lines.Say("owner " + std::to_string(i));
        runPosted();
    }
    for (auto& t : workers) t.join();
    lines.Say("last");  // after the workers' lines, which it writes first
    runPosted();        // a flush posted earlier finds nothing left
    EXPECT_EQ(offThread.load(), 0);
    ASSERT_EQ(written.size(), 3u * 500 + 200 + 1);
    EXPECT_EQ(written.back(), "last");
    for (const std::string who : {"w0", "w1", "w2", "owner"}) {
        int next = 0;
        for (const std::string& line : written) {
            if (line.rfind(who + " ", 0) == 0) {
                EXPECT_EQ(line, who + " " + std::to_string(next++));
            }
        }
        EXPECT_EQ(next, who == "owner" ? 200 : 500) << who;
    }
}
