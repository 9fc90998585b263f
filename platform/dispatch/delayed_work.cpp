// The store of delayed background work and its timer thread.
#include "platform/dispatch/delayed_work.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/program_threads.h"

namespace {

struct Item {
    double date;
    std::uint64_t sequence;
    dispatch_queue_t queue;
    dispatch_block_t block;
};

struct DelayedWork {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Item> items;  // few at a time: a plain list, released in date order
    std::uint64_t nextSequence = 0;
    bool threadStarted = false;
};

DelayedWork& work() {
    static DelayedWork* w = new DelayedWork;
    return *w;
}

// Takes the items due at `now`, earliest first.
std::vector<Item> takeDue(DelayedWork& w, double now) {
    std::vector<Item> due;
    for (auto it = w.items.begin(); it != w.items.end();) {
        if (it->date <= now) {
            due.push_back(std::move(*it));
            it = w.items.erase(it);
        } else {
            ++it;
        }
    }
    std::sort(due.begin(), due.end(), [](const Item& a, const Item& b) {
        return a.date != b.date ? a.date < b.date : a.sequence < b.sequence;
    });
    return due;
}

void release(std::vector<Item> due) {
    for (auto& item : due) item.queue->async(std::move(item.block));
}

// Releases work under the real clock; under the virtual clock it only waits. Ends when the process
// exits; work scheduled after that starts it again.
void timerThread(const ProgramThreads::Stop& stop) {
    DelayedWork& w = work();
    std::unique_lock lock(w.mutex);
    for (;;) {
        if (stop.requested()) {
            w.threadStarted = false;
            return;
        }
        if (w.items.empty() || Clock::isVirtual()) {
            w.changed.wait(lock);
            continue;
        }
        double now = Clock::now();
        double next = w.items.front().date;
        for (const auto& item : w.items) next = std::min(next, item.date);
        if (next > now) {
            // Re-check at least every 100 ms in case the clock changes kind.
            double wait = std::min(next - now, 0.1);
            w.changed.wait_for(lock, std::chrono::duration<double>(wait));
            continue;
        }
        auto due = takeDue(w, now);
        lock.unlock();
        release(std::move(due));
        lock.lock();
    }
}

}  // namespace

void delayedWorkSchedule(double date, dispatch_queue_t queue, dispatch_block_t block) {
    DelayedWork& w = work();
    if (Clock::isVirtual() && date <= Clock::now()) {
        queue->async(std::move(block));
        return;
    }
    {
        std::lock_guard lock(w.mutex);
        w.items.push_back({date, w.nextSequence++, std::move(queue), std::move(block)});
        if (!w.threadStarted) {
            w.threadStarted = true;
            ProgramThreads::start(timerThread, ProgramThreads::AtExit::Stop, [] {
                std::lock_guard wakeLock(work().mutex);
                work().changed.notify_all();
            });
        }
    }
    w.changed.notify_all();
}

void delayedWorkClockChanged() {
    DelayedWork& w = work();
    std::vector<Item> due;
    {
        std::lock_guard lock(w.mutex);
        if (w.items.empty()) return;
        if (Clock::isVirtual()) due = takeDue(w, Clock::now());
    }
    w.changed.notify_all();
    release(std::move(due));
}

std::size_t delayedWorkPending() {
    std::lock_guard lock(work().mutex);
    return work().items.size();
}

void delayedWorkClear() {
    std::vector<Item> dropped;
    {
        std::lock_guard lock(work().mutex);
        dropped.swap(work().items);
    }
}
