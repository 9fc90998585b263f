// The latest-wins job runner: which job delivers, whatever order the work finishes in.
#include "foundation/recent_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/platform/dispatch/virtual_clock.h"

namespace {

class RecentQueueTest : public VirtualClockTest {
protected:
    // A job that waits for its gate, then answers its name and the label of its queue.
    std::function<Value()> gated(std::shared_future<void> gate, std::string tag) {
        return [gate, tag] {
            gate.wait();
            auto queue = DispatchQueue::current();
            return Value(tag + "@" + (queue ? queue->label() : std::string("?")));
        };
    }
    // Runs main-queue work until the runner has `pending` jobs left (the jobs run on real
    // threads, so this waits for them, bounded).
    void settle(const std::shared_ptr<RecentQueue>& runner, std::size_t pending) {
        auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (runner->pendingJobNames().size() != pending && std::chrono::steady_clock::now() < limit) {
            loop().runUntilIdle();
            std::this_thread::yield();
        }
    }
    std::function<void(Value)> collect() {
        return [this](Value v) { delivered_.push_back(*v.string()); };
    }
    std::vector<std::string> delivered_;
};

TEST_F(RecentQueueTest, OnlyTheNewestJobDeliversWhicheverFinishesFirst) {
    for (bool newerFinishesFirst : {true, false}) {
        delivered_.clear();
        auto runner = RecentQueue::make("list");
        std::promise<void> gateA, gateB;
        runner->run(gated(gateA.get_future().share(), "A"), collect());
        runner->run(gated(gateB.get_future().share(), "B"), collect());
        EXPECT_EQ(runner->pendingJobNames(), (std::vector<std::string>{"RecentQueue-list-0", "RecentQueue-list-1"}));
        (newerFinishesFirst ? gateB : gateA).set_value();
        settle(runner, 1);
        (newerFinishesFirst ? gateA : gateB).set_value();
        loop().drainAll();
        EXPECT_EQ(delivered_, (std::vector<std::string>{"B@RecentQueue-list-1"}));
        EXPECT_TRUE(runner->pendingJobNames().empty());
    }
}

TEST_F(RecentQueueTest, ASingleJobDeliversAndNamesRestartFromThePendingCount) {
    auto runner = RecentQueue::make("x");
    std::promise<void> open;
    open.set_value();
    std::shared_future<void> openGate = open.get_future().share();
    runner->run(gated(openGate, "one"), collect());
    loop().drainAll();
    ASSERT_EQ(delivered_, (std::vector<std::string>{"one@RecentQueue-x-0"}));

    std::promise<void> held;
    runner->run(gated(held.get_future().share(), "two"), collect());
    EXPECT_EQ(runner->pendingJobNames(), (std::vector<std::string>{"RecentQueue-x-0"}));
    runner->run(gated(openGate, "three"), collect());
    settle(runner, 1);
    held.set_value();
    loop().drainAll();
    EXPECT_EQ(delivered_, (std::vector<std::string>{"one@RecentQueue-x-0", "three@RecentQueue-x-1"}));
}

}  // namespace
