// The view base's hooks, the scroll handler's events on the virtual clock, and the restored
// scroll position.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_scroll_view.h"
#include "tests/ui/ui_test_support.h"
#include "ui/layout/auto_scroll.h"
#include "ui/layout/my_view.h"
#include "ui/layout/scroll_handler.h"

namespace {

struct CountingView : MyView {
    KORVA_MAKE(CountingView)
    int setups = 0, relayouts = 0;
    CGSize sizeAtRelayout;
    void setup() override { ++setups; }
    void relayout() override {
        ++relayouts;
        sizeAtRelayout = bounds().size;
    }
};

using SmallViews = ToolkitTest;

TEST_F(SmallViews, SetupOnceAtCreationRelayoutOnceAtFirstLayout) {
    auto view = CountingView::make();
    EXPECT_EQ(view->setups, 1);
    EXPECT_EQ(view->relayouts, 0);
    window->addSubview(view);
    view->setFrame(CGRectMake(0, 0, 120, 40));
    for (int i = 0; i < 3; ++i) {
        view->setNeedsLayout();
        window->layoutIfNeeded();
    }
    EXPECT_EQ(view->setups, 1);
    EXPECT_EQ(view->relayouts, 1);
    EXPECT_TRUE(view->layouted());
    EXPECT_EQ(view->sizeAtRelayout, (CGSize{120, 40}));
}

struct Events : ScrollHandlerDelegate {
    int started = 0, stopped = 0, reachingEnd = 0;
    void onScrollHandlerStarted(ScrollHandler&) override { ++started; }
    void onScrollHandlerStopped(ScrollHandler&) override { ++stopped; }
    void onScrollHandlerReachingEnd(ScrollHandler&) override { ++reachingEnd; }
};

TEST_F(SmallViews, ScrollHandlerStopsOnceAQuietPeriodAfterTheLastScroll) {
    auto handler = ScrollHandler::make();
    auto events = std::make_shared<Events>();
    handler->setDelegate(events);
    auto scroll = UIScrollView::make(CGRectMake(0, 0, 100, 300));
    scroll->setContentSize(CGSize{100, 5000});
    for (int i = 0; i < 20; ++i) {  // a second of scrolling, one callback every 50 ms
        handler->scrollViewDidScroll(*scroll);
        advance(0.05);
    }
    EXPECT_EQ(events->started, 20);
    EXPECT_EQ(events->stopped, 0);
    advance(0.2);
    EXPECT_EQ(events->stopped, 0) << "0.25 s after the last callback";
    advance(0.06);
    EXPECT_EQ(events->stopped, 1);
    advance(1);
    EXPECT_EQ(events->stopped, 1);
    EXPECT_FALSE(handler->isScrolling());
}

TEST_F(SmallViews, ReachingTheEndMeansFewerThan200PointsLeft) {
    auto handler = ScrollHandler::make();
    auto events = std::make_shared<Events>();
    handler->setDelegate(events);
    auto scroll = UIScrollView::make(CGRectMake(0, 0, 100, 300));
    scroll->setContentSize(CGSize{100, 1000});
    scroll->setContentOffset(CGPoint{0, 500});  // exactly 200 left
    handler->scrollViewDidScroll(*scroll);
    EXPECT_EQ(events->reachingEnd, 0);
    scroll->setContentOffset(CGPoint{0, 500.5});
    handler->scrollViewDidScroll(*scroll);
    EXPECT_EQ(events->reachingEnd, 1);
}

TEST_F(SmallViews, AutoScrollRestoresOnlyWhatWasRemembered) {
    auto scroll = UIScrollView::make(CGRectMake(0, 0, 100, 300));
    scroll->setContentSize(CGSize{100, 2000});
    auto restore = AutoScroll::make();
    scroll->setContentOffset(CGPoint{0, 120});
    restore->autoScroll1(scroll);
    scroll->setContentOffset(CGPoint{0, 40});
    advance(0.02);
    EXPECT_EQ(scroll->contentOffset().y, 40) << "nothing was remembered";

    scroll->setContentOffset(CGPoint{0, 300});
    restore->autoScroll0(*scroll);
    scroll->setContentOffset(CGPoint{0, 0});
    restore->autoScroll1(scroll);
    EXPECT_EQ(scroll->contentOffset().y, 0) << "not yet";
    advance(0.02);
    EXPECT_EQ(scroll->contentOffset().y, 300);
    scroll->setContentOffset(CGPoint{0, 10});
    restore->autoScroll1(scroll);
    advance(0.02);
    EXPECT_EQ(scroll->contentOffset().y, 10) << "a second restore changes nothing";
}

}  // namespace
