// The server's clock set against the process's: the nearest reading holds, a stamp past the wrap
// of the server's milliseconds still falls after the one before it.
#include "platform/host/server_clock.h"

#include <gtest/gtest.h>

using xdisplay::ServerClock;

TEST(ServerClock, TheNearestReadingHoldsAndAStampPastTheWrapFollowsOn) {
    ServerClock clock;
    EXPECT_EQ(clock.madeAt(1000), std::nullopt);
    // Read 0.3 s late, then at once: the second says how far apart the clocks are.
    clock.heard(1000, 100.3);
    clock.heard(2000, 101.0);
    clock.heard(3000, 102.9);  // read late again: changes nothing
    ASSERT_TRUE(clock.madeAt(1000));
    EXPECT_NEAR(*clock.madeAt(1000), 100.0, 1e-9);
    EXPECT_NEAR(*clock.madeAt(2500), 101.5, 1e-9);
    // The server's milliseconds wrap: 100 ms before the wrap, then 200 ms later (100 ms past it).
    ServerClock wrapping;
    wrapping.heard(0xFFFFFF9Cu, 50.0);
    ASSERT_TRUE(wrapping.madeAt(100u));
    EXPECT_NEAR(*wrapping.madeAt(100u), 50.2, 1e-9);
    wrapping.heard(100u, 50.2);
    EXPECT_NEAR(*wrapping.madeAt(0xFFFFFF9Cu), 50.0, 1e-9);
    EXPECT_NEAR(*wrapping.madeAt(300u), 50.4, 1e-9);
}
