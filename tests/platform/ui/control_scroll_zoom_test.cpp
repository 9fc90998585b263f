// Scroll-view zooming: the scale range, the zoomed view and content size, zooming to a rectangle,
// a pinch about the fingers with the delegate's begin, change and end, and a zoom set inside a
// view-animation block being animated by it.
#include "gesture_test_support.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_scroll_view.h"

namespace {

struct Zoomer : UIScrollViewDelegate {
    std::shared_ptr<UIView> content;
    std::vector<std::string> events;
    std::shared_ptr<UIView> viewForZoomingInScrollView(UIScrollView&) override { return content; }
    void scrollViewWillBeginZooming(UIScrollView&, const std::shared_ptr<UIView>&) override {
        events.push_back("begin");
    }
    void scrollViewDidZoom(UIScrollView&) override { events.push_back("zoom"); }
    void scrollViewDidEndZooming(UIScrollView&, const std::shared_ptr<UIView>&, CGFloat scale) override {
        events.push_back("end " + std::to_string(int(scale * 10)));
    }
};

struct ScrollZoomTest : GestureTouchTest {
    std::shared_ptr<UIScrollView> scroll;
    std::shared_ptr<Zoomer> zoomer = std::make_shared<Zoomer>();
    void SetUp() override {
        GestureTouchTest::SetUp();
        scroll = UIScrollView::make(CGRectMake(0, 0, 200, 200));
        zoomer->content = UIView::make(CGRectMake(0, 0, 200, 200));
        scroll->addSubview(zoomer->content);
        scroll->setContentSize({200, 200});
        scroll->setDelegate(zoomer);
        scroll->setMinimumZoomScale(1);
        scroll->setMaximumZoomScale(4);
        window->addSubview(scroll);
    }
};

}  // namespace

TEST_F(ScrollZoomTest, ScaleIsClampedAndCarriesViewAndContentSize) {
    scroll->setZoomScale(2);
    EXPECT_EQ(scroll->zoomScale(), 2);
    EXPECT_EQ(zoomer->content->frame(), CGRectMake(0, 0, 400, 400));
    EXPECT_EQ(scroll->contentSize(), (CGSize{400, 400}));
    scroll->setZoomScale(9);
    EXPECT_EQ(scroll->zoomScale(), 4);
    scroll->setZoomScale(0.2);
    EXPECT_EQ(scroll->zoomScale(), 1);
    scroll->setZoomScale(std::nan(""));
    EXPECT_EQ(scroll->zoomScale(), 1);
    EXPECT_EQ(scroll->contentSize(), (CGSize{200, 200}));

    // The quarter at the bottom right fills the view.
    scroll->zoomToRect(CGRectMake(100, 100, 100, 100), false);
    EXPECT_EQ(scroll->zoomScale(), 2);
    EXPECT_EQ(scroll->contentOffset(), (CGPoint{200, 200}));

    // Without a zooming view nothing zooms.
    zoomer->content = nullptr;
    scroll->setZoomScale(3);
    EXPECT_EQ(scroll->zoomScale(), 2);
}

TEST_F(ScrollZoomTest, PinchScalesAboutTheFingersAndReportsBeginChangeAndEnd) {
    // Two fingers about (50, 50) spreading from 40 to 80 points apart: twice the size, and the
    // content point under them stays there.
    send2({30, 50}, {70, 50}, UITouchPhase::Began);
    for (int i = 1; i <= 10; ++i) {
        advance(0.02);
        CGFloat half = 20 + 2 * i;
        send2({50 - half, 50}, {50 + half, 50}, UITouchPhase::Moved);
    }
    send2({10, 50}, {90, 50}, UITouchPhase::Ended);
    EXPECT_NEAR(scroll->zoomScale(), 2, 1e-6);
    EXPECT_NEAR(scroll->contentOffset().x, 50, 1e-6);
    EXPECT_NEAR(scroll->contentOffset().y, 50, 1e-6);
    ASSERT_GE(zoomer->events.size(), 3u);
    EXPECT_EQ(zoomer->events.front(), "begin");
    EXPECT_EQ(zoomer->events[1], "zoom");
    EXPECT_EQ(zoomer->events.back(), "end 20");
}

TEST_F(ScrollZoomTest, AZoomInsideAnAnimationBlockIsAnimatedByIt) {
    auto shownScale = [&] {
        const CALayerPresentation* p = zoomer->content->layer()->presentation();
        return p && p->transform ? double(p->transform->m11) : double(zoomer->content->transform().a);
    };
    UIViewAnimation::animate(1.0, [&] { scroll->setZoomScale(3, false); });
    EXPECT_EQ(scroll->zoomScale(), 3) << "the model value is set at once";
    advance(0.5);
    EXPECT_GT(shownScale(), 1.1);
    EXPECT_LT(shownScale(), 2.9);
    advance(0.6);
    EXPECT_NEAR(shownScale(), 3, 1e-6);

    scroll->setZoomScale(1, true);
    advance(UIScrollView::kZoomAnimationDuration / 2);
    EXPECT_GT(shownScale(), 1.1);
    advance(UIScrollView::kZoomAnimationDuration);
    EXPECT_NEAR(shownScale(), 1, 1e-6);
}
