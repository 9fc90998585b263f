// Media time, pixel buffers and their pool, sample-buffer attachments, frame orientation and stills.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "platform/capture/cm_sample_buffer.h"
#include "platform/capture/cm_time.h"
#include "platform/capture/frame_scaling.h"
#include "platform/capture/pixel_buffer_orientation.h"
#include "platform/dispatch/clock.h"

TEST(CMTimeTest, ComparesExactRationalsAndHandlesInvalidTimes) {
    EXPECT_EQ(CMTimeCompare(CMTimeMake(1, 3), CMTimeMake(1000, 3000)), 0);
    EXPECT_EQ(CMTimeCompare(CMTimeMake(1, 3), CMTimeMake(333, 1000)), 1);
    EXPECT_LT(CMTimeMake(1, 8000), CMTimeMake(1, 60));
    EXPECT_TRUE(std::isnan(CMTimeGetSeconds(kCMTimeInvalid)));
    EXPECT_FALSE(CMTIME_IS_VALID(CMTimeMake(1, 0)));
    EXPECT_FALSE(CMTIME_IS_VALID(CMTimeMakeWithSeconds(std::nan(""), 1000)));
    // Whole milliseconds, as the manual shutter control makes them.
    CMTime t = CMTimeMakeWithSeconds(0.0125, 1000);
    EXPECT_EQ(t.value, 13);
    EXPECT_TRUE(t.flags & kCMTimeFlags_HasBeenRounded);
    EXPECT_DOUBLE_EQ(CMTimeGetSeconds(CMTimeAdd(CMTimeMake(1, 2), CMTimeMake(1, 3))), 5.0 / 6.0);
}

TEST(CVPixelBufferPoolTest, ReusesBuffersOnceWarmAndRefusesBeyondItsLimit) {
    auto pool = CVPixelBufferPool::make(33, 7, 2);
    const std::uint8_t* first;
    {
        auto a = pool->createPixelBuffer();
        ASSERT_TRUE(a);
        EXPECT_EQ(a->width(), 33u);
        EXPECT_EQ(a->bytesPerRow() % 64, 0u);
        EXPECT_GE(a->bytesPerRow(), 33u * 4);
        first = a->baseAddress();
        auto b = pool->createPixelBuffer();
        ASSERT_TRUE(b);
        EXPECT_FALSE(pool->createPixelBuffer()) << "both buffers are held";
    }
    // Warm: no new buffer is made and the same memory comes back.
    for (int i = 0; i < 10; ++i) {
        auto c = pool->createPixelBuffer();
        ASSERT_TRUE(c);
        EXPECT_TRUE(c->baseAddress() == first || pool->allocatedCount() == 2);
    }
    EXPECT_EQ(pool->allocatedCount(), 2u);
    // A buffer someone still has locked is not handed out again.
    auto held = pool->createPixelBuffer();
    held->lockBaseAddress();
    auto other = pool->createPixelBuffer();
    EXPECT_NE(held, other);
    EXPECT_TRUE(held->unlockBaseAddress());
    EXPECT_FALSE(held->unlockBaseAddress()) << "unbalanced unlock is reported";
}

TEST(CVPixelBufferTest, FramesAreZeroedAndLargeOnesMappedOnTheirOwn) {
    for (auto [w, h, mapped] : {std::tuple{16, 16, false}, std::tuple{1280, 720, true}}) {
        auto b = CVPixelBuffer::make(std::size_t(w), std::size_t(h));
        EXPECT_EQ(b->ownsMapping(), mapped) << w << "x" << h;
        ASSERT_EQ(b->dataSize(), b->bytesPerRow() * std::size_t(h));
        const std::uint8_t* p = b->baseAddress();
        EXPECT_TRUE(std::all_of(p, p + b->dataSize(), [](std::uint8_t v) { return v == 0; }));
        b->row(std::size_t(h) - 1)[w * 4 - 1] = 7;
        auto copy = b->copy();
        EXPECT_EQ(copy->row(std::size_t(h) - 1)[w * 4 - 1], 7);
        EXPECT_EQ(copy->ownsMapping(), mapped);
    }
}

