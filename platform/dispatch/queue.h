// Dispatch queues: the main queue, serial queues with a label (one worker thread each, started
// when work first arrives and ended after a quiet spell) and global concurrent queues (one pool).
// The process's exit stops and joins their threads (ProgramThreads).
// Delayed work follows the Clock: under the virtual clock it is released when virtual time passes
// its date. All functions are thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/runtime/object.h"

using dispatch_block_t = std::function<void()>;

class DispatchQueue : public NSObject {
public:
    enum class Kind { Main, Serial, Concurrent };

    static std::shared_ptr<DispatchQueue> main();
    static std::shared_ptr<DispatchQueue> serial(std::string label);
    // The global pool; all priorities share it.
    static std::shared_ptr<DispatchQueue> global();
    // The queue whose block is running on this thread (main on the main thread), or null.
    static std::shared_ptr<DispatchQueue> current();

    Kind kind() const { return kind_; }
    const std::string& label() const { return label_; }
    bool isCurrent() const;

    void async(dispatch_block_t block);
    // Runs the block and waits for it. Onto the queue the caller is already running on (main
    // from main included) the block runs inline, logged as an error, instead of deadlocking.
    // On a concurrent queue it runs on the calling thread.
    void sync(dispatch_block_t block);
    // Runs the block `delay` seconds of Clock time from now.
    void after(double delay, dispatch_block_t block);

    // Blocks until no background queue has work queued or running (delayed work not yet due does
    // not count). Does not run the main queue; see RunLoop::drainAll.
    static void waitUntilBackgroundIdle();
    // The same, giving up after `seconds` of real time (not the Clock's: this waits on other
    // threads); whether the queues went idle.
    static bool waitUntilBackgroundIdleFor(double seconds);
    static bool backgroundIdle();

    std::string description() const override;
    std::string className() const override { return "DispatchQueue"; }

    struct State;
    ~DispatchQueue() override;

protected:
    DispatchQueue(Kind kind, std::string label);

private:
    Kind kind_;
    std::string label_;
    std::shared_ptr<State> state_;  // serial queues: the worker's queue, shared with its thread
};

using dispatch_queue_t = std::shared_ptr<DispatchQueue>;

// Nanoseconds on the Clock time line.
using dispatch_time_t = std::uint64_t;
inline constexpr dispatch_time_t DISPATCH_TIME_NOW = 0;
inline constexpr dispatch_time_t DISPATCH_TIME_FOREVER = ~0ull;
inline constexpr std::int64_t NSEC_PER_SEC = 1000000000;
inline constexpr std::int64_t NSEC_PER_MSEC = 1000000;
inline constexpr std::int64_t USEC_PER_SEC = 1000000;

enum class DispatchQueueAttr { Serial, Concurrent };
inline constexpr long DISPATCH_QUEUE_PRIORITY_HIGH = 2;
inline constexpr long DISPATCH_QUEUE_PRIORITY_DEFAULT = 0;
inline constexpr long DISPATCH_QUEUE_PRIORITY_LOW = -2;
inline constexpr long DISPATCH_QUEUE_PRIORITY_BACKGROUND = -32768;

dispatch_queue_t dispatch_get_main_queue();
dispatch_queue_t dispatch_get_global_queue(long identifier = DISPATCH_QUEUE_PRIORITY_DEFAULT, unsigned long flags = 0);
dispatch_queue_t dispatch_queue_create(const char* label, DispatchQueueAttr attr = DispatchQueueAttr::Serial);
const char* dispatch_queue_get_label(const dispatch_queue_t& queue);

void dispatch_async(const dispatch_queue_t& queue, dispatch_block_t block);
void dispatch_sync(const dispatch_queue_t& queue, dispatch_block_t block);
dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t deltaNanoseconds);
// A null queue or DISPATCH_TIME_FOREVER drops the block.
void dispatch_after(dispatch_time_t when, const dispatch_queue_t& queue, dispatch_block_t block);
