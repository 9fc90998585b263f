// Delayed work for background queues (dispatch_after): held until its Clock date, then handed to
// its queue. Under the virtual clock it is released by the thread that moves the time, before
// that move returns, so tests see it queued at once; under the real clock a timer thread releases it.
// Internal to the dispatch module.
#pragma once

#include <memory>

#include "platform/dispatch/queue.h"

void delayedWorkSchedule(double date, dispatch_queue_t queue, dispatch_block_t block);
// The clock moved or changed kind: release what is due now.
void delayedWorkClockChanged();
std::size_t delayedWorkPending();
// Drops all pending delayed work (a clean slate between tests).
void delayedWorkClear();
