// The loading caption's detail line, the image slot's ring and taps, and the flashed message's
// pill, its landscape form and its fade.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/controls/loading_views.h"
#include "ui/controls/message_view.h"
#include "ui/theme/image_custom.h"
#include "widgets/progress/ring_progress_view.h"

namespace {

using LoadingViews = PopupTest;

TEST_F(LoadingViews, TheDetailLineGrowsTheCaption) {
    auto view = LoadingProgView::make();
    root()->addSubview(view);
    settle();
    EXPECT_EQ(view->label()->text(), "Loading...");
    EXPECT_EQ(view->label()->frame().size.height, 20);
    view->setDetailText("3 of 10");
    settle();
    EXPECT_EQ(view->label()->text(), "Loading...\n3 of 10");
    EXPECT_EQ(view->label()->frame().size.height, 30);
    view->setDetailText("");
    settle();
    EXPECT_EQ(view->label()->frame().size.height, 20);
    EXPECT_EQ(view->prog()->frame().origin.y, view->label()->frame().origin.y + 20 + 5);
}

struct Taps : LoadingImageViewDelegate {
    int taps = 0;
    void onLoadingImageViewTap(LoadingImageView&) override { ++taps; }
};

TEST_F(LoadingViews, TheImageSlotSpinsUntilItsImageAndTakesTapsOnlyWithADelegate) {
    auto slot = LoadingImageView::make();
    slot->set(nullptr);
    EXPECT_TRUE(slot->iv()->isHidden());
    EXPECT_FALSE(slot->pro()->isHidden());
    slot->set(imageColor(UIColor::redColor(), {10, 10}));
    EXPECT_FALSE(slot->iv()->isHidden());
    EXPECT_TRUE(slot->pro()->isHidden());

    auto taps = std::make_shared<Taps>();
    slot->setDelegate(taps);
    EXPECT_EQ(UIViewGestureRecognizers(*slot).size(), 1u);
    slot->setDelegate(taps);
    EXPECT_EQ(UIViewGestureRecognizers(*slot).size(), 1u);
    slot->setDelegate(nullptr);
    EXPECT_TRUE(UIViewGestureRecognizers(*slot).empty());

    Value row = Value::dictionary();
    auto sized = LoadingView::make(CGRect{{0, 0}, {100.2, 40}});
    LoadingView::recalc(row, *sized);
    EXPECT_EQ(row["width"], Value(101.0));
    EXPECT_EQ(row["height"], Value(std::int64_t(30)));
}

TEST_F(LoadingViews, AMessageIsAPillThatSwapsItsSidesInLandscapeAndFades) {
    auto parent = UIView::make(CGRect{{0, 0}, {300, 400}});
    root()->addSubview(parent);
    auto message = MessageView::make(parent, UIFont::systemFontOfSize(15), UIFont::systemFontOfSize(30));
    message->showNormal("1", false);
    const CGRect dot = message->label()->frame();
    EXPECT_EQ(dot.size.width, dot.size.height) << "a narrow text is a circle";
    EXPECT_EQ(CGRectGetMidX(dot), 150);
    EXPECT_EQ(message->label()->alpha(), 0) << "the model fades at once; the screen holds 0.6 for a second";

    message->showBig("Photo saved", false);
    const CGRect wide = message->label()->frame();
    message->showBig("Photo saved", true);
    EXPECT_EQ(message->label()->frame().size, (CGSize{wide.size.height, wide.size.width}));
    EXPECT_EQ(message->label()->layer()->cornerRadius(), wide.size.height / 2);
    advance(2);
    message->hideNow();
    EXPECT_TRUE(message->label()->isHidden());
}

}  // namespace
