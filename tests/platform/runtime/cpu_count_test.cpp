// The processor count follows the affinity mask, as `taskset` narrows it.
#include "platform/runtime/cpu_count.h"

#include <gtest/gtest.h>
#include <sched.h>

TEST(CpuCount, FollowsTheAffinityMaskNotTheMachine) {
    cpu_set_t original;
    ASSERT_EQ(sched_getaffinity(0, sizeof original, &original), 0);
    EXPECT_EQ(availableCpuCount(), static_cast<unsigned>(CPU_COUNT(&original)));

    int first = 0;
    while (!CPU_ISSET(first, &original)) ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const unsigned narrowed = availableCpuCount();
    ASSERT_EQ(sched_setaffinity(0, sizeof original, &original), 0);
    EXPECT_EQ(narrowed, 1u);
}
