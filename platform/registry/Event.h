// Manual- or auto-reset event, as the registry change notification signals.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace reg {

class Event {
public:
    explicit Event(bool manualReset = true, bool initiallySignalled = false)
        : m_manual(manualReset), m_signalled(initiallySignalled) {}

    void Set() {
        { std::lock_guard l(m_m); m_signalled = true; }
        m_cv.notify_all();
    }
    void Reset() { std::lock_guard l(m_m); m_signalled = false; }
    // Non-blocking test ("wait with timeout 0").
    bool IsSignalled() {
        std::lock_guard l(m_m);
        bool s = m_signalled;
        if (s && !m_manual) m_signalled = false;
        return s;
    }
    bool Wait(std::chrono::milliseconds timeout) {
        std::unique_lock l(m_m);
        if (!m_cv.wait_for(l, timeout, [&] { return m_signalled; })) return false;
        if (!m_manual) m_signalled = false;
        return true;
    }

private:
    std::mutex m_m;
    std::condition_variable m_cv;
    bool m_manual;
    bool m_signalled;
};

}  // namespace reg
