// A list that any thread may append to and a test reads back: events seen by delegates and
// observers on background queues.
#pragma once

#include <mutex>
#include <vector>

template <class T>
class Recorder {
public:
    void add(T v) {
        std::lock_guard lock(m_);
        items_.push_back(std::move(v));
    }
    std::vector<T> items() const {
        std::lock_guard lock(m_);
        return items_;
    }
    std::size_t size() const {
        std::lock_guard lock(m_);
        return items_.size();
    }

private:
    mutable std::mutex m_;
    std::vector<T> items_;
};
