// Gives the allocator's free memory back to the system once the user has paused: opening and
// closing pop-ups, changing looks and taking photos leave tens of megabytes free inside the
// allocator's arenas (freed space is kept there for reuse and shows as the program's memory), and
// a trim returns it. One trim per burst of activity, a quiet spell after its last event, so a
// running animation or a busy user never waits for it. Long background work (a large photo's save
// or decoding, which frees hundreds of megabytes when it ends) counts as activity when it ends,
// so that what it leaves is given back although no input follows. Fed with times in seconds on
// one steady clock. Main thread only.
#pragma once

#include <cstddef>

class HeapTrimmer {
public:
    explicit HeapTrimmer(double quietSeconds = 2.0) : quiet_(quietSeconds) {}

    // Something happened at `at` (input, the start of the program) that may leave memory behind.
    void activity(double at);
    // Whether background work was running at `at`; the end of a spell of at least kLongWork
    // seconds is activity. Frames' short spells are not.
    void backgroundWork(bool busy, double at);
    static constexpr double kLongWork = 0.25;
    // Whether the allocator should be trimmed now; true once per burst of activity.
    bool due(double now);

    // Returns the free memory of every arena to the system (takes a few milliseconds; any thread).
    static void trimNow();

    // Makes every block of at least kMappedBlock bytes a mapping of its own that goes back to the
    // system when it is freed, whichever thread frees it. Without this the allocator raises that
    // bound to the largest block freed so far, so a photo's picture (tens of megabytes) freed on a
    // pool worker stays in that worker's arena, where a trim cannot reach it: one picture held per
    // worker. Called first in main, before the program starts threads of its own. False where the
    // allocator takes no such setting (a sanitizer's allocator, another C library).
    static bool mapLargeBlocks();
    static constexpr std::size_t kMappedBlock = std::size_t{4} << 20;

private:
    double quiet_;
    double last_ = 0;
    bool pending_ = false;
    bool busy_ = false;
    double busySince_ = 0;
};
