// View geometry and utilities: corners through a turn, list ends, the refresh pull, icon-font bar
// items, item fonts, the drawable surface, the loading badge, the blink and words in a text view.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/system_services.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_refresh_control.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "tests/ui/ui_test_support.h"
#include "ui/layout/bar_button_item_custom.h"
#include "ui/layout/scroll_view_custom.h"
#include "ui/layout/view_custom_geometry.h"
#include "ui/theme/font.h"

namespace {

using Geometry = ToolkitTest;

void expectNear(CGPoint a, CGPoint b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
}

TEST_F(Geometry, CornersFollowTheTransform) {
    auto view = UIView::make(CGRectMake(10, 20, 40, 20));
    expectNear(newTopLeft(*view), {10, 20});
    expectNear(newBottomRight(*view), {50, 40});
    // A quarter turn about the centre (30, 30): each corner moves a quarter about it.
    view->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    expectNear(newTopLeft(*view), {40, 10});
    expectNear(newTopRight(*view), {40, 50});
    expectNear(newBottomLeft(*view), {20, 10});
    expectNear(newBottomRight(*view), {20, 50});
    EXPECT_EQ(originalFrame(*view), CGRectMake(10, 20, 40, 20));
    EXPECT_EQ(view->transform(), CGAffineTransformMakeRotation(M_PI / 2));
    EXPECT_EQ(imageByRenderingView(*view)->size(), (CGSize{40, 20}));
}

TEST_F(Geometry, ListEnds) {
    auto scroll = UIScrollView::make(CGRectMake(0, 0, 100, 300));
    scroll->setContentSize(CGSize{100, 100});
    EXPECT_TRUE(isAlreadyTop(*scroll));
    EXPECT_TRUE(isAlreadyBottom(*scroll)) << "short content is at its bottom";
    scroll->setContentSize(CGSize{100, 1000});
    EXPECT_FALSE(isAlreadyBottom(*scroll));
    scrollToBottom(*scroll, false);
    EXPECT_TRUE(isAlreadyBottom(*scroll));
    EXPECT_FALSE(isAlreadyTop(*scroll));
    scrollToTop(*scroll, false);
    EXPECT_TRUE(isAlreadyTop(*scroll));
    EXPECT_EQ(scroll->flashCount(), 2);
}

TEST_F(Geometry, RefreshPullOnlyOnAMacAndPast60) {
    auto scroll = UIScrollView::make(CGRectMake(0, 0, 100, 300));
    auto control = UIRefreshControl::make();
    int changes = 0;
    control->addAction([&](UIControl&) { ++changes; }, UIControlEventValueChanged);
    scroll->setBounds(CGRectMake(0, -80, 100, 300));
    scrollViewDidScroll(*control, *scroll);
    EXPECT_FALSE(control->isRefreshing()) << "not on a Mac";
    SystemServices::shared()->setiOSAppOnMac(true);
    scroll->setBounds(CGRectMake(0, -60, 100, 300));
    scrollViewDidScroll(*control, *scroll);
    EXPECT_FALSE(control->isRefreshing()) << "exactly 60 is not past";
    scroll->setBounds(CGRectMake(0, -61, 100, 300));
    scrollViewDidScroll(*control, *scroll);
    EXPECT_TRUE(control->isRefreshing());
    scrollViewDidScroll(*control, *scroll);
    EXPECT_EQ(changes, 1) << "once while refreshing";
}

TEST_F(Geometry, BarItemsFromTheIconFont) {
    using S = UIBarButtonSystemItem;
    EXPECT_EQ(barButtonGlyph(S::Add), 0xF067);
    EXPECT_EQ(barButtonGlyph(S::Action), 0xF045);
    EXPECT_EQ(barButtonGlyph(S::Search), 0xF002);
    EXPECT_EQ(barButtonGlyph(S::Refresh), 0xF0E2);
    for (S other : {S::Done, S::Cancel, S::Stop, S::Close, S::Compose}) {
        auto item = initWithBarButtonSystemItem1(other, nullptr);
        EXPECT_EQ(item->systemItem(), other);
        EXPECT_EQ(item->image(), nullptr);
    }
    auto add = initWithBarButtonSystemItem1(S::Add, nullptr);
    EXPECT_FALSE(add->systemItem());
    ASSERT_NE(add->image(), nullptr);
    EXPECT_EQ(add->image()->size(), (CGSize{25, 25}));
    EXPECT_EQ(add->style(), UIBarButtonItemStyle::Plain);

    auto font = global()->font()->textFixedSmall1();
    setFont(*add, font);
    for (UIControlState state : {0u, 1u, 2u, 4u})
        EXPECT_EQ(add->titleTextAttributesForState(state).get(NSFontAttributeName).objectAs<UIFont>(), font);
}

TEST_F(Geometry, ImageViewAsADrawableSurface) {
    auto view = UIImageView::make();
    view->setFrame(CGRectMake(0, 0, 99.9, 50.5));
    EXPECT_EQ(drawableWidth(*view), 99);
    EXPECT_EQ(drawableHeight(*view), 50);
    EXPECT_EQ(context(*view), nullptr);
    EXPECT_NE(logoNav(), nullptr);
}

TEST_F(Geometry, LoadingBadgeFollowsTheAppearance) {
    auto find = [](const std::shared_ptr<UIView>& badge) {
        for (const auto& s : badge->subviews())
            if (auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(s)) return spinner;
        return std::shared_ptr<UIActivityIndicatorView>();
    };
    auto light = loading();
    EXPECT_EQ(light->frame().size, (CGSize{60, 60}));
    ASSERT_NE(find(light), nullptr);
    EXPECT_EQ(find(light)->activityIndicatorViewStyle(), UIActivityIndicatorViewStyle::Gray);
    auto label = std::dynamic_pointer_cast<UILabel>(light->subviews().back());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().value_or(""), "Loading...");
    window->addSubview(light);
    window->layoutIfNeeded();
    EXPECT_EQ(find(light)->frame(), CGRectMake(17.5, 5.5, 25, 25)) << "centred, 12 points up";
    EXPECT_EQ(find(light)->layer()->sublayers().front()->position(), (CGPoint{12.5, 12.5})) << "spokes centred";
    EXPECT_EQ(label->frame(), CGRectMake(-20, 27, 100, 30)) << "centred, 12 points down";
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    EXPECT_EQ(find(loading())->activityIndicatorViewStyle(), UIActivityIndicatorViewStyle::White);
}

TEST_F(Geometry, BlinkOnAndOff) {
    auto view = UIView::make(CGRectMake(0, 0, 10, 10));
    EXPECT_FALSE(isBlinking(*view));
    startBlink(*view);
    EXPECT_TRUE(isBlinking(*view));
    stopBlink(*view);
    EXPECT_FALSE(isBlinking(*view));
}

TEST_F(Geometry, WordsInATextView) {
    auto text = UITextView::make(CGRectMake(0, 0, 300, 200));
    text->setText("hello brave world");
    window->addSubview(text);
    settle();
    auto range = calcWordRangeByPosition(*text, {9});
    ASSERT_TRUE(range);
    EXPECT_EQ(*range, (NSRange{6, 5}));
    EXPECT_EQ(textOffsetByPosition(*text, {4}), 4);
    EXPECT_EQ(wordStringByPoint(*text, CGPoint{10, 12}), "hello");
    text->setText("  ");
    EXPECT_FALSE(wordStringByPoint(*text, CGPoint{5, 12}));
}

}  // namespace
