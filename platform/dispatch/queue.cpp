// Dispatch queues: serial workers, the global pool, sync and after, and the idle count for tests.
#include "platform/dispatch/queue.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/delayed_work.h"
#include "platform/dispatch/main_queue_marker.h"
#include "platform/dispatch/program_threads.h"
#include "platform/dispatch/run_loop.h"
#include "platform/runtime/cpu_count.h"
#include "platform/runtime/log.h"

namespace {

// How long an idle serial worker waits for more work before its thread ends.
constexpr auto kWorkerLinger = std::chrono::seconds(2);

// Blocks queued or running on background queues, for waitUntilBackgroundIdle.
struct Outstanding {
    std::mutex mutex;
    std::condition_variable idle;
    std::size_t count = 0;
};

Outstanding& outstanding() {
    static Outstanding* o = new Outstanding;
    return *o;
}

void beginWork() {
    std::lock_guard lock(outstanding().mutex);
    ++outstanding().count;
}

void endWork() {
    Outstanding& o = outstanding();
    bool nowIdle;
    {
        std::lock_guard lock(o.mutex);
        nowIdle = --o.count == 0;
    }
    if (nowIdle) {
        o.idle.notify_all();
        RunLoop::main().wakeUp();  // a draining main thread re-checks
    }
}

// The queue whose block runs on this thread.
thread_local std::weak_ptr<DispatchQueue> tCurrentQueue;
thread_local int tMainBlockDepth = 0;

// Marks the thread as running a main-queue block for the block's duration.
dispatch_block_t markedMainBlock(dispatch_block_t block) {
    return [block = std::move(block)] {
        ++tMainBlockDepth;
        struct Unmark {
            ~Unmark() { --tMainBlockDepth; }
        } unmark;
        block();
    };
}

// Sets the current queue for the duration of a block.
class CurrentQueueScope {
public:
    explicit CurrentQueueScope(std::weak_ptr<DispatchQueue> queue)
        : saved_(std::exchange(tCurrentQueue, std::move(queue))) {}
    ~CurrentQueueScope() { tCurrentQueue = std::move(saved_); }

private:
    std::weak_ptr<DispatchQueue> saved_;
};

// The global pool: a fixed set of threads started on first use, fed from one FIFO. At exit its
// threads end once the FIFO is empty; work given to it after that starts a new set.
struct Pool {
    struct Item {
        std::weak_ptr<DispatchQueue> queue;
        dispatch_block_t block;
    };
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Item> items;
    unsigned workers = 0;

    void push(std::weak_ptr<DispatchQueue> queue, dispatch_block_t block) {
        {
            std::lock_guard lock(mutex);
            items.push_back({std::move(queue), std::move(block)});
            if (workers == 0) {
                workers = std::clamp(availableCpuCount(), 2u, 8u);
                for (unsigned i = 0; i < workers; ++i)
                    ProgramThreads::start([this](const ProgramThreads::Stop& stop) { work(stop); },
                                          ProgramThreads::AtExit::Stop,
                                          [this] {
                                              std::lock_guard wakeLock(mutex);
                                              ready.notify_all();
                                          });
            }
        }
        ready.notify_one();
    }

    void work(const ProgramThreads::Stop& stop) {
        for (;;) {
            Item item;
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return !items.empty() || stop.requested(); });
                if (items.empty()) {
                    --workers;
                    return;
                }
                item = std::move(items.front());
                items.pop_front();
            }
            {
                CurrentQueueScope scope(item.queue);
                item.block();
                item.block = nullptr;  // captures released before the work counts as done
            }
            endWork();
        }
    }
};

Pool& pool() {
    static Pool* p = new Pool;
    return *p;
}

}  // namespace

// A serial queue's work list, shared by the queue object and its worker thread so that the
// thread may outlive the queue while it finishes the blocks already given to it.
struct DispatchQueue::State {
    std::mutex mutex;
    std::condition_variable more;
    std::deque<dispatch_block_t> work;
    bool workerRunning = false;
    std::thread::id worker;
    std::weak_ptr<DispatchQueue> owner;

    void push(dispatch_block_t block) {
        bool startWorker = false;
        {
            std::lock_guard lock(mutex);
            work.push_back(std::move(block));
            if (!workerRunning) workerRunning = startWorker = true;
        }
        if (startWorker)
            ProgramThreads::start([self = shared()](const ProgramThreads::Stop& stop) { self->runWorker(stop); },
                                  ProgramThreads::AtExit::Stop,
                                  [weak = self] {
                                      if (auto state = weak.lock()) {
                                          std::lock_guard lock(state->mutex);
                                          state->more.notify_all();
                                      }
                                  });
        else
            more.notify_one();
    }

    // Runs the blocks in order; ends after kWorkerLinger without work, or as soon as it has none
    // once the process exits.
    void runWorker(const ProgramThreads::Stop& stop) {
        std::unique_lock lock(mutex);
        worker = std::this_thread::get_id();
        for (;;) {
            if (work.empty()) more.wait_for(lock, kWorkerLinger, [&] { return !work.empty() || stop.requested(); });
            if (work.empty()) {
                workerRunning = false;
                worker = {};
                return;
            }
            dispatch_block_t block = std::move(work.front());
            work.pop_front();
            lock.unlock();
            {
                CurrentQueueScope scope(owner);
                block();
                block = nullptr;
            }
            endWork();
            lock.lock();
        }
    }

    std::shared_ptr<State> shared();
    std::weak_ptr<State> self;
};

std::shared_ptr<DispatchQueue::State> DispatchQueue::State::shared() {
    return self.lock();
}

