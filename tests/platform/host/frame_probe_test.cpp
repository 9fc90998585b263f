// The window host's frame figures, fed with times as a run would give them.
#include "platform/host/frame_probe.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/host/picture_change.h"

TEST(FrameProbeTest, ReportsFramesBusyShareDrawTimesAndInputLatencyPerPeriod) {
    FrameProbe probe(2.0);
    probe.start(100.0);
    // Twenty frames a second for two seconds, each drawn in 10 ms, the thread busy 15 ms per frame.
    for (int i = 1; i <= 40; ++i) {
        double at = 100.0 + i * 0.05 - 0.001;
        if (i == 10) probe.input(at - 0.03);  // answered by this frame: 30 ms
        if (i == 20) {
            probe.input(at - 0.12);  // two events before one frame: the older counts
            probe.input(at - 0.01);
        }
        probe.busy(0.015);
        probe.frame(at, 0.010);
        EXPECT_FALSE(probe.poll(at).has_value()) << "not before the period is over";
    }
    probe.input(101.999);  // waits for a frame of the next period
    auto report = probe.poll(102.0);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->frames, 40);
    EXPECT_NEAR(report->framesPerSecond, 20, 1e-9);
    EXPECT_NEAR(report->busyShare, 0.3, 1e-9);
    EXPECT_NEAR(report->meanDrawMs, 10, 1e-9);
    EXPECT_EQ(report->inputs, 3);
    EXPECT_NEAR(report->maxInputLatencyMs, 120, 1e-6);
    EXPECT_NEAR(report->meanInputLatencyMs, (30 + 120 * 2) / 3.0, 1e-6);
    EXPECT_NE(report->line().find("20.0 frames/s"), std::string::npos) << report->line();

    // The next period starts where the last ended and carries the waiting input.
    probe.frame(102.5, 0.2);
    auto next = probe.poll(104.0);
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(next->frames, 1);
    EXPECT_NEAR(next->maxDrawMs, 200, 1e-9);
    EXPECT_EQ(next->inputs, 1);
    EXPECT_NEAR(next->maxInputLatencyMs, 501, 1e-6);
    EXPECT_EQ(next->busyShare, 0);
}

// A frame drawn again with the same pixels is a redraw, not a new picture: the probe counts both.
TEST(FrameProbeTest, CountsNewPicturesApartFromRedrawsOfTheSameOne) {
    constexpr int kWidth = 40, kHeight = 30;
    constexpr std::size_t kStride = kWidth * 4 + 16;  // rows padded past the picture
    std::vector<std::uint8_t> frame(kStride * kHeight, 7);
    PictureChange pictures;
    const std::vector<PictureChange::Rows> all{{0, kHeight}};
    EXPECT_TRUE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, all)) << "the first frame is new";
    EXPECT_FALSE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, all)) << "the same pixels again";
    frame[12 * kStride + 39 * 4 + 2] ^= 1;  // one channel of the last pixel of row 12
    EXPECT_FALSE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, {{0, 10}, {20, 30}}))
        << "the changed row was not redrawn";
    EXPECT_TRUE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, {{10, 14}}));
    EXPECT_FALSE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, all));
    frame[5 * kStride + kWidth * 4 + 3] ^= 1;  // the padding past the picture is not shown
    EXPECT_FALSE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, all));
    // Two pixels of a row trading places make a new picture too.
    frame[3 * kStride] = 1, frame[3 * kStride + 4] = 2;
    EXPECT_TRUE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, all));
    std::swap(frame[3 * kStride], frame[3 * kStride + 4]);
    EXPECT_TRUE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight, all));
    EXPECT_TRUE(pictures.redrawn(frame.data(), kStride, kWidth * 4, kHeight - 1, all)) << "another size";

    FrameProbe probe(1.0);
    probe.start(0);
    for (int i = 1; i <= 30; ++i) probe.frame(i / 30.0 - 0.001, 0.002, i % 3 == 0);
    auto report = probe.poll(1.0);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->frames, 30);
    EXPECT_EQ(report->newPictures, 10);
    EXPECT_NE(report->line().find("30.0 frames/s, 10.0 new pictures/s"), std::string::npos) << report->line();
}
