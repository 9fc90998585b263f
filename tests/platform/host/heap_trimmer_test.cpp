// When the window host gives the allocator's free memory back: once per burst, after a pause; and
// a photo's picture freed on a worker goes back to the system at once.
#include "platform/host/heap_trimmer.h"

#include <gtest/gtest.h>

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include "tests/platform/host/photo_picture_memory.h"
#endif

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

TEST(HeapTrimmerTest, TheEndOfLongBackgroundWorkCountsAsActivity) {
    HeapTrimmer trimmer(2.0);
    // A camera's frames: short spells of work, none of which asks for a trim.
    for (double t = 1.0; t < 5.0; t += 0.033) {
        trimmer.backgroundWork(true, t);
        trimmer.backgroundWork(false, t + 0.02);
    }
    EXPECT_FALSE(trimmer.due(10.0));
    // A large photo's save: three seconds of work, then a quiet spell, then the trim.
    trimmer.backgroundWork(true, 20.0);
    trimmer.backgroundWork(true, 21.0);
    EXPECT_FALSE(trimmer.due(22.5)) << "still at work";
    trimmer.backgroundWork(false, 23.0);
    EXPECT_FALSE(trimmer.due(24.9));
    EXPECT_TRUE(trimmer.due(25.0));
    EXPECT_FALSE(trimmer.due(30.0)) << "once";
}

TEST(HeapTrimmerTest, APhotosPictureFreedOnAWorkerLeavesNothingInTheArenas) {
#if defined(__SANITIZE_ADDRESS__) || !defined(__GLIBC__)
    GTEST_SKIP() << "the C library's own allocator only";
#else
    ASSERT_TRUE(HeapTrimmer::mapLargeBlocks());
    // The bound is each picture's own size: one raised above a photo's picture (or none fixed, the
    // allocator raising it to the first picture freed) leaves a later picture in the worker's arena.
    for (const PictureLeft& picture : freePhotoPicturesOnAWorker())
        EXPECT_FALSE(picture.stayed()) << picture.width << "x" << picture.height << ": " << picture.residentGrowth
                                       << " bytes resident, " << picture.arenaGrowth << " in the arenas";
#endif
}
