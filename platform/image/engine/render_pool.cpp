// The render thread pool.
#include "platform/image/engine/render_pool.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "platform/runtime/cpu_count.h"

namespace {

// How long a thread watches for work (or for the end of a job) before it sleeps. Long enough to
// bridge the set-up between consecutive renders, short enough to cost little on a busy machine.
constexpr auto kWatch = std::chrono::microseconds(50);

inline void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// Spins until done() holds or the watch time has passed; returns done().
template <class Done>
bool watch(const Done& done) {
    if (done()) return true;
    const auto until = std::chrono::steady_clock::now() + kWatch;
    while (true) {
        for (int i = 0; i < 64; ++i) {
            relax();
            if (done()) return true;
        }
        if (std::chrono::steady_clock::now() >= until) return done();
    }
}

}  // namespace

RenderPool& RenderPool::shared() {
    static RenderPool pool(threadsFor(std::getenv("KORVA_IMAGE_THREADS")).threads);
    return pool;
}

RenderPool::ThreadChoice RenderPool::threadsFor(const char* value) {
    const std::size_t processors = std::max(1u, availableCpuCount());
    if (!value || !*value) return {processors, {}};
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(value, &end, 10);
    if (end == value || *end != '\0' || errno == ERANGE || v < 1)
        return {processors, "is not a number of threads from 1 to " + std::to_string(kMaxThreads) + "; using " +
                                std::to_string(processors) + ", one a processor"};
    if (static_cast<unsigned long long>(v) > kMaxThreads)
        return {kMaxThreads,
                "is more than " + std::to_string(kMaxThreads) + " threads; using " + std::to_string(kMaxThreads)};
    return {static_cast<std::size_t>(v), {}};
}

RenderPool::RenderPool(std::size_t threads) {
    threads = std::max<std::size_t>(threads, 1);
    for (std::size_t i = 0; i < threads; ++i) arenas_.push_back(std::make_unique<RenderArena>());
    asleep_.assign(threads, 0);
    for (std::size_t i = 1; i < threads; ++i) threads_.emplace_back([this, i] { workerLoop(i); });
}

RenderPool::~RenderPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
}

void RenderPool::work(std::size_t slot, std::uint32_t job, std::size_t count, const Task& task) {
    RenderArena& arena = *arenas_[slot];
    std::uint64_t claim = next_.load(std::memory_order_acquire);
    while (true) {
        const std::size_t i = static_cast<std::uint32_t>(claim);
        if (static_cast<std::uint32_t>(claim >> 32) != job || i >= count) return;
        if (!next_.compare_exchange_weak(claim, claim + 1, std::memory_order_acq_rel)) continue;
        arena.reset();
        task(i, arena);
        if (completed_.fetch_add(1, std::memory_order_acq_rel) + 1 == count) {
            std::lock_guard lock(mutex_);
            done_.notify_all();
        }
        claim = next_.load(std::memory_order_acquire);
    }
}

void RenderPool::workerLoop(std::size_t slot) {
    std::uint32_t seen = 0;
    // The job numbered `job` as published: its task is only called after claiming one of its
    // tasks (the claim names the job), which keeps the job open.
    auto join = [&](std::uint32_t job) {
        const Published& p = published_[job & 1];
        const Task* task = p.task.load(std::memory_order_acquire);
        const std::size_t count = p.count.load(std::memory_order_acquire);
        if (task && slot < p.slots.load(std::memory_order_acquire)) work(slot, job, count, *task);
    };
    while (true) {
        const bool fresh = watch([&] {
            return generation_.load(std::memory_order_acquire) != seen || stopping_.load(std::memory_order_relaxed);
        });
        if (stopping_.load(std::memory_order_relaxed)) return;
        if (fresh) {
            // Seen while watching: join without the lock, so that the threads of a small job do
            // not queue behind each other.
            seen = generation_.load(std::memory_order_acquire);
            join(seen);
            continue;
        }
        {
            std::unique_lock lock(mutex_);
            asleep_[slot] = 1;
            wake_.wait(lock, [&] { return stopping_ || (generation_.load() != seen && slot < activeSlots_); });
            asleep_[slot] = 0;
            if (stopping_) return;
            seen = generation_.load();
        }
        join(seen);
    }
}

void RenderPool::runLocked(std::size_t count, std::size_t maxThreads, const Task& task) {
    if (count == 0) return;
    std::size_t slots = std::min({count, arenas_.size(), maxThreads ? maxThreads : arenas_.size()});
    if (slots <= 1 || count > 0xFFFFFFFFu) {
        for (std::size_t i = 0; i < count; ++i) {
            arenas_[0]->reset();
            task(i, *arenas_[0]);
        }
        return;
    }
    std::uint32_t job = 0;
    bool sleeper = false;
    {
        std::lock_guard lock(mutex_);
        job = generation_.load() + 1;
        completed_.store(0, std::memory_order_relaxed);
        // The claim counter first: a thread that reads any part of this job's publication also
        // sees that older jobs are over.
        next_.store(static_cast<std::uint64_t>(job) << 32, std::memory_order_release);
        Published& p = published_[job & 1];
        p.task.store(&task, std::memory_order_release);
        p.count.store(count, std::memory_order_release);
        p.slots.store(slots, std::memory_order_release);
        activeSlots_ = slots;
        generation_.store(job, std::memory_order_release);
        // Threads still watching see the new job without a wake-up; those past it wait on wake_
        // (marked under the lock, so none is missed). Waking the pool's idle slots for a small
        // job costs the caller a system call and them a trip through the lock for nothing.
        for (std::size_t i = 1; i < slots && !sleeper; ++i) sleeper = asleep_[i] != 0;
    }
    if (sleeper) wake_.notify_all();
    work(0, job, count, task);
    watch([&] { return completed_.load(std::memory_order_acquire) == count; });
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return completed_.load() == count; });
    activeSlots_ = 0;
}

bool RenderPool::tryRun(std::size_t count, std::size_t maxThreads, const Task& task) {
    std::unique_lock job(jobMutex_, std::try_to_lock);
    if (!job.owns_lock()) return false;
    runLocked(count, maxThreads, task);
    return true;
}

void RenderPool::run(std::size_t count, std::size_t maxThreads, const Task& task) {
    std::lock_guard job(jobMutex_);
    runLocked(count, maxThreads, task);
}
