// The coordinate plane base, the pointer plane and its labelled frame: guides read from rendered
// pixels, the layer order, and the pointer plane's drags, taps and lines as one state table.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/plane/coord_pointer_labeled_view.h"
#include "editor/plane/coord_pointer_view.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/layer_renderer.h"
#include "tests/platform/ui/draw_test_support.h"
#include "tests/ui/ui_test_support.h"
#include "widgets/flat/flat_palette.h"

namespace {

using S = UIGestureRecognizerState;

struct Moves : CoordPointerViewDelegate {
    int count = 0;
    void onCoordPointerViewValueChanged(CoordPointerView&) override { ++count; }
};

// The points a path passes through, in order.
std::vector<CGPoint> pointsOf(const std::optional<CGPath>& path) {
    std::vector<CGPoint> out;
    if (!path) return out;
    path->apply([&](const CGPathElement& e) {
        if (e.type == CGPathElementType::MoveToPoint || e.type == CGPathElementType::AddLineToPoint) {
            out.push_back(e.points[0]);
        }
    });
    return out;
}

bool closed(const std::optional<CGPath>& path) {
    bool c = false;
    if (path) path->apply([&](const CGPathElement& e) { c = c || e.type == CGPathElementType::CloseSubpath; });
    return c;
}

struct Planes : ToolkitTest {
    std::shared_ptr<Moves> moves = std::make_shared<Moves>();

