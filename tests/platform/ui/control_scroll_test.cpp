// The scroll view: offsets and their delegate reports, dragging, bouncing, deceleration and paging
// on the virtual clock, animated offsets, scrollRectToVisible, buttons inside it and going to the top
// at a tap on the status bar.
#include <gtest/gtest.h>

#include "control_test_support.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/control/ui_slider.h"

namespace {

struct Watcher : UIScrollViewDelegate {
    std::vector<std::string> log;
    int scrolls = 0;
    std::optional<CGPoint> forcedTarget;
    std::optional<bool> toTop;  // the answer to a status-bar tap; none: no say
    void scrollViewDidScroll(UIScrollView&) override { ++scrolls; }
    void scrollViewWillBeginDragging(UIScrollView&) override { log.push_back("willDrag"); }
    void scrollViewWillEndDragging(UIScrollView&, CGPoint, CGPoint* target) override {
        log.push_back("willEndDrag");
        if (forcedTarget) *target = *forcedTarget;
    }
    void scrollViewDidEndDragging(UIScrollView&, bool decelerate) override {
        log.push_back(decelerate ? "endDrag+" : "endDrag");
    }
    void scrollViewWillBeginDecelerating(UIScrollView&) override { log.push_back("decel"); }
    void scrollViewDidEndDecelerating(UIScrollView&) override { log.push_back("endDecel"); }
    void scrollViewDidEndScrollingAnimation(UIScrollView&) override { log.push_back("endAnim"); }
    std::optional<bool> scrollViewShouldScrollToTop(UIScrollView&) override {
        log.push_back("shouldTop");
        return toTop;
    }
    void scrollViewDidScrollToTop(UIScrollView&) override { log.push_back("didTop"); }
};

struct ControlScrollTest : GestureTouchTest {
    void SetUp() override {
        GestureTouchTest::SetUp();
        scroll = UIScrollView::make(CGRect{{0, 0}, {320, 480}});
        scroll->setContentSize({320, 2000});
        watcher = std::make_shared<Watcher>();
        scroll->setDelegate(watcher);
        window->addSubview(scroll);
    }
    std::shared_ptr<UIScrollView> scroll;
    std::shared_ptr<Watcher> watcher;
};

}  // namespace

TEST_F(ControlScrollTest, OffsetRangeFollowsContentAndInsetsAndEveryChangeIsReported) {
    EXPECT_EQ(scroll->maximumContentOffset(), (CGPoint{0, 1520}));
    scroll->setContentInset({10, 0, 30, 0});
    EXPECT_EQ(scroll->minimumContentOffset(), (CGPoint{0, -10}));
    EXPECT_EQ(scroll->maximumContentOffset(), (CGPoint{0, 1550}));
    scroll->setContentOffset({0, 100});
    scroll->setContentOffset({0, 100});  // unchanged: not reported
    EXPECT_EQ(watcher->scrolls, 1);
    EXPECT_EQ(scroll->bounds().origin, (CGPoint{0, 100}));
    scroll->setContentOffset({NAN, 5});
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 100}));
    scroll->setContentSize({100, 100});  // smaller than the view: nothing to scroll
    EXPECT_EQ(scroll->maximumContentOffset(), scroll->minimumContentOffset());
}

TEST_F(ControlScrollTest, AnimatedOffsetReportsEveryFrameAndEndsOnTarget) {
    scroll->setContentOffset({0, 300}, true);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 0}));
    advance(0.15);
    double mid = scroll->contentOffset().y;
    EXPECT_GT(mid, 50);
    EXPECT_LT(mid, 250);
    advance(0.3);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 300}));
    EXPECT_GE(watcher->scrolls, 15);
    EXPECT_EQ(watcher->log, std::vector<std::string>{"endAnim"});
    // scrollRectToVisible moves the least distance, and not at all for a visible rectangle.
    scroll->scrollRectToVisible({{0, 900}, {320, 100}}, false);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 520}));
    scroll->scrollRectToVisible({{0, 600}, {320, 100}}, false);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 520}));
    scroll->scrollRectToVisible({{0, 100}, {10, 10}}, false);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 100}));
    scroll->scrollRectToVisible({{0, 5000}, {10, 10}}, false);  // beyond the content: clamped
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 1520}));
}