TEST(CVPixelBufferPoolTest, LetsGoOfBurstBuffersOnlyOnceTheBurstIsOver) {
    Clock::useVirtual();
    auto pool = CVPixelBufferPool::make(16, 16, 6);
    auto burst = [&](std::size_t n) {
        std::vector<CVPixelBufferRef> held;
        for (std::size_t i = 0; i < n; ++i) held.push_back(pool->createPixelBuffer());
        for (const auto& b : held) ASSERT_TRUE(b);
    };
    // A consumer falls behind: five frames are held at once, then all go back.
    burst(5);
    EXPECT_EQ(pool->allocatedCount(), 5u);
    // Within the idle time the buffers stay, and a burst that comes back finds them.
    Clock::advanceVirtual(CVPixelBufferPool::kIdleSeconds / 2);
    { auto one = pool->createPixelBuffer(); }
    EXPECT_EQ(pool->allocatedCount(), 5u);
    burst(5);
    EXPECT_EQ(pool->allocatedCount(), 5u) << "no buffer was made anew";
    // Past it, a steady producer with one frame held downstream keeps two buffers.
    Clock::advanceVirtual(CVPixelBufferPool::kIdleSeconds + 0.1);
    CVPixelBufferRef shown = pool->createPixelBuffer();
    for (int frame = 0; frame < 10; ++frame) {
        Clock::advanceVirtual(1.0 / 30);
        shown = pool->createPixelBuffer();
        ASSERT_TRUE(shown);
    }
    EXPECT_EQ(pool->allocatedCount(), 2u);
    // Buffers that are held or locked are never let go, however long the pool was idle.
    shown->lockBaseAddress();
    CVPixelBufferRef other = pool->createPixelBuffer();
    other.reset();
    Clock::advanceVirtual(10 * CVPixelBufferPool::kIdleSeconds);
    CVPixelBufferRef next = pool->createPixelBuffer();
    EXPECT_NE(next, shown);
    EXPECT_EQ(pool->allocatedCount(), 2u);
    EXPECT_TRUE(shown->unlockBaseAddress());
    Clock::useReal();
}

TEST(CMSampleBufferTest, KeepsAttachmentModesApartAndCopiesDeeply) {
    auto s = CMSampleBuffer::withImageBuffer(CVPixelBuffer::make(2, 2), {CMTimeMake(1, 30), CMTimeMake(5, 1), {}});
    auto gps = Value::dictionary({{"Latitude", 1.5}});
    s->setAttachment("{GPS}", gps, CMAttachmentMode::ShouldPropagate);
    s->setAttachment("local", Value(3), CMAttachmentMode::ShouldNotPropagate);
    CMAttachmentMode mode{};
    EXPECT_EQ(s->attachment("{GPS}", &mode)["Latitude"].doubleValue(), 1.5);
    EXPECT_EQ(mode, CMAttachmentMode::ShouldPropagate);
    auto propagated = s->copyDictionaryOfAttachments(CMAttachmentMode::ShouldPropagate);
    EXPECT_EQ(propagated.size(), 1u);
    // Editing the copy leaves the buffer's dictionary alone.
    propagated.get("{GPS}").set("Latitude", 9.0);
    EXPECT_EQ(s->attachment("{GPS}")["Latitude"].doubleValue(), 1.5);
    // Re-setting a key in the other mode moves it.
    s->setAttachment("{GPS}", gps, CMAttachmentMode::ShouldNotPropagate);
    EXPECT_TRUE(s->copyDictionaryOfAttachments(CMAttachmentMode::ShouldPropagate).empty());
    EXPECT_EQ(s->numSamples(), 1);
    EXPECT_TRUE(s->attachment("absent").isNull());
}

