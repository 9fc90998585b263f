#include "platform/runtime/random.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Random, BoundedDrawsRejectTheShortLastCycleAndStayInRange) {
    // 2^32 mod 3 is 1: a raw 0 falls in the incomplete cycle and is drawn again.
    std::vector<std::uint32_t> raw = {0, 5, 0xFFFFFFFFu, 7};
    std::size_t next = 0;
    {
        ScopedRandomSource source([&] { return raw[next++ % raw.size()]; });
        EXPECT_EQ(arc4random_uniform(3), 2u);  // 0 rejected, then 5 % 3
        EXPECT_EQ(next, 2u);
        EXPECT_EQ(arc4random_uniform(3), 0u);  // 0xFFFFFFFF % 3
        EXPECT_EQ(arc4random_uniform(1), 0u);
        EXPECT_EQ(arc4random_uniform(0), 0u);
        EXPECT_EQ(next, 3u) << "bounds below 2 draw nothing";
    }
    for (int i = 0; i < 1000; ++i) EXPECT_LT(arc4random_uniform(48), 48u);
}

TEST(Random, SeededSourceRepeatsAndRestoresTheSystemSourceAfterwards) {
    std::vector<std::uint32_t> first, second;
    {
        ScopedRandomSource seeded(42u);
        for (int i = 0; i < 8; ++i) first.push_back(arc4random_uniform(48));
    }
    {
        ScopedRandomSource seeded(42u);
        for (int i = 0; i < 8; ++i) second.push_back(arc4random_uniform(48));
        {
            ScopedRandomSource inner([] { return 9u; });
            EXPECT_EQ(arc4random(), 9u);
        }
        EXPECT_NE(arc4random(), 9u) << "the outer seeded source is back";
    }
    EXPECT_EQ(first, second);
}
