#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/dispatch/main_queue_marker.h"
#include "platform/runtime/log.h"
#include "tests/platform/dispatch/virtual_clock.h"

class QueueTest : public VirtualClockTest {};

TEST_F(QueueTest, SerialQueueRunsBlocksInOrderOnOneBackgroundThread) {
    auto queue = dispatch_queue_create("test.serial");
    EXPECT_STREQ(dispatch_queue_get_label(queue), "test.serial");
    std::vector<int> order;
    std::set<std::thread::id> threads;
    bool everOnMain = false;
    for (int i = 0; i < 500; ++i)
        dispatch_async(queue, [&, i] {
            order.push_back(i);  // no lock: a serial queue never overlaps its blocks
            threads.insert(std::this_thread::get_id());
            everOnMain = everOnMain || RunLoop::isMainThread();
            EXPECT_TRUE(queue->isCurrent());
        });
    loop().drainAll();
    ASSERT_EQ(order.size(), 500u);
    for (int i = 0; i < 500; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_FALSE(everOnMain);
}

TEST_F(QueueTest, WorkHandedBackToMainRunsThereInOrder) {
    auto queue = DispatchQueue::serial("test.handback");
    std::vector<int> delivered;
    std::atomic<int> offMain{0};
    for (int i = 0; i < 20; ++i)
        queue->async([&, i] {
            if (!RunLoop::isMainThread()) ++offMain;
            dispatch_async(dispatch_get_main_queue(), [&, i] {
                EXPECT_TRUE(RunLoop::isMainThread());
                EXPECT_EQ(DispatchQueue::current(), DispatchQueue::main());
                delivered.push_back(i);
            });
        });
    loop().drainAll();
    EXPECT_EQ(offMain.load(), 20);
    ASSERT_EQ(delivered.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(delivered[i], i);
}

TEST_F(QueueTest, SyncWaitsForTheBlockAndNeverDeadlocksOnItsOwnQueue) {
    auto queue = DispatchQueue::serial("test.sync");
    int value = 0;
    queue->async([&] { value = 1; });
    dispatch_sync(queue, [&] { value *= 10; });  // runs after the earlier block
    EXPECT_EQ(value, 10);

    LogCapture log;
    bool innerRan = false;
    dispatch_sync(queue, [&] { dispatch_sync(queue, [&] { innerRan = true; }); });
    EXPECT_TRUE(innerRan);
    bool mainRan = false;
    dispatch_sync(dispatch_get_main_queue(), [&] { mainRan = true; });
    EXPECT_TRUE(mainRan);
    EXPECT_TRUE(log.contains("error dispatch: dispatch_sync onto the current queue \"test.sync\""));

    // A background queue waiting on main while main drains: the drain runs the main block.
    std::atomic<bool> backgroundSawMain{false};
    queue->async(
        [&] { dispatch_sync(dispatch_get_main_queue(), [&] { backgroundSawMain = RunLoop::isMainThread(); }); });
    loop().drainAll();
    EXPECT_TRUE(backgroundSawMain.load());
}

TEST_F(QueueTest, GlobalQueueRunsEverythingConcurrently) {
    std::atomic<int> done{0};
    std::atomic<int> running{0}, peak{0};
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    // Two blocks that wait for each other can only finish on two threads at once.
    for (int i = 0; i < 2; ++i)
        dispatch_async(dispatch_get_global_queue(), [&] {
            int now = ++running;
            int p = peak.load();
            while (now > p && !peak.compare_exchange_weak(p, now)) {
            }
            std::unique_lock lock(m);
            if (running == 2) {
                release = true;
                cv.notify_all();
            }
            cv.wait(lock, [&] { return release; });
            EXPECT_EQ(DispatchQueue::current(), DispatchQueue::global());
            --running;
            ++done;
        });
    for (int i = 0; i < 200; ++i) dispatch_async(dispatch_get_global_queue(), [&] { ++done; });
    DispatchQueue::waitUntilBackgroundIdle();
    EXPECT_EQ(done.load(), 202);
    EXPECT_EQ(peak.load(), 2);
}

TEST_F(QueueTest, ABoundedWaitForIdleGivesUpOnStuckWorkAndSeesItFinish) {
    std::mutex mutex;
    std::condition_variable cv;
    bool release = false;
    DispatchQueue::serial("test.stuck")->async([&] {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return release; });
    });
    EXPECT_FALSE(DispatchQueue::waitUntilBackgroundIdleFor(0.02));
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    cv.notify_all();
    EXPECT_TRUE(DispatchQueue::waitUntilBackgroundIdleFor(30));
}

TEST_F(QueueTest, DispatchAfterOnBackgroundQueueFollowsVirtualTime) {
    auto queue = DispatchQueue::serial("test.after");
    std::vector<int> order;
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 2 * NSEC_PER_SEC), queue, [&] { order.push_back(2); });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 1 * NSEC_PER_SEC), queue, [&] { order.push_back(1); });
    dispatch_after(DISPATCH_TIME_FOREVER, queue, [&] { order.push_back(99); });
    loop().drainAll();
    EXPECT_TRUE(order.empty());

    loop().advance(1.5);
    loop().drainAll();
    EXPECT_EQ(order, (std::vector<int>{1}));
    loop().advance(1.0);
    loop().drainAll();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST_F(QueueTest, PendingWorkSurvivesTheQueueBeingReleased) {
    std::atomic<int> ran{0};
    {
        auto queue = DispatchQueue::serial("test.released");
        for (int i = 0; i < 50; ++i) queue->async([&] { ++ran; });
    }
    DispatchQueue::waitUntilBackgroundIdle();
    EXPECT_EQ(ran.load(), 50);
}

TEST_F(QueueTest, NullQueuesAndBlocksAreIgnored) {
    dispatch_async(nullptr, [] { FAIL(); });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 0), nullptr, [] { FAIL(); });
    dispatch_async(dispatch_get_main_queue(), nullptr);
    EXPECT_EQ(loop().pendingBlocks(), 0u);
    EXPECT_EQ(DispatchQueue::current(), DispatchQueue::main());
    EXPECT_EQ(dispatch_time(DISPATCH_TIME_FOREVER, 5), DISPATCH_TIME_FOREVER);
}

TEST_F(QueueTest, MainQueueBlocksAreMarkedWhileTheyRun) {
    std::vector<bool> marks;
    EXPECT_FALSE(dispatch_in_main_queue_block());
    dispatch_async(dispatch_get_main_queue(), [&] {
        marks.push_back(dispatch_in_main_queue_block());
        dispatch_async(dispatch_get_main_queue(), [&] { marks.push_back(dispatch_in_main_queue_block()); });
    });
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, NSEC_PER_SEC), dispatch_get_main_queue(),
                   [&] { marks.push_back(dispatch_in_main_queue_block()); });
    auto serial = dispatch_queue_create("marker");
    dispatch_sync(serial, [&] { marks.push_back(dispatch_in_main_queue_block()); });
    loop().runUntilIdle();
    loop().advance(1.5);
    EXPECT_EQ(marks, (std::vector<bool>{false, true, true, true}));
    EXPECT_FALSE(dispatch_in_main_queue_block());
}
