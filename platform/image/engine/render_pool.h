// RenderPool: the threads that render tiles, one scratch arena per thread slot.
//
// One job runs at a time; the thread that submits a job works on it as slot 0. tryRun() refuses
// (returns false) when another job holds the pool, so callers can render on their own thread
// instead of waiting. Thread-safe.
//
// Workers that finish a job watch for the next one for a short while before they sleep, and the
// submitter watches for the job's last task the same way: back-to-back small renders (thumbnails,
// preview frames) then skip most of the cost of waking threads through the kernel.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/image/engine/render_arena.h"

class RenderPool {
public:
    using Task = std::function<void(std::size_t task, RenderArena& arena)>;

    // The process's pool, one thread per processor the process may run on (its CPU affinity);
    // KORVA_IMAGE_THREADS overrides the size.
    static RenderPool& shared();
    // The shared pool's size for a KORVA_IMAGE_THREADS value (null or empty when unset): a whole
    // number from 1 to kMaxThreads; anything else gives the processor count, or kMaxThreads for
    // more, and says why in `problem` (empty when the value is used as it is).
    static constexpr std::size_t kMaxThreads = 256;
    struct ThreadChoice {
        std::size_t threads = 1;
        std::string problem;
    };
    static ThreadChoice threadsFor(const char* value);

    explicit RenderPool(std::size_t threads);
    ~RenderPool();
    RenderPool(const RenderPool&) = delete;
    RenderPool& operator=(const RenderPool&) = delete;

    std::size_t size() const { return arenas_.size(); }
    // Memory requests all slots have made (stays put once renders are warm).
    std::size_t systemAllocations() const {
        std::size_t n = 0;
        for (const auto& a : arenas_) n += a->systemAllocations();
        return n;
    }

    // Runs task(0..count-1) on at most maxThreads threads (0 = all) and returns when all are done.
    // False, without running anything, when another job holds the pool.
    bool tryRun(std::size_t count, std::size_t maxThreads, const Task& task);
    // The same, waiting for the pool.
    void run(std::size_t count, std::size_t maxThreads, const Task& task);

private:
    void runLocked(std::size_t count, std::size_t maxThreads, const Task& task);
    void workerLoop(std::size_t slot);
    // Claims and runs tasks of job `job` until none are left.
    void work(std::size_t slot, std::uint32_t job, std::size_t count, const Task& task);

    std::mutex jobMutex_;  // held by the submitting thread for the whole job
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<std::unique_ptr<RenderArena>> arenas_;
    std::vector<std::thread> threads_;
    // The job's task, task count and slots, in two places used by turns (job number & 1): a
    // thread that sees a new job number while watching reads them without taking mutex_. What it
    // reads may already belong to a later job, but then the job number in next_ no longer
    // matches and it claims nothing.
    struct Published {
        std::atomic<const Task*> task{nullptr};
        std::atomic<std::size_t> count{0};
        std::atomic<std::size_t> slots{0};
    };
    Published published_[2];
    std::size_t activeSlots_ = 0;  // guarded by mutex_: slots of the running job, 0 between jobs
    std::vector<char> asleep_;     // per slot, guarded by mutex_: waiting on wake_
    std::atomic<std::uint32_t> generation_{0};
    // The job's number (high half) and its next task (low half): a thread that comes late to a
    // job cannot claim a task of the next one. A job is over when all its tasks have completed;
    // threads that woke for it and found nothing left are not waited for.
    std::atomic<std::uint64_t> next_{0};
    std::atomic<std::size_t> completed_{0};
    std::atomic<bool> stopping_{false};
};
