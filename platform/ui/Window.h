// Windows, handles and posted messages of the dialog model.
//
// Each window has a numeric handle.  PostMessage may be called from any thread:
// the message goes into the queue of the thread that created the window and is
// dispatched there while that thread runs a modal loop.  A message posted to
// handle 0, or to a window destroyed before dispatch, reaches no window.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace ui {

using HWND = std::uint32_t;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

constexpr UINT WM_USER = 0x0400;

class MessageQueue;

class Window {
public:
    explicit Window(Window* parent);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_handle; }
    Window* Parent() const { return m_parent; }
    void SetParent(Window* parent) { m_parent = parent; }

    // Called on the window's thread for each posted message.
    virtual void OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) { (void)msg; (void)wParam; (void)lParam; }

    // Thread that owns the window and its queue.
    std::shared_ptr<MessageQueue> Queue() const { return m_queue; }

private:
    HWND m_handle;
    Window* m_parent;
    std::shared_ptr<MessageQueue> m_queue;
};

// Thread-safe; answers false when no window has that handle (the message is dropped).
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The same for a message of which only the newest counts (a progress
// position): a copy of the same message to the same window still waiting in
// the queue is dropped, and this one goes to the end of the queue, so that a
// flood of them keeps one in the queue and never delays what comes after.
bool PostLatestMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A value handed from any thread to a window's thread where only the newest
// counts and the sender must never wait (a level meter fed by an audio
// thread).  Post stores the value and raises a flag with atomic operations
// only: no lock, no allocation, no queue growth.  The window's thread finds
// the flag at its next Pump (within the modal loop's polling interval) and
// calls the window's OnMessage(msg, 0, 0) once for any number of posts; the
// handler reads the newest value with Take.  Created and destroyed on the
// window's thread, before the window is destroyed; whoever posts keeps it
// alive while posting.
class LatestValue {
public:
    LatestValue(Window& window, UINT msg);
    ~LatestValue();
    LatestValue(const LatestValue&) = delete;
    LatestValue& operator=(const LatestValue&) = delete;

    void Post(std::int64_t value);
    std::int64_t Take() const { return m_value.load(); }

private:
    friend class MessageQueue;
    Window& m_window;
    UINT m_msg;
    std::shared_ptr<MessageQueue> m_queue;
    std::atomic<std::int64_t> m_value{0};
    std::atomic<bool> m_pending{false};
};

// The calling thread's queue (created on first use).
std::shared_ptr<MessageQueue> ThreadQueue();

class MessageQueue {
public:
    // Dispatches every message now queued; answers how many were dispatched.
    int Pump();
    // Waits until a message is queued or the timeout passes.
    bool Wait(int milliseconds);
    std::size_t Pending();

    struct Impl;
    std::unique_ptr<Impl> impl;
    MessageQueue();
    ~MessageQueue();

private:
    // Calls the windows whose LatestValue was posted since the last Pump.
    int DispatchLatest();
};

// Operator action that the dialog cannot take (missing, hidden or disabled
// control, or a malformed action): the front end reports it.
class UiError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ui
