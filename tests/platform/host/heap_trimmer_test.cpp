// When the window host gives the allocator's free memory back: once per burst, after a pause.
#include "platform/host/heap_trimmer.h"

#include <gtest/gtest.h>

TEST(HeapTrimmerTest, TrimsOncePerBurstOfActivityAfterAQuietSpell) {
    HeapTrimmer trimmer(2.0);
    EXPECT_FALSE(trimmer.due(10.0)) << "nothing happened yet";
    trimmer.activity(10.0);  // the program starts
    EXPECT_FALSE(trimmer.due(11.9));
    EXPECT_TRUE(trimmer.due(12.0));
    EXPECT_FALSE(trimmer.due(20.0)) << "once per burst";
    // Taps every second push the trim back until they stop.
    for (double t = 30.0; t <= 35.0; t += 1.0) {
        trimmer.activity(t);
        EXPECT_FALSE(trimmer.due(t + 0.9));
    }
    EXPECT_FALSE(trimmer.due(36.9));
    EXPECT_TRUE(trimmer.due(37.0));
    // An event stamped before a later one (SDL's queue times) does not pull the trim forward.
    trimmer.activity(50.0);
    trimmer.activity(49.0);
    EXPECT_FALSE(trimmer.due(51.5));
    EXPECT_TRUE(trimmer.due(52.0));
}
