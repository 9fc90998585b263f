// Appearance of bars and segmented controls: the toolbar's black style and translucency, segment widths and
// offsets, divider and background images, images in place of titles, momentary selection.
#include "control_test_support.h"
#include "draw_test_support.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/control/ui_segmented_control.h"

namespace {

// The colour at a point of a view drawn alone.
Rgba8 pixel(UIView& view, CGPoint p) {
    CGSize size = view.bounds().size;
    UIGraphicsBeginImageContext(size);
    view.layer()->renderInContext(*UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return pixelAt(image, static_cast<int>(p.x), static_cast<int>(p.y));
}

TEST(BarAppearance, ABlackToolbarIsDrawnDark) {
    auto bar = UIToolbar::make(CGRectMake(0, 0, 200, 44));
    EXPECT_GT(pixel(*bar, {100, 22}).r, 200);
    bar->setBarStyle(UIBarStyle::Black);
    EXPECT_EQ(bar->barStyle(), UIBarStyle::Black);
    EXPECT_LT(pixel(*bar, {100, 22}).r, 50);
    bar->setBarTintColor(UIColor::redColor());
    EXPECT_GT(pixel(*bar, {100, 22}).r, 200) << "a bar tint wins over the style";
}

TEST(BarAppearance, ATranslucentToolbarLetsALittleThroughAndAnOpaqueOneNone) {
    auto bar = UIToolbar::make(CGRectMake(0, 0, 200, 44));
    EXPECT_TRUE(bar->isTranslucent());
    auto seen = pixel(*bar, {100, 22});
    EXPECT_LT(seen.a, 255);
    EXPECT_GT(seen.a, 230);
    bar->setTranslucent(false);
    EXPECT_EQ(pixel(*bar, {100, 22}).a, 255);
    bar->setBarStyle(UIBarStyle::Black);
    EXPECT_EQ(pixel(*bar, {100, 22}).a, 255) << "the black style is opaque too";
    bar->setTranslucent(true);
    EXPECT_LT(pixel(*bar, {100, 22}).a, 255);
}

TEST(BarAppearance, SegmentsTakeFixedWidthsAndShareTheRest) {
    auto c = UISegmentedControl::withItems({"A", "B", "C"});
    c->setFrame(CGRectMake(0, 0, 200, 30));
    c->setWidth(40, 0);
    c->setWidth(-5, 1);
    EXPECT_EQ(c->widthForSegmentAtIndex(1), 0);
    EXPECT_EQ(c->rectForSegmentAtIndex(0).size.width, 40);
    EXPECT_EQ(c->rectForSegmentAtIndex(1).size.width, 80);
    EXPECT_EQ(c->rectForSegmentAtIndex(2).origin.x, 120);
    EXPECT_EQ(c->segmentAtPoint({39, 10}), 0);
    EXPECT_EQ(c->segmentAtPoint({41, 10}), 1);
    c->setContentOffset({-4, 0}, 0);
    EXPECT_EQ(c->contentOffsetForSegmentAtIndex(0).width, -4);
    EXPECT_EQ(c->sizeThatFits({0, 0}).width >= 40, true);
}

TEST(BarAppearance, ImagesReplaceTitlesAndBackgroundsReplaceTheBezel) {
    auto c = UISegmentedControl::withItems({"Previous", "Next"});
    c->setFrame(CGRectMake(0, 0, 80, 30));
    auto arrow = solidImage({10, 10});
    c->setImage(arrow, 0);
    EXPECT_EQ(c->imageForSegmentAtIndex(0), arrow);
    EXPECT_FALSE(c->titleForSegmentAtIndex(0));
    EXPECT_EQ(pixel(*c, {20, 15}).r, 255) << "the image is drawn in the segment";
    auto clear = solidImage({4, 4}, CGColor::rgb(0, 0, 1, 1));
    c->setBackgroundImage(clear, UIControlStateNormal);
    EXPECT_EQ(c->backgroundImageForState(UIControlStateDisabled), clear) << "normal stands in for other states";
    EXPECT_EQ(pixel(*c, {2, 2}).b, 255);
    c->setDividerImage(solidImage({2, 30}, CGColor::rgb(0, 1, 0, 1)));
    EXPECT_EQ(pixel(*c, {40, 15}).g, 255);
}

struct MomentaryTest : GestureTouchTest {};

TEST_F(MomentaryTest, AMomentaryControlShowsTheTappedSegmentWhileItsActionRuns) {
    auto c = UISegmentedControl::withItems({"A", "B"});
    c->setFrame(CGRectMake(0, 0, 100, 30));
    c->setMomentary(true);
    window->addSubview(c);
    std::vector<long> seen;
    c->addAction([&](UIControl&) { seen.push_back(c->selectedSegmentIndex()); }, UIControlEventValueChanged);
    tap({75, 15});
    tap({25, 15});
    EXPECT_EQ(seen, (std::vector<long>{1, 0}));
    EXPECT_EQ(c->selectedSegmentIndex(), UISegmentedControlNoSegment);
}

}  // namespace
