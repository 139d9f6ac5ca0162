#include "platform/ui/Window.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

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
    std::deque<Posted> q;
};

MessageQueue::MessageQueue() : impl(std::make_unique<Impl>()) {}
MessageQueue::~MessageQueue() = default;

std::size_t MessageQueue::Pending() {
    std::lock_guard l(impl->m);
    return impl->q.size();
}

bool MessageQueue::Wait(int ms) {
    std::unique_lock l(impl->m);
    return impl->cv.wait_for(l, std::chrono::milliseconds(ms), [&] { return !impl->q.empty(); });
}

int MessageQueue::Pump() {
    int n = 0;
    for (;;) {
        Posted p;
        {
            std::lock_guard l(impl->m);
            if (impl->q.empty()) break;
            p = impl->q.front();
            impl->q.pop_front();
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

bool PostMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
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
        q->impl->q.push_back({hwnd, msg, w, l});
    }
    q->impl->cv.notify_all();
    return true;
}

}  // namespace ui