    void SetUp() override {
        ToolkitTest::SetUp();
        CATransaction::begin();
        CATransaction::setDisableActions(true);
    }
    void TearDown() override {
        CATransaction::commit();
        ToolkitTest::TearDown();
    }
    // A plane of the size with pointers at the values, laid out and drawn.
    std::shared_ptr<CoordPointerView> plane(CGSize size, const std::vector<CGPoint>& values,
                                            CoordLineType type = CoordLineType::Open) {
        auto p = CoordPointerView::make();
        p->setFrame({{0, 0}, size});
        p->setDelegate(moves);
        p->setLineType(type);
        for (CGPoint v : values) p->pointers()[p->addPointer(UIColor::whiteColor())]->setValue(v);
        p->update();
        return p;
    }
    // The alpha of a rendered pixel: the wash is about 26, a guide line well above.
    static int alphaAt(const std::shared_ptr<CGImage>& image, int x, int y) { return pixelAt(*image, x, y).a; }
    static bool lineAtColumn(const std::shared_ptr<CGImage>& image, int x, int y) {
        return std::max(alphaAt(image, x - 1, y), alphaAt(image, x, y)) > 40;
    }
    static bool lineAtRow(const std::shared_ptr<CGImage>& image, int x, int y) {
        return std::max(alphaAt(image, x, y - 1), alphaAt(image, x, y)) > 40;
    }
};

TEST_F(Planes, GuidesFollowTheSizeAtEachLayout) {
    auto p = CoordView::make();
    p->setFrame(CGRectMake(0, 0, 200, 100));
    p->layoutIfNeeded();
    p->setFrame(CGRectMake(0, 0, 100, 200));
    p->setNeedsLayout();
    p->layoutIfNeeded();
    auto image = LayerRenderer::snapshot(*p->layer(), 1);
    ASSERT_TRUE(image);
    // Quarter lines at 25 and 75 across, 50 and 150 down; the cross at (50, 100).
    for (int x : {25, 50, 75}) EXPECT_TRUE(lineAtColumn(image, x, 30)) << x;
    for (int y : {50, 100, 150}) EXPECT_TRUE(lineAtRow(image, 10, y)) << y;
    EXPECT_LT(alphaAt(image, 37, 30), 35) << "only the wash between the lines";
    EXPECT_LT(alphaAt(image, 10, 125), 35);
    EXPECT_FALSE(lineAtColumn(image, 100, 30)) << "no line left where the old size put one";
    EXPECT_NEAR(p->guide0()->lineWidth(), 1.0, 1e-9);
    EXPECT_NEAR(p->guide1()->lineWidth(), 0.5, 1e-9);
}

TEST_F(Planes, AZeroSizedPlaneDrawsDegenerateGuides) {
    auto p = plane(CGSizeZero, {{0.5, 0.5}, {1, 1}}, CoordLineType::ToneCurve);
    EXPECT_TRUE(p->guide0()->path().has_value());
    for (CGPoint q : pointsOf(p->guide1()->path())) EXPECT_EQ(q, (CGPoint{0, 0}));
    p->pan(S::Began, {0, 0});
    p->pan(S::Changed, {5, 5});
    p->tap(S::Ended, {5, 5});
    EXPECT_EQ(moves->count, 0) << "nowhere to move to";
    EXPECT_TRUE(std::isfinite(p->pointers()[0]->frame().origin.x));
}

TEST_F(Planes, LayersStackGuidesThenTheLineThenTheHandles) {
    auto p = plane({100, 100}, {{0.2, 0.2}, {0.8, 0.8}});
    const auto& subs = p->layer()->sublayers();
    ASSERT_EQ(subs.size(), 5u);
    EXPECT_EQ(subs[0].get(), p->guide0().get());
    EXPECT_EQ(subs[1].get(), p->guide1().get());
    EXPECT_EQ(subs[2].get(), p->line().get());
    EXPECT_EQ(subs[3], p->pointers()[0]->layer());
    EXPECT_EQ(subs[4], p->pointers()[1]->layer());
}

TEST_F(Planes, ColoursShowAtTheNextGuideUpdate) {
    auto p = CoordView::make();
    EXPECT_EQ(p->color0()->cgColor(), flatGrayColorDark()->cgColor());
    p->setColor0(UIColor::redColor());
    p->setFrame(CGRectMake(0, 0, 50, 50));
    p->layoutIfNeeded();
    EXPECT_EQ(p->guide0()->strokeColor(), UIColor::redColor()->cgColor());
    p->setColor1(UIColor::blueColor());
    EXPECT_EQ(p->guide1()->strokeColor(), flatGrayColor()->cgColor()) << "not yet redrawn";
    p->update();
    EXPECT_EQ(p->guide1()->strokeColor(), UIColor::blueColor()->cgColor());
}

TEST_F(Planes, DragsAndTaps) {
    // No pointers: nothing moves and nothing is told.
    auto empty = plane({100, 100}, {});
    empty->pan(S::Began, {50, 50});
    empty->pan(S::Changed, {60, 60});
    empty->tap(S::Ended, {10, 10});
    EXPECT_EQ(moves->count, 0);
    EXPECT_EQ(empty->panK(), nullptr);

    // Two pointers on one place: the lower index is grabbed.
    auto p = plane({100, 100}, {{0.5, 0.5}, {0.5, 0.5}, {0.9, 0.1}});
    p->pan(S::Began, {52, 48});
    EXPECT_EQ(p->panK(), p->pointers()[0]);

    // A drag keeps the offset from the finger, is held on the edge, and leaves it only where the
    // unclamped position comes back into the square.
    p->pan(S::Changed, {62, 48});
    EXPECT_NEAR(p->pointers()[0]->value().x, 0.6, 1e-6);
    p->pan(S::Changed, {150, -100});
    EXPECT_EQ(p->pointers()[0]->value(), (CGPoint{1, 1}));
    p->pan(S::Changed, {103, -5});
    EXPECT_EQ(p->pointers()[0]->value(), (CGPoint{1, 1})) << "still beyond the edge, unclamped";
    p->pan(S::Changed, {92, 8});
    EXPECT_NEAR(p->pointers()[0]->value().x, 0.9, 1e-6);
    EXPECT_NEAR(p->pointers()[0]->value().y, 0.9, 1e-6);
    EXPECT_EQ(moves->count, 4);
    p->pan(S::Ended, {92, 8});
    EXPECT_EQ(p->panK(), p->pointers()[0]) << "the grab outlives the drag";
    // A move event without a new start still drags the last grab; a new start re-picks.
    p->pan(S::Began, {90, 90});
    EXPECT_EQ(p->panK(), p->pointers()[2]);

    // Taps: the nearest pointer jumps to the finger, clamped into the square.
    moves->count = 0;
    p->tap(S::Ended, {91, 150});
    EXPECT_EQ(p->pointers()[2]->value(), (CGPoint{0.91f, 0}));
    p->tap(S::Ended, {89, -40});
    EXPECT_EQ(p->pointers()[0]->value().y, 1) << "above the plane";
    p->tap(S::Began, {10, 10});
    EXPECT_EQ(moves->count, 2) << "only an ended tap counts";
    // The handle's centre sits on its value.
    EXPECT_EQ(p->pointers()[2]->center(), (CGPoint{static_cast<double>(0.91f) * 100, 100}));
}

TEST_F(Planes, Lines) {
    // Four pointers joined 0, 1, 3, 2 and closed.
    auto p = plane({100, 100}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, CoordLineType::Closed);
    p->setLineOrder(std::vector<std::size_t>{0, 1, 3, 2});
    p->updateLine();
    EXPECT_EQ(pointsOf(p->line()->path()), (std::vector<CGPoint>{{-50, 50}, {50, 50}, {50, -50}, {-50, -50}}));
    EXPECT_TRUE(closed(p->line()->path()));
    EXPECT_EQ(p->line()->position(), (CGPoint{50, 50}));

    // An order that does not name a pointer for every place joins them in their own order.
    auto three = plane({100, 100}, {{0, 0}, {1, 0}, {0, 1}}, CoordLineType::Closed);
    three->setLineOrder(std::vector<std::size_t>{0, 1, 3, 2});
    three->updateLine();
    EXPECT_EQ(pointsOf(three->line()->path()), (std::vector<CGPoint>{{-50, 50}, {50, 50}, {-50, -50}}));
    auto five = plane({100, 100}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0.5, 0.5}}, CoordLineType::Open);
    five->setLineOrder(std::vector<std::size_t>{0, 1, 3, 2});
    five->updateLine();
    EXPECT_EQ(pointsOf(five->line()->path()).size(), 5u);
    EXPECT_EQ(pointsOf(five->line()->path())[2], (CGPoint{-50, -50}));

    // The tone curve: the diagonal through five diagonal points.
    auto curve = plane({100, 100}, {{0, 0}, {0.25, 0.25}, {0.5, 0.5}, {0.75, 0.75}, {1, 1}}, CoordLineType::ToneCurve);
    auto pts = pointsOf(curve->line()->path());
    ASSERT_EQ(pts.size(), 101u);
    for (const CGPoint q : pts) EXPECT_NEAR(q.x, -q.y, 1e-3);
    EXPECT_FALSE(closed(curve->line()->path()));

    // Samples the quartic puts outside 0 to 1 are drawn on the edge.
    auto wild = plane({100, 100}, {{0, 0}, {0.25, 1}, {0.5, 0}, {0.75, 1}, {1, 0}}, CoordLineType::ToneCurve);
    for (const CGPoint q : pointsOf(wild->line()->path())) {
        EXPECT_GE(q.y, -50 - 1e-9);
        EXPECT_LE(q.y, 50 + 1e-9);
    }

    // Two points on one x: the solver has no answer and the curve lies on the bottom edge.
    auto flat = plane({100, 100}, {{0, 0}, {0, 0.5}, {0.5, 0.5}, {0.75, 0.75}, {1, 1}}, CoordLineType::ToneCurve);
    for (const CGPoint q : pointsOf(flat->line()->path())) EXPECT_EQ(q.y, 50);

    // Four or six pointers: the path drawn before stays.
    const auto before = curve->line()->path();
    curve->addPointer(UIColor::whiteColor());
    curve->updateLine();
    EXPECT_EQ(pointsOf(curve->line()->path()), pointsOf(before));
}

TEST_F(Planes, TheLabelledPlaneFramesItsPlaneAtTheFirstLayout) {
    auto v = CoordPointerLabeledView::make();
    v->setFrame(CGRectMake(0, 0, 180, 180));
    EXPECT_TRUE(v->subviews().empty());
    EXPECT_EQ(v->label0()->text(), "0");
    v->layoutIfNeeded();
    ASSERT_EQ(v->subviews().size(), 4u);
    EXPECT_EQ(v->subviews()[0], v->plane());
    EXPECT_EQ(v->plane()->frame(), CGRectMake(10, 10, 160, 160));
    EXPECT_EQ(v->label0()->frame(), CGRectMake(0, 170, 10, 10));
    EXPECT_EQ(v->labelX1()->frame(), CGRectMake(170, 170, 10, 10));
    EXPECT_EQ(v->labelY1()->frame(), CGRectMake(0, 0, 10, 10));
    EXPECT_EQ(v->labelX1()->text(), "1");
}

}  // namespace
