// The rectangle plane: which handle a touch picks, how corners, edges and the centre move inside
// the square, with and without a held ratio, and what setting a ratio does.
#include <gtest/gtest.h>

#include "editor/plane/coord_rect_view.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "tests/ui/ui_test_support.h"

namespace {

using S = UIGestureRecognizerState;

struct Changes : CoordRectViewDelegate {
    int count = 0;
    void onCoordRectViewValueChanged(CoordRectView&) override { ++count; }
};

struct RectPlane : ToolkitTest {
    std::shared_ptr<Changes> changes = std::make_shared<Changes>();
    std::shared_ptr<CoordRectView> plane;

    void SetUp() override {
        ToolkitTest::SetUp();
        CATransaction::begin();
        CATransaction::setDisableActions(true);
        plane = CoordRectView::make();
        plane->setFrame(CGRectMake(0, 0, 100, 100));
        plane->setDelegate(changes);
        plane->setRectWithRatio(0.25, 0.25, 0.5, 0.5);
    }
    void TearDown() override {
        CATransaction::commit();
        ToolkitTest::TearDown();
    }
    // The view point of a plane value on the 100 x 100 plane.
    static CGPoint at(double x, double y) { return {x * 100, (1 - y) * 100}; }
    // A drag from one plane value through others; answers the handle grabbed.
    int drag(CGPoint from, std::initializer_list<CGPoint> through) {
        plane->pan(S::Began, at(from.x, from.y));
        for (CGPoint p : through) plane->pan(S::Changed, at(p.x, p.y));
        plane->pan(S::Ended, {});
        return plane->panK();
    }
    CGRect rect() const {
        const CGPoint a = plane->handleValue(0), b = plane->handleValue(2);
        return {{a.x, a.y}, {b.x - a.x, b.y - a.y}};
    }
    void expectRect(CGRect want) const {
        const CGRect r = rect();
        EXPECT_NEAR(r.origin.x, want.origin.x, 1e-6);
        EXPECT_NEAR(r.origin.y, want.origin.y, 1e-6);
        EXPECT_NEAR(r.size.width, want.size.width, 1e-6);
        EXPECT_NEAR(r.size.height, want.size.height, 1e-6);
    }
    // The four corners and five midpoints agree with each other.
    void expectConsistent() const {
        const CGRect r = rect();
        const auto v = [&](int i) { return plane->handleValue(i); };
        EXPECT_EQ(v(1), (CGPoint{CGRectGetMaxX(r), r.origin.y}));
        EXPECT_EQ(v(3), (CGPoint{r.origin.x, CGRectGetMaxY(r)}));
        EXPECT_NEAR(v(8).x, CGRectGetMidX(r), 1e-6);
        EXPECT_NEAR(v(8).y, CGRectGetMidY(r), 1e-6);
        EXPECT_NEAR(v(4).y, CGRectGetMidY(r), 1e-6);
        EXPECT_NEAR(v(6).x, CGRectGetMidX(r), 1e-6);
        EXPECT_GE(r.size.width, 0);
        EXPECT_GE(r.size.height, 0);
    }
};

TEST_F(RectPlane, ATouchPicksByRegionThenByNearness) {
    struct Case {
        CGPoint touch;
        int handle;
    };
    const Case cases[] = {
        {{0.1, 0.1}, 0},
        {{0.9, 0.1}, 1},
        {{0.9, 0.9}, 2},
        {{0.1, 0.9}, 3},
        {{0.1, 0.5}, 4},
        {{0.9, 0.5}, 5},
        {{0.5, 0.1}, 6},
        {{0.5, 0.9}, 7},
        // On the line x = x0 below the rectangle: not beyond the corner, so below the edge.
        {{0.25, 0.1}, 6},
        // Inside: the nearest handle; the centre moves the rectangle.
        {{0.3, 0.3}, 0},
        {{0.5, 0.5}, 8},
        {{0.7, 0.52}, 5},
    };
    for (const Case& c : cases) {
        plane->pan(S::Began, at(c.touch.x, c.touch.y));
        EXPECT_EQ(plane->panK(), c.handle) << c.touch.x << ", " << c.touch.y;
    }
    // With a held ratio an edge cannot be dragged: beyond it the whole rectangle moves.
    plane->setFixedRatioHbyW(1);
    plane->pan(S::Began, at(0.1, 0.5));
    EXPECT_EQ(plane->panK(), 8);
    plane->pan(S::Began, at(0.1, 0.1));
    EXPECT_EQ(plane->panK(), 0) << "corners stay";
}

TEST_F(RectPlane, CornersAndEdgesStayInsideTheSquare) {
    // A corner onto its opposite corner's coordinates: zero size, never inside out.
    drag({0.25, 0.25}, {{0.9, 0.9}});
    EXPECT_EQ(rect(), CGRectMake(0.75, 0.75, 0, 0));
    expectConsistent();

    plane->setRectWithRatio(0.25, 0.25, 0.5, 0.5);
    drag({0.75, 0.75}, {{10, 10}});
    EXPECT_EQ(rect(), CGRectMake(0.25, 0.25, 0.75, 0.75)) << "top-right dragged far out";
    plane->setRectWithRatio(0.25, 0.25, 0.5, 0.5);
    drag({0.1, 0.5}, {{-5, 0.5}});
    EXPECT_EQ(rect(), CGRectMake(0, 0.25, 0.75, 0.5)) << "left edge pinned";
    drag({0.4, 0.9}, {{0.4, 5}});
    EXPECT_EQ(rect(), CGRectMake(0, 0.25, 0.75, 0.75)) << "top edge pinned";
    expectConsistent();
    EXPECT_EQ(changes->count, 4);
}

TEST_F(RectPlane, AFingerBackAtItsStartRestoresExactly) {
    const std::array<double, 2> start[] = {{0.75, 0.75}, {0.1, 0.5}, {0.5, 0.5}};
    for (const auto& s : start) {
        const CGRect before = rect();
        drag({s[0], s[1]}, {{0.33, 0.91}, {1.7, -2}, {0.02, 0.4}, {s[0], s[1]}});
        EXPECT_EQ(rect(), before) << s[0];
    }
}

TEST_F(RectPlane, TheCentreMovesTheRectangleWithoutResizingIt) {
    drag({0.5, 0.5}, {{3, 0.6}});
    expectRect(CGRectMake(0.5, 0.35, 0.5, 0.5));
    drag({0.75, 0.6}, {{0.75, -4}});
    expectRect(CGRectMake(0.5, 0, 0.5, 0.5));
    expectConsistent();
}

TEST_F(RectPlane, AHeldRatioDrivesTheCornerFromItsHorizontalMove) {
    plane->setRectWithRatio(0.5, 0.25, 0.25, 0.25);
    plane->setFixedRatioHbyW(1);
    EXPECT_EQ(changes->count, 0) << "already square";
    // Left grows down as well; the bottom reaching 0 stops the left too.
    drag({0.5, 0.25}, {{0.4, 0.9}});
    EXPECT_NEAR(rect().origin.x, 0.4, 1e-6);
    EXPECT_NEAR(rect().origin.y, 0.15, 1e-6);
    drag({0.41, 0.16}, {{0.01, 0.16}});
    EXPECT_NEAR(rect().origin.x, 0.25, 1e-6);
    EXPECT_NEAR(rect().origin.y, 0, 1e-6);
    EXPECT_NEAR(rect().size.width, rect().size.height, 1e-6);
}

TEST_F(RectPlane, SettingARatio) {
    plane->setFixedRatioHbyW(0);
    EXPECT_EQ(plane->fixedRatioHbyW(), 0);
    EXPECT_EQ(changes->count, 0);
    plane->setFixedRatioHbyW(std::nan(""));
    EXPECT_EQ(changes->count, 0);
    // Too tall for 1:2: keeps the width and shrinks about the centre.
    plane->setFixedRatioHbyW(0.5);
    EXPECT_EQ(rect(), CGRectMake(0.25, 0.375, 0.5, 0.25));
    EXPECT_EQ(changes->count, 1);
    plane->setFixedRatioHbyW(0.5);
    EXPECT_EQ(changes->count, 1) << "the ratio it already has";
    // Zero width given a ratio collapses to its centre point.
    plane->setRectWithRatio(0.5, 0.25, 0, 0.5);
    plane->setFixedRatioHbyW(1);
    EXPECT_EQ(rect(), CGRectMake(0.5, 0.5, 0, 0));
    expectConsistent();
}

TEST_F(RectPlane, ItemsStackAboveTheGuides) {
    plane->update();
    const auto& subs = plane->layer()->sublayers();
    ASSERT_EQ(subs.size(), 4u + CoordRectView::kHandles);
    EXPECT_EQ(subs[0].get(), plane->guide0().get());
    EXPECT_EQ(subs[1].get(), plane->guide1().get());
    EXPECT_EQ(subs[2].get(), plane->line0().get());
    EXPECT_EQ(subs[3].get(), plane->line1().get());
    EXPECT_EQ(subs[4], plane->pointers()[0]->layer());
    EXPECT_EQ(plane->pointers()[2]->frame(), CGRectMake(75 - 15, 25 - 15, 30, 30));
}

}  // namespace
