// The synthetic camera's picture answers the controls: exposure x ISO, white balance, focus, zoom.
#include "platform/capture/synthetic_scene.h"

#include <cmath>
#include <cstring>

#include "capture_test_support.h"

namespace {

struct Stats {
    double mean[3] = {0, 0, 0};  // r, g, b
    double sharpness = 0;        // mean squared horizontal step (blur spreads edges, lowering it)
};

Stats measure(const CVPixelBuffer& f) {
    Stats s;
    double n = double(f.width() * f.height());
    for (std::size_t y = 0; y < f.height(); ++y) {
        const std::uint8_t* row = f.row(y);
        for (std::size_t x = 0; x < f.width(); ++x) {
            s.mean[0] += row[x * 4 + 2], s.mean[1] += row[x * 4 + 1], s.mean[2] += row[x * 4];
            if (x > 0) {
                int step = int(row[x * 4 + 1]) - int(row[(x - 1) * 4 + 1]);
                s.sharpness += step * step;
            }
        }
    }
    for (double& m : s.mean) m /= n;
    s.sharpness /= n;
    return s;
}

CVPixelBufferRef frameOf(const std::shared_ptr<AVCaptureDevice>& d, int w = 320, int h = 180) {
    auto f = CVPixelBuffer::make(std::size_t(w), std::size_t(h));
    auto& drv = dynamic_cast<SyntheticCameraDriver&>(d->driver());
    renderSyntheticScene(*f, drv.sceneParams(0));
    return f;
}

double luma(const Stats& s) {
    return 0.299 * s.mean[0] + 0.587 * s.mean[1] + 0.114 * s.mean[2];
}

}  // namespace

TEST_F(CaptureTest, BrightnessFollowsExposureDurationTimesIso) {
    auto d = back();
    ASSERT_TRUE(d->lockForConfiguration());
    ASSERT_TRUE(d->setExposureModeCustomWithDuration(CMTimeMake(1, 120), 100));
    double dark = luma(measure(*frameOf(d)));
    ASSERT_TRUE(d->setExposureModeCustomWithDuration(CMTimeMake(1, 60), 100));
    auto longer = measure(*frameOf(d));
    ASSERT_TRUE(d->setExposureModeCustomWithDuration(CMTimeMake(1, 120), 200));
    auto higherIso = measure(*frameOf(d));
    d->unlockForConfiguration();
    EXPECT_GT(luma(longer), dark + 20);
    // Only the product counts: half the time at twice the ISO gives the same picture.
    EXPECT_NEAR(luma(longer), luma(higherIso), 0.01);

    // At a correct exposure the ramp's 18% grey encodes as sRGB 118, neutral.
    SyntheticSceneParams p;
    auto g = CVPixelBuffer::make(400, 300);
    renderSyntheticScene(*g, p);
    // Bottom ramp, fourth step is 18% grey.
    const std::uint8_t* ramp = g->row(280) + (400 * 3 / 8 + 10) * 4;
    EXPECT_EQ(ramp[0], syntheticEncode(0.18));
    EXPECT_EQ(ramp[1], ramp[2]);
}

TEST_F(CaptureTest, WhiteBalanceGainsAwayFromTheSceneGiveAColourCast) {
    auto d = back();
    ASSERT_TRUE(d->lockForConfiguration());
    auto neutral = d->deviceWhiteBalanceGainsForTemperatureAndTintValues({5500, 0});
    ASSERT_TRUE(d->setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains(neutral));
    auto n = measure(*frameOf(d));
    auto warm = neutral;
    warm.redGain = std::min(d->maxWhiteBalanceGain(), warm.redGain * 1.5f);
    ASSERT_TRUE(d->setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains(warm));
    auto w = measure(*frameOf(d));
    d->unlockForConfiguration();
    EXPECT_NEAR(n.mean[0], n.mean[2], 12) << "neutral gains keep the chart balanced";
    EXPECT_GT(w.mean[0] - w.mean[2], n.mean[0] - n.mean[2] + 15);
    EXPECT_NEAR(w.mean[1], n.mean[1], 0.5);
}

TEST_F(CaptureTest, LensPositionAwayFromTheSceneBlursAndZoomMagnifies) {
    auto d = back();
    float sharpAt = synthetic(d).script().sceneFocusPosition;
    ASSERT_TRUE(d->lockForConfiguration());
    ASSERT_TRUE(d->setFocusModeLockedWithLensPosition(sharpAt));
    double sharp = measure(*frameOf(d)).sharpness;
    ASSERT_TRUE(d->setFocusModeLockedWithLensPosition(0.0f));
    double blurred = measure(*frameOf(d)).sharpness;
    EXPECT_LT(blurred, sharp * 0.3);

    // The first bar boundary sits at 1/8 of the width at 1x and moves out with zoom.
    auto boundary = [&] {
        auto f = frameOf(d, 800, 100);
        const std::uint8_t* row = f->row(5);
        for (int x = 1; x < 800; ++x)
            if (row[x * 4] != row[(x - 1) * 4]) return x;
        return -1;
    };
    ASSERT_TRUE(d->setFocusModeLockedWithLensPosition(sharpAt));
    EXPECT_EQ(boundary(), 100);
    ASSERT_TRUE(d->setVideoZoomFactor(2.0));
    EXPECT_EQ(boundary(), 200) << "bars twice as wide, the view centred";
    d->unlockForConfiguration();
}

// A pooled frame comes back with its last picture: redrawing only what moved gives the same frame
// as drawing it whole, whatever it held before (another time, light, zoom or a blurred picture).
TEST(SyntheticSceneTest, RedrawingAFrameGivesTheSamePictureAsDrawingItAfresh) {
    auto reused = CVPixelBuffer::make(320, 180);
    SyntheticSceneParams p;
    auto check = [&](const char* what) {
        auto fresh = CVPixelBuffer::make(320, 180);
        renderSyntheticScene(*fresh, p);
        renderSyntheticScene(*reused, p);
        for (std::size_t y = 0; y < 180; ++y)
            ASSERT_EQ(std::memcmp(fresh->row(y), reused->row(y), 320 * 4), 0) << what << ", row " << y;
    };
    for (double t : {0.0, 1.0, 1.5, 7.9}) {
        p.time = t;
        check("the square moved");
    }
    p.exposure = 0.5;
    check("darker");
    p.zoom = 2;
    check("zoomed");
    p.time = 3;
    p.blurFraction = 0.01;
    check("blurred");
    p.blurFraction = 0;
    check("sharp again");
}