namespace {
// A 3x2 frame whose pixels hold their own index in the blue byte.
CVPixelBufferRef numbered() {
    auto f = CVPixelBuffer::make(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) f->row(y)[x * 4] = std::uint8_t(y * 3 + x);
    return f;
}
std::vector<int> read(const CVPixelBuffer& b) {
    std::vector<int> out;
    for (std::size_t y = 0; y < b.height(); ++y)
        for (std::size_t x = 0; x < b.width(); ++x) out.push_back(b.row(y)[x * 4]);
    return out;
}
}  // namespace

TEST(PixelBufferOrientationTest, TurnsAndMirrorsSensorFrames) {
    auto src = numbered();  // 0 1 2 / 3 4 5
    auto portrait = CVPixelBuffer::make(2, 3);
    ASSERT_TRUE(orientPixelBuffer(*src, *portrait, AVCaptureVideoOrientation::Portrait, false));
    EXPECT_EQ(read(*portrait), (std::vector<int>{3, 0, 4, 1, 5, 2}));  // a quarter turn clockwise
    ASSERT_TRUE(orientPixelBuffer(*src, *portrait, AVCaptureVideoOrientation::Portrait, true));
    EXPECT_EQ(read(*portrait), (std::vector<int>{0, 3, 1, 4, 2, 5}));
    ASSERT_TRUE(orientPixelBuffer(*src, *portrait, AVCaptureVideoOrientation::PortraitUpsideDown, false));
    EXPECT_EQ(read(*portrait), (std::vector<int>{2, 5, 1, 4, 0, 3}));
    auto landscape = CVPixelBuffer::make(3, 2);
    ASSERT_TRUE(orientPixelBuffer(*src, *landscape, AVCaptureVideoOrientation::LandscapeLeft, false));
    EXPECT_EQ(read(*landscape), (std::vector<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_FALSE(orientPixelBuffer(*src, *landscape, AVCaptureVideoOrientation::Portrait, false)) << "wrong size";
    EXPECT_EQ(exifOrientationFor(AVCaptureVideoOrientation::Portrait, false), 6);
    EXPECT_EQ(exifOrientationFor(AVCaptureVideoOrientation::LandscapeRight, true), 2);
}

TEST(PixelBufferOrientationTest, LargeFramesMatchAPixelByPixelTurnInEveryOrientation) {
    // Sizes that are not a whole number of the blocks the turn works in.
    const int sw = 77, sh = 45;
    auto src = CVPixelBuffer::make(sw, sh);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) reinterpret_cast<std::uint32_t*>(src->row(y))[x] = std::uint32_t(y * 1000 + x);
    using O = AVCaptureVideoOrientation;
    for (O o : {O::LandscapeRight, O::LandscapeLeft, O::Portrait, O::PortraitUpsideDown})
        for (bool mirrored : {false, true}) {
            auto size = orientedDimensions({sw, sh}, o);
            auto dst = CVPixelBuffer::make(std::size_t(size.width), std::size_t(size.height));
            ASSERT_TRUE(orientPixelBuffer(*src, *dst, o, mirrored));
            for (int y = 0; y < size.height; ++y)
                for (int x = 0; x < size.width; ++x) {
                    int mx = mirrored ? size.width - 1 - x : x;  // mirrored after turning
                    int sx = 0, sy = 0;
                    switch (o) {
                        case O::LandscapeRight: sx = mx, sy = y; break;
                        case O::LandscapeLeft: sx = sw - 1 - mx, sy = sh - 1 - y; break;
                        case O::Portrait: sx = y, sy = sh - 1 - mx; break;
                        case O::PortraitUpsideDown: sx = sw - 1 - y, sy = mx; break;
                    }
                    ASSERT_EQ(reinterpret_cast<const std::uint32_t*>(dst->row(y))[x], std::uint32_t(sy * 1000 + sx))
                        << "orientation " << int(o) << (mirrored ? " mirrored" : "") << " at " << x << "," << y;
                }
        }
}

TEST(FrameScalingTest, StillsFromAPictureHaveTheRequestedSizeAndRefuseEmptySizes) {
    // A 4x2 picture, left half red and right half blue (BGRA).
    auto picture = CVPixelBuffer::make(4, 2);
    for (std::size_t y = 0; y < 2; ++y)
        for (std::size_t x = 0; x < 4; ++x) {
            std::uint8_t* p = picture->row(y) + x * 4;
            p[0] = x < 2 ? 0 : 255, p[1] = 0, p[2] = x < 2 ? 255 : 0, p[3] = 255;
        }
    auto still = makeStillFrom(*picture, {8, 4}, 1.0);
    ASSERT_TRUE(still) << still.error();
    ASSERT_EQ((*still)->width(), 8u);
    ASSERT_EQ((*still)->height(), 4u);
    EXPECT_GT((*still)->row(2)[0 * 4 + 2], 200) << "left edge stays red";
    EXPECT_GT((*still)->row(2)[7 * 4 + 0], 200) << "right edge stays blue";
    for (CMVideoDimensions empty : {CMVideoDimensions{0, 4}, CMVideoDimensions{8, 0}, CMVideoDimensions{-8, 4}})
        EXPECT_FALSE(makeStillFrom(*picture, empty, 1.0)) << empty.width << "x" << empty.height;
}

TEST(FrameScalingTest, EqualSizesCopyRowsAndOtherSizesCoverTheFrameAboutItsCentre) {
    // 64 x 48 of distinct values in every channel, rows padded.
    auto picture = CVPixelBuffer::make(64, 48);
    for (std::size_t y = 0; y < 48; ++y)
        for (std::size_t x = 0; x < 64; ++x) {
            std::uint8_t* p = picture->row(y) + x * 4;
            p[0] = std::uint8_t(x * 4), p[1] = std::uint8_t(y * 5), p[2] = std::uint8_t(x + y), p[3] = 255;
        }
    auto same = CVPixelBuffer::make(64, 48);
    fillFrameFrom(bgraView(*picture), *same, 1.0);
    for (std::size_t y = 0; y < 48; ++y) ASSERT_EQ(std::memcmp(same->row(y), picture->row(y), 64 * 4), 0) << y;

    // Half the size: every pixel samples the middle of the 2 x 2 it covers, their mean (within a
    // level of rounding).
    auto half = CVPixelBuffer::make(32, 24);
    fillFrameFrom(bgraView(*picture), *half, 1.0);
    for (std::size_t y = 0; y < 24; y += 5)
        for (std::size_t x = 0; x < 32; x += 3)
            for (std::size_t c = 0; c < 4; ++c) {
                int sum = 0;
                for (std::size_t dy = 0; dy < 2; ++dy)
                    for (std::size_t dx = 0; dx < 2; ++dx) sum += picture->row(2 * y + dy)[(2 * x + dx) * 4 + c];
                EXPECT_NEAR(half->row(y)[x * 4 + c], sum / 4.0, 1.0) << x << "," << y << " channel " << c;
            }

    // Zoomed twice at the same size: the middle half of the picture, pixel (16, 12) at the top left.
    auto zoomed = CVPixelBuffer::make(64, 48);
    fillFrameFrom(bgraView(*picture), *zoomed, 2.0);
    EXPECT_NEAR(zoomed->row(0)[0], 16 * 4, 3);
    EXPECT_NEAR(zoomed->row(0)[1], 12 * 5, 4);
    EXPECT_NEAR(zoomed->row(47)[63 * 4], 47 * 4, 3);
    // A square frame from the wide picture: its middle 48 columns.
    auto square = CVPixelBuffer::make(48, 48);
    fillFrameFrom(bgraView(*picture), *square, 1.0);
    for (std::size_t y = 0; y < 48; y += 7) EXPECT_EQ(std::memcmp(square->row(y), picture->row(y) + 8 * 4, 48 * 4), 0);
}
