// A list of callbacks by name, in the order they were first added, safe to
// use from several threads: the class object providers of the COM runtime
// and the dialog template sources are both kept this way.
#pragma once
#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform {

template <class F>
class NamedList {
public:
    // Adds f under name, or replaces the one of that name in its place.
    void Set(const std::string& name, F f) {
        F old;  // released outside the lock
        std::lock_guard lock(m_lock);
        for (auto& [n, e] : m_entries)
            if (n == name) {
                old = std::exchange(e, std::move(f));
                return;
            }
        m_entries.emplace_back(name, std::move(f));
    }

    // Removes the entry of that name; false when there is none.  The entry is
    // destroyed after the lock is let go, so what it holds may call back in.
    bool Remove(const std::string& name) {
        F dropped;
        {
            std::lock_guard lock(m_lock);
            auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](auto& e) { return e.first == name; });
            if (it == m_entries.end()) return false;
            dropped = std::move(it->second);
            m_entries.erase(it);
        }
        return true;
    }

    // A copy of the entries in order, to be called without the lock held.
    std::vector<F> Snapshot() const {
        std::lock_guard lock(m_lock);
        std::vector<F> out;
        out.reserve(m_entries.size());
        for (auto& e : m_entries) out.push_back(e.second);
        return out;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::pair<std::string, F>> m_entries;
};

}  // namespace platform
