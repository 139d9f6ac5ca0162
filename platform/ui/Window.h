// Windows, handles and posted messages of the dialog model.
//
// Each window has a numeric handle.  PostMessage may be called from any thread:
// the message goes into the queue of the thread that created the window and is
// dispatched there while that thread runs a modal loop.  A message posted to
// handle 0, or to a window destroyed before dispatch, reaches no window.
#pragma once
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
};

// Operator action that the dialog cannot take (missing, hidden or disabled
// control, or a malformed action): the front end reports it.
class UiError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ui
