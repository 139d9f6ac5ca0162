#pragma once
// Lines a running setup says on any thread (a host call the storage worker
// makes is reported from the worker), written by one owner thread in the
// order they were said.
//
// On the owner thread Say writes at once, after whatever other threads queued
// before it; elsewhere it queues the line and posts one Flush to the owner
// (through `post`, e.g. a queued call into the owner's event loop).  Nothing
// of the owner's (widgets, sockets) is touched off its thread.

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ui {

class LineHandOff {
public:
    using Write = std::function<void(const std::string&)>;
    using Post = std::function<void(std::function<void()>)>;

    LineHandOff(Write write, Post post) : m_write(std::move(write)), m_post(std::move(post)) {}

    void Say(const std::string& line) {
        if (std::this_thread::get_id() != m_owner) {
            bool post = false;
            {
                std::lock_guard<std::mutex> hold(m_lock);
                m_pending.push_back(line);
                post = !m_flushPosted;
                m_flushPosted = true;
            }
            if (post) m_post([this] { Flush(); });
            return;
        }
        Flush();
        m_write(line);
    }

    // Writes what other threads queued; on the owner thread only.
    void Flush() {
        std::vector<std::string> lines;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            lines.swap(m_pending);
            m_flushPosted = false;
        }
        for (const std::string& line : lines) m_write(line);
    }

private:
    Write m_write;
    Post m_post;
    const std::thread::id m_owner = std::this_thread::get_id();
    std::mutex m_lock;
    std::vector<std::string> m_pending;
    bool m_flushPosted = false;
};

}  // namespace ui
