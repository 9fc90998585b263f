// The camera screen's number rules: where the picture sits between the bars, when it is laid out
// again, its fade, the ratio table, the bottom bar's lift, the controls' turn, the zoom scale and
// the target of a new photo's flight.
#include <gtest/gtest.h>

#include <numbers>

#include "camera/screen/preview_layout.h"
#include "camera/screen/screen_geometry.h"

namespace {

// A phone of 375 x 667 points with bars of 50 and 100 and guides of 20 and 0.
PreviewRoom phoneRoom() {
    PreviewRoom room;
    room.view = {375, 667};
    room.topGuide = 20;
    room.bottomGuide = 0;
    room.topBar = 50;
    room.bottomBar = 100;
    return room;
}

}  // namespace

TEST(PreviewPlacement, AFrameWiderThanTheViewSitsBelowTheGuideOrBetweenTheBars) {
    // 3:4 of a 1920x1080 frame: 500 points tall, more than the 497 between the bars.
    auto in = previewInsets({810, 1080}, phoneRoom());
    EXPECT_DOUBLE_EQ(in.dt, 20);
    EXPECT_DOUBLE_EQ(in.db, -147);
    EXPECT_DOUBLE_EQ(in.dl, 0);
    EXPECT_DOUBLE_EQ(in.dr, 0);

    // Square: 375 tall, one third of the spare room above it.
    in = previewInsets({1080, 1080}, phoneRoom());
    EXPECT_NEAR(in.dt, 110.6667, 1e-3);
    EXPECT_NEAR(in.db, -181.3333, 1e-3);
}

TEST(PreviewPlacement, ATallerFrameIsCentredAndAFrameOfTheViewsShapeFillsIt) {
    auto in = previewInsets({500, 1000}, phoneRoom());  // 0.5 against 0.562
    EXPECT_DOUBLE_EQ(in.dl, std::floor((375 - 0.5 * 667) / 2));
    EXPECT_DOUBLE_EQ(in.dr, -in.dl);
    EXPECT_DOUBLE_EQ(in.dt, 0);
    EXPECT_DOUBLE_EQ(in.db, 0);

    in = previewInsets({375, 667}, phoneRoom());
    EXPECT_EQ(in.dl + in.dt + in.dr + in.db, 0);
    // A frame without height is not placed anywhere odd.
    in = previewInsets({375, 0}, phoneRoom());
    EXPECT_EQ(in.dl + in.dt + in.dr + in.db, 0);
}

TEST(PreviewPlacement, OnlyAMoveOfTenPointsOrMoreInSomeValueCountsAsAChange) {
    auto base = FrameKey::of(CGRectMake(0, 0, 810.9, 1080));
    EXPECT_EQ(base.w, 810);
    EXPECT_TRUE(FrameKey::of(CGRectMake(0, 0, 819, 1080)).closeTo(base, 10));
    EXPECT_FALSE(FrameKey::of(CGRectMake(0, 0, 820, 1080)).closeTo(base, 10));
    EXPECT_FALSE(FrameKey::of(CGRectMake(0, -10, 810, 1080)).closeTo(base, 10));
    EXPECT_EQ(FrameKey::of(CGRectMake(-9.9, 0, 1, 1)).x, -9);
}

TEST(PreviewFade, ValuesAlongTheFadeAndItsEnd) {
    auto in = fadeStep(0.25, true);
    EXPECT_FALSE(in.done);
    EXPECT_DOUBLE_EQ(in.alpha, 0.25);
    EXPECT_DOUBLE_EQ(in.sliderAlpha, 0.1);
    EXPECT_TRUE(in.controlsHidden);

    auto half = fadeStep(0.5, true);
    EXPECT_DOUBLE_EQ(half.alpha, 0.5);
    EXPECT_FALSE(half.controlsHidden);

    auto out = fadeStep(0.25, false);
    EXPECT_DOUBLE_EQ(out.alpha, 0.75);

    EXPECT_FALSE(fadeStep(1.0, true).done);
    EXPECT_DOUBLE_EQ(fadeStep(1.0, true).alpha, 1.0);
    EXPECT_TRUE(fadeStep(1.01, true).done);
    EXPECT_TRUE(fadeStep(-0.1, false).done);
}

