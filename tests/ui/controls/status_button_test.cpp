// The stopwatch dial's arc, taps that land anywhere on a status button, the selection tint, and
// the filter-name tag's layout.
#include <gtest/gtest.h>

#include <numbers>

#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/label_status_button.h"
#include "ui/controls/status_button_image.h"
#include "ui/controls/status_button_path.h"
#include "ui/theme/image_custom.h"
#include "widgets/scroll/scroll_label.h"

namespace {

using StatusButtons = PopupTest;

// Whether the dial's path has an arc, and the angle round the centre where it ends.
struct Reach {
    bool arc = false;
    double lastAngle = 0;
};
Reach reach(const CGPath& path) {
    Reach r;
    path.apply([&](const CGPathElement& e) {
        if (e.type == CGPathElementType::AddCurveToPoint) {
            r.arc = true;
            const CGPoint p = e.points[2];
            r.lastAngle = std::atan2(p.y, p.x);
        }
    });
    return r;
}

TEST_F(StatusButtons, TheDialShowsTheFractionAsAnArcAndKeepsOneLayer) {
    auto timer = StatusButtonTimer::make();
    EXPECT_EQ(timer->percent(), 1);
    for (double p : {0.0, -0.5}) {
        timer->setPercent(p);
        EXPECT_FALSE(reach(*timer->clo()->path()).arc) << "only the tick at " << p;
    }
    timer->setPercent(1);
    const double full = reach(*timer->clo()->path()).lastAngle;
    EXPECT_NEAR(full, 1.4 * std::numbers::pi - 2 * std::numbers::pi, 1e-4) << "342 degrees from 12 o'clock";
    timer->setPercent(0.25);
    EXPECT_NEAR(reach(*timer->clo()->path()).lastAngle, -std::numbers::pi / 2 + 0.25 * 1.9 * std::numbers::pi, 1e-4);
    timer->setPercent(1.1);
    EXPECT_TRUE(reach(*timer->clo()->path()).arc) << "above 1 the arc runs further";
    EXPECT_EQ(timer->shape()->layer()->sublayers().size(), 1u);
    EXPECT_EQ(timer->clo()->position(), (CGPoint{10, 10}));
}

TEST_F(StatusButtons, OneActionPerTapWhereverItLands) {
    auto image = StatusButtonImage::make(imageColor(UIColor::whiteColor(), {20, 20}));
    image->setFrame({{100, 200}, {60, 40}});
    root()->addSubview(image);
    int actions = 0;
    image->addTarget([&] { ++actions; });
    image->setTitle("OFF");
    settle();
    EXPECT_EQ(image->title(), "OFF");
    tap({130, 210});  // the icon
    EXPECT_EQ(actions, 1);
    tap({130, 233});  // the caption
    EXPECT_EQ(actions, 2);
    tap({105, 222});  // the plain corner
    EXPECT_EQ(actions, 3);

    image->setSelected(true);
    EXPECT_TRUE(image->label()->tintColor()->isEqual(*UIColor::orangeColor()));
    image->setSelected(false);
    EXPECT_TRUE(image->label()->tintColor()->isEqual(*UIColor::whiteColor()));
}

TEST_F(StatusButtons, TheTagPlacesItsImageAndCaptionFromTheImageHeight) {
    auto tag = LabelStatusButton::make(imageColor(UIColor::whiteColor(), {15, 15}));
    tag->setFrame({{0, 0}, {200, 30}});
    tag->setTitle("Sepia");
    root()->addSubview(tag);
    settle();
    EXPECT_EQ(tag->iv()->frame(), (CGRect{{7, 7.5}, {15, 15}}));
    EXPECT_EQ(tag->label()->frame().origin.x, 29);
    EXPECT_EQ(tag->label()->frame().origin.x + tag->label()->frame().size.width, 190);
    EXPECT_EQ(tag->label()->text(), "Sepia");
}

}  // namespace