DispatchQueue::DispatchQueue(Kind kind, std::string label) : kind_(kind), label_(std::move(label)) {
    if (kind_ == Kind::Serial) {
        state_ = std::make_shared<State>();
        state_->self = state_;
    }
}

DispatchQueue::~DispatchQueue() = default;

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
    static auto* queue = new std::shared_ptr<DispatchQueue>(make<DispatchQueue>(Kind::Main, "main"));
    return *queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::serial(std::string label) {
    auto queue = make<DispatchQueue>(Kind::Serial, std::move(label));
    queue->state_->owner = queue;
    return queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::global() {
    static auto* queue = new std::shared_ptr<DispatchQueue>(make<DispatchQueue>(Kind::Concurrent, "global.default"));
    return *queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::current() {
    if (auto queue = tCurrentQueue.lock()) return queue;
    return RunLoop::isMainThread() ? main() : nullptr;
}

bool DispatchQueue::isCurrent() const {
    if (kind_ == Kind::Main) return RunLoop::isMainThread() && tCurrentQueue.expired();
    return tCurrentQueue.lock().get() == this;
}

void DispatchQueue::async(dispatch_block_t block) {
    if (!block) return;
    switch (kind_) {
        case Kind::Main: RunLoop::main().perform(markedMainBlock(std::move(block))); return;
        case Kind::Serial:
            beginWork();
            state_->push(std::move(block));
            return;
        case Kind::Concurrent:
            beginWork();
            pool().push(std::static_pointer_cast<DispatchQueue>(shared_from_this()), std::move(block));
            return;
    }
}

void DispatchQueue::sync(dispatch_block_t block) {
    if (!block) return;
    if (kind_ == Kind::Concurrent) {
        CurrentQueueScope scope(std::static_pointer_cast<DispatchQueue>(shared_from_this()));
        block();
        return;
    }
    if (isCurrent()) {
        // The platform would deadlock here; running inline keeps the program alive.
        Log::error("dispatch", "dispatch_sync onto the current queue \"" + label_ + "\": running the block inline");
        block();
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    async([&] {
        block();
        done.set_value();
    });
    finished.wait();
}

void DispatchQueue::after(double delay, dispatch_block_t block) {
    // An infinite delay never comes; NaN or a negative delay means now.
    if (!block || delay == std::numeric_limits<double>::infinity()) return;
    if (!(delay > 0)) delay = 0;
    double date = Clock::now() + delay;
    auto self = std::static_pointer_cast<DispatchQueue>(shared_from_this());
    if (delay == 0) {
        async(std::move(block));
        return;
    }
    if (kind_ == Kind::Main) {
        // On the main run loop as a timer, so it fires in time order with the other timers.
        auto timer = NSTimer::timer(
            delay, false, [block = markedMainBlock(std::move(block))](const std::shared_ptr<NSTimer>&) { block(); });
        RunLoop::main().addTimer(timer, RunLoopMode::Common);
        return;
    }
    delayedWorkSchedule(date, std::move(self), std::move(block));
}

void DispatchQueue::waitUntilBackgroundIdle() {
    Outstanding& o = outstanding();
    std::unique_lock lock(o.mutex);
    o.idle.wait(lock, [&] { return o.count == 0; });
}

bool DispatchQueue::waitUntilBackgroundIdleFor(double seconds) {
    Outstanding& o = outstanding();
    std::unique_lock lock(o.mutex);
    return o.idle.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return o.count == 0; });
}

bool DispatchQueue::backgroundIdle() {
    std::lock_guard lock(outstanding().mutex);
    return outstanding().count == 0;
}

std::string DispatchQueue::description() const {
    return "<DispatchQueue: " + label_ + ">";
}

bool dispatch_in_main_queue_block() {
    return tMainBlockDepth > 0;
}

dispatch_queue_t dispatch_get_main_queue() {
    return DispatchQueue::main();
}

dispatch_queue_t dispatch_get_global_queue(long, unsigned long) {
    return DispatchQueue::global();
}

dispatch_queue_t dispatch_queue_create(const char* label, DispatchQueueAttr attr) {
    std::string name = label ? label : "";
    if (attr == DispatchQueueAttr::Concurrent) return make<DispatchQueue>(DispatchQueue::Kind::Concurrent, name);
    return DispatchQueue::serial(name);
}

const char* dispatch_queue_get_label(const dispatch_queue_t& queue) {
    return queue ? queue->label().c_str() : "";
}

void dispatch_async(const dispatch_queue_t& queue, dispatch_block_t block) {
    if (queue) queue->async(std::move(block));
}

void dispatch_sync(const dispatch_queue_t& queue, dispatch_block_t block) {
    if (queue) queue->sync(std::move(block));
}

dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t delta) {
    if (when == DISPATCH_TIME_FOREVER) return DISPATCH_TIME_FOREVER;
    double base = when == DISPATCH_TIME_NOW ? Clock::now() : static_cast<double>(when) / NSEC_PER_SEC;
    double t = base + static_cast<double>(delta) / NSEC_PER_SEC;
    if (t <= 0) return 1;  // never DISPATCH_TIME_NOW by accident: the earliest real date
    if (t * NSEC_PER_SEC >= 1.8e19) return DISPATCH_TIME_FOREVER;
    return static_cast<dispatch_time_t>(t * NSEC_PER_SEC);
}

void dispatch_after(dispatch_time_t when, const dispatch_queue_t& queue, dispatch_block_t block) {
    if (!queue || !block || when == DISPATCH_TIME_FOREVER) return;
    double date = when == DISPATCH_TIME_NOW ? Clock::now() : static_cast<double>(when) / NSEC_PER_SEC;
    queue->after(date - Clock::now(), std::move(block));
}
