#include "platform/ui/Window.h"

#include <condition_variable>
#include <list>
#include <map>
#include <mutex>
#include <vector>

namespace ui {

namespace {
struct Posted {
    HWND hwnd;
    UINT msg;
    WPARAM w;
    LPARAM l;
};

std::mutex g_windowsLock;
std::map<HWND, std::pair<Window*, std::weak_ptr<MessageQueue>>>& Windows() {
    static std::map<HWND, std::pair<Window*, std::weak_ptr<MessageQueue>>> w;
    return w;
}
HWND g_nextHandle = 0x100;
}  // namespace

struct MessageQueue::Impl {
    std::mutex m;
    std::condition_variable cv;
    // A list, so that a newer copy of a latest-only message can move to the
    // end in place of the queued one (found through latestQueued).
    std::list<Posted> q;
    std::map<std::pair<HWND, UINT>, std::list<Posted>::iterator> latestQueued;
    // Values handed over with LatestValue: the list is used on the queue's
    // own thread only; the flag is raised by any thread.
    std::vector<LatestValue*> latest;
    std::atomic<bool> latestRaised{false};
    bool latestChanged = false;  // one was removed while Pump went through them

    void Push(const Posted& p, bool latestOnly) {
        if (!latestOnly) {
            q.push_back(p);
            return;
        }
        auto [it, added] = latestQueued.try_emplace({p.hwnd, p.msg});
        if (added) {
            it->second = q.insert(q.end(), p);
        } else {
            q.splice(q.end(), q, it->second);
            *it->second = p;
        }
    }
    bool Pop(Posted& p) {
        if (q.empty()) return false;
        p = q.front();
        auto it = latestQueued.find({p.hwnd, p.msg});
        if (it != latestQueued.end() && it->second == q.begin()) latestQueued.erase(it);
        q.pop_front();
        return true;
    }
};

MessageQueue::MessageQueue() : impl(std::make_unique<Impl>()) {}
MessageQueue::~MessageQueue() = default;

std::size_t MessageQueue::Pending() {
    std::lock_guard l(impl->m);
    return impl->q.size();
}

bool MessageQueue::Wait(int ms) {
    std::unique_lock l(impl->m);
    return impl->cv.wait_for(l, std::chrono::milliseconds(ms),
                             [&] { return !impl->q.empty() || impl->latestRaised.load(); });
}

int MessageQueue::DispatchLatest() {
    if (!impl->latestRaised.exchange(false)) return 0;
    int n = 0;
    impl->latestChanged = false;
    for (size_t i = 0; i < impl->latest.size(); ++i) {
        LatestValue* v = impl->latest[i];
        if (!v->m_pending.exchange(false)) continue;
        v->m_window.OnMessage(v->m_msg, 0, 0);
        ++n;
    }
    // A handler that removed a value may have made the walk skip another.
    if (impl->latestChanged) impl->latestRaised = true;
    return n;
}

int MessageQueue::Pump() {
    int n = DispatchLatest();
    for (;;) {
        Posted p;
        {
            std::lock_guard l(impl->m);
            if (!impl->Pop(p)) break;
        }
        Window* target = nullptr;
        {
            std::lock_guard l(g_windowsLock);
            auto it = Windows().find(p.hwnd);
            if (it != Windows().end()) target = it->second.first;
        }
        // Windows are destroyed only on this thread, so target stays valid.
        if (target) target->OnMessage(p.msg, p.w, p.l);
        ++n;
    }
    return n;
}

std::shared_ptr<MessageQueue> ThreadQueue() {
    thread_local std::shared_ptr<MessageQueue> q = std::make_shared<MessageQueue>();
    return q;
}

Window::Window(Window* parent) : m_parent(parent), m_queue(ThreadQueue()) {
    std::lock_guard l(g_windowsLock);
    m_handle = g_nextHandle++;
    Windows()[m_handle] = {this, m_queue};
}

Window::~Window() {
    std::lock_guard l(g_windowsLock);
    Windows().erase(m_handle);
}

namespace {

bool Post(HWND hwnd, UINT msg, WPARAM w, LPARAM l, bool latestOnly) {
    std::shared_ptr<MessageQueue> q;
    {
        std::lock_guard lock(g_windowsLock);
        auto it = Windows().find(hwnd);
        if (it == Windows().end()) return false;
        q = it->second.second.lock();
    }
    if (!q) return false;
    {
        std::lock_guard lock(q->impl->m);
        q->impl->Push({hwnd, msg, w, l}, latestOnly);
    }
    q->impl->cv.notify_all();
    return true;
}

}  // namespace

bool PostMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) { return Post(hwnd, msg, w, l, false); }

bool PostLatestMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) { return Post(hwnd, msg, w, l, true); }

LatestValue::LatestValue(Window& window, UINT msg) : m_window(window), m_msg(msg), m_queue(window.Queue()) {
    m_queue->impl->latest.push_back(this);
}

LatestValue::~LatestValue() {
    auto& list = m_queue->impl->latest;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == this) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            m_queue->impl->latestChanged = true;
            break;
        }
}

void LatestValue::Post(std::int64_t value) {
    m_value.store(value);
    // The first post since the window last took the value raises the queue's
    // flag; later ones only replace the value.
    if (!m_pending.exchange(true)) m_queue->impl->latestRaised.store(true);
}

}  // namespace ui