TEST_F(ControlScrollTest, DragMovesTheContentAndAFlingDeceleratesOnTheClock) {
    // A slow drag that rests before lifting: no deceleration.
    drag({160, 400}, {160, 200}, 1.0, 20, false);
    EXPECT_TRUE(scroll->isDragging());
    // The content follows from the moment the drag is recognised (10 points in), without a jump.
    EXPECT_NEAR(scroll->contentOffset().y, 190, 1e-6);
    advance(0.3);
    send(1, {160, 200}, UITouchPhase::Ended);
    EXPECT_EQ(watcher->log, (std::vector<std::string>{"willDrag", "willEndDrag", "endDrag"}));
    EXPECT_FALSE(scroll->isDragging());

    // A fling keeps going after the finger lifts, slows down and stops inside the content.
    watcher->log.clear();
    drag({160, 400}, {160, 200}, 0.1, 5);
    double atLift = scroll->contentOffset().y;
    EXPECT_TRUE(scroll->isDecelerating());
    advance(0.5);
    double later = scroll->contentOffset().y;
    EXPECT_GT(later, atLift + 100);
    advance(5);
    EXPECT_FALSE(scroll->isDecelerating());
    EXPECT_LE(scroll->contentOffset().y, 1520);
    EXPECT_EQ(watcher->log, (std::vector<std::string>{"willDrag", "willEndDrag", "endDrag+", "decel", "endDecel"}));

    // An offset set in code ends a fling where it is set.
    drag({160, 400}, {160, 200}, 0.1, 5);
    advance(0.2);
    ASSERT_TRUE(scroll->isDecelerating());
    scroll->setContentOffset({0, 300});
    EXPECT_FALSE(scroll->isDecelerating());
    EXPECT_EQ(watcher->log.back(), "endDecel");
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 300}));
}

TEST_F(ControlScrollTest, PullingPastTheEdgeRubberBandsAndBouncesBack) {
    drag({160, 100}, {160, 300}, 0.5, 10, false);
    EXPECT_NEAR(scroll->contentOffset().y, -90, 1e-6);  // half of the pull after recognition
    advance(0.3);
    send(1, {160, 300}, UITouchPhase::Ended);
    EXPECT_TRUE(scroll->isDecelerating());
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 0}));
    // Without bounces the offset stops at the edge.
    scroll->setBounces(false);
    drag({160, 100}, {160, 300}, 0.5, 10);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 0}));
}

TEST_F(ControlScrollTest, PagingLandsOnPagesAndTheDelegateMayMoveTheTarget) {
    scroll->setContentSize({320 * 4, 480});
    scroll->setPagingEnabled(true);
    drag({300, 200}, {150, 200}, 0.5, 10);  // a slow drag of more than half a page
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{320, 0}));
    drag({200, 200}, {150, 200}, 0.05, 2);  // a short flick still turns the page
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{640, 0}));
    scroll->setPagingEnabled(false);
    watcher->forcedTarget = CGPoint{100, 0};
    drag({200, 200}, {150, 200}, 0.05, 2);
    advance(4);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{100, 0}));
}

TEST_F(ControlScrollTest, ButtonsInsideScrollOnDragAndTapOnTap) {
    auto button = UIButton::buttonWithType(UIButtonType::System);
    button->setFrame({{0, 100}, {320, 200}});
    scroll->addSubview(button);
    std::vector<std::string> log;
    logEvents(*button, log);
    tap({160, 200});
    EXPECT_EQ(log, (std::vector<std::string>{"down", "upIn", "primary"}));
    log.clear();
    advance(1);
    drag({160, 250}, {160, 150}, 0.5, 10);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "cancel"}));
    EXPECT_GT(scroll->contentOffset().y, 50);
    // A touch on a moving scroll view stops it.
    drag({160, 400}, {160, 200}, 0.1, 5);
    advance(0.2);
    EXPECT_TRUE(scroll->isDecelerating());
    send(1, {160, 300}, UITouchPhase::Began);
    EXPECT_FALSE(scroll->isDecelerating());
    double stopped = scroll->contentOffset().y;
    advance(1);
    EXPECT_EQ(scroll->contentOffset().y, stopped);
    send(1, {160, 300}, UITouchPhase::Ended);
}

TEST_F(ControlScrollTest, DragsAlongAnAxisThatCannotScrollStayWithTheContent) {
    scroll->setScrollEnabled(false);
    drag({160, 400}, {160, 200});
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 0}));
    EXPECT_TRUE(watcher->log.empty());
    // A sideways drag on a slider in a vertical list moves the slider, not the list.
    scroll->setScrollEnabled(true);
    auto slider = UISlider::make(CGRect{{10, 100}, {228, 34}});
    scroll->addSubview(slider);
    advance(1);
    drag({24, 117}, {224, 120}, 0.2, 10);
    EXPECT_FLOAT_EQ(slider->value(), 1);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 0}));
}

TEST_F(ControlScrollTest, AStatusBarTapTakesTheFrontmostScrollViewToTheTopOfItsInsetWhenAllowed) {
    // One drawn over it is passed over: its scrollsToTop is off.
    auto front = UIScrollView::make(CGRect{{0, 240}, {320, 240}});
    front->setContentSize({320, 1000});
    front->setContentOffset({0, 300});
    front->setScrollsToTop(false);
    window->addSubview(front);
    scroll->setContentInset({40, 0, 0, 0});
    scroll->setContentOffset({0, 600});
    watcher->toTop = false;
    UIApplication::sharedApplication()->statusBarTapped();
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, 600}));
    watcher->toTop = true;
    UIApplication::sharedApplication()->statusBarTapped();
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{0, -40}));
    EXPECT_EQ(front->contentOffset(), (CGPoint{0, 300}));
    EXPECT_EQ(watcher->log, (std::vector<std::string>{"shouldTop", "shouldTop", "didTop"}));
}