TEST(ScreenRules, RatioTable) {
    EXPECT_DOUBLE_EQ(ratioWpHForImageRatio(ImageRatio::Ratio1x1), 1.0);
    EXPECT_DOUBLE_EQ(ratioWpHForImageRatio(ImageRatio::Ratio2x3), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(ratioWpHForImageRatio(ImageRatio::Ratio3x4), 0.75);
    EXPECT_DOUBLE_EQ(ratioWpHForImageRatio(ImageRatio::Ratio9x16), 0.5625);
}

TEST(ScreenRules, TheBottomBarRisesWithTheScreensHeight) {
    EXPECT_DOUBLE_EQ(bottomBarOffset(480), 0);
    EXPECT_DOUBLE_EQ(bottomBarOffset(568), 0);
    EXPECT_DOUBLE_EQ(bottomBarOffset(684), -30);
    EXPECT_DOUBLE_EQ(bottomBarOffset(800), -60);
    EXPECT_DOUBLE_EQ(bottomBarOffset(1366), -60);
}

TEST(ScreenRules, ControlsTurnOnlyForTheFourOrientations) {
    EXPECT_FALSE(controlsTurnFor(0));
    EXPECT_FALSE(controlsTurnFor(5));
    auto up = controlsTurnFor(1);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->orientation, 1);
    EXPECT_DOUBLE_EQ(up->angle, 0);
    auto three = controlsTurnFor(3);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->orientation, 4);
    EXPECT_DOUBLE_EQ(three->angle, std::numbers::pi / 2);
    EXPECT_EQ(controlsTurnFor(4)->orientation, 3);
    EXPECT_DOUBLE_EQ(controlsTurnFor(2)->angle, std::numbers::pi);
    EXPECT_TRUE(isLandscapeOrientation(controlsTurnFor(3)->orientation));
    EXPECT_FALSE(isLandscapeOrientation(controlsTurnFor(2)->orientation));
}

TEST(ScreenRules, TheZoomSliderIsCubicAndItsInverseReturns) {
    EXPECT_DOUBLE_EQ(zoomForSlider(0.5, 6.0), 1.625);
    EXPECT_DOUBLE_EQ(zoomForSlider(1.0, 6.0), 6.0);
    EXPECT_DOUBLE_EQ(zoomForSlider(2.0, 6.0), 6.0);
    EXPECT_NEAR(sliderForZoom(1.625, 6.0), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(sliderForZoom(9.0, 6.0), 1.0);
    EXPECT_DOUBLE_EQ(sliderForZoom(0.5, 6.0), 0.0);
    // A camera that cannot zoom keeps the slider at the bottom.
    EXPECT_DOUBLE_EQ(sliderForZoom(1.0, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(sliderForZoom(3.0, 1.0), 0.0);
}

TEST(ScreenRules, TheFlightCoversTheLibraryButtonInTheShotsShape) {
    const CGRect button = CGRectMake(100, 600, 50, 50);
    // A tall picture: full width of the button, centred vertically.
    CGRect t = flightTarget(CGRectMake(0, 70, 375, 500), button, false);
    EXPECT_DOUBLE_EQ(t.size.width, 50);
    EXPECT_NEAR(t.size.height, 66.6667, 1e-3);
    EXPECT_NEAR(t.origin.y, 600 - 8.3333, 1e-3);
    EXPECT_DOUBLE_EQ(t.origin.x, 100);
    // A wide one: full height, centred horizontally.
    t = flightTarget(CGRectMake(0, 0, 400, 200), button, false);
    EXPECT_DOUBLE_EQ(t.size.height, 50);
    EXPECT_DOUBLE_EQ(t.size.width, 100);
    EXPECT_DOUBLE_EQ(t.origin.x, 75);
    // The button's own shape: the button itself.
    t = flightTarget(CGRectMake(3, 4, 20, 20), button, false);
    EXPECT_EQ(t.origin, button.origin);
    EXPECT_EQ(t.size, button.size);
    // Landscape: the start turned about its centre (wide), the target turned back (tall).
    CGRect start = turnedAboutCentre(CGRectMake(0, 70, 375, 500));
    EXPECT_DOUBLE_EQ(start.size.width, 500);
    EXPECT_DOUBLE_EQ(start.origin.x, 375.0 / 2 - 250);
    t = flightTarget(start, button, true);
    EXPECT_DOUBLE_EQ(t.size.width, 50);
    EXPECT_NEAR(t.size.height, 66.6667, 1e-3);
    EXPECT_NEAR(t.origin.x + t.size.width / 2, 125, 1e-9);
    EXPECT_NEAR(t.origin.y + t.size.height / 2, 625, 1e-9);
}
