// The positions editor through the parameter pop-up: its size from the picture's, points stored
// in the picture's pixels with its size as their base, conversion of points stored against another
// size, Reset, the canvas refresh while open, and no opening without a picture.
#include <gtest/gtest.h>

#include "filter/canvas_view.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "tests/editor/plane_editors_support.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

using S = UIGestureRecognizerState;

struct PositionsEditor : PlaneEditors {
    std::vector<Value> records;
    Value positions(std::vector<Value> rs) {
        records = std::move(rs);
        ValueDictionary byKey;
        const char* keys[] = {"inputBottomLeft", "inputBottomRight", "inputTopLeft", "inputTopRight", "inputZ"};
        for (std::size_t i = 0; i < records.size(); ++i) byKey.set(keys[i], records[i]);
        return adjAttrs("CIPerspectiveCorrection", std::move(byKey));
    }
    static Value at(const char* disp, double x, double y, ValueDictionary extra = {}) {
        Value r = adjRecord(disp, 7, std::move(extra));
        r.set("value", numbers({x, y}));
        return r;
    }
    PopAdjPositionsView& editor() { return *pop->popPositions(); }
    CoordPointerView& plane() { return *editor().plane(); }
    std::optional<CGSize> baseOf(const Value& r) { return sizeFromValue(r["editingBaseSize"]); }
};

TEST_F(PositionsEditor, ThePopUpTakesItsSizeFromThePicture) {
    struct Case {
        CGSize picture, size;
        CGPoint inset;
    };
    const Case cases[] = {
        {{400, 300}, {250, 250 * 0.75 + 45}, {10, 10}},
        {{300, 400}, {200, 295}, {(200 - 187.5) / 2 + 10, 10}},
        {{4000, 400}, {250, 200}, {10, 75}},
    };
    for (const Case& c : cases) {
        host->image = picture(c.picture.width, c.picture.height);
        open(positions({at("Center", 1, 1)}));
        SCOPED_TRACE(c.picture.width);
        EXPECT_EQ(editor().size(), c.size);
        EXPECT_EQ(editor().canvasView()->frame().origin, c.inset);
        EXPECT_EQ(editor().plane()->frame(), editor().canvasView()->frame()) << "the plane lies on the canvas";
        EXPECT_EQ(editor().b0()->frame().size.width - CGRectGetMaxX(editor().canvasView()->frame()), c.inset.x);
        editor().hide(PopView::Callback([] {}));
        advance(0.5);
    }
}

TEST_F(PositionsEditor, OpeningStoresEveryPointWhereItIsShown) {
    host->image = picture(300, 300);
    open(positions({at("A", 150, 150), at("B", -50, 400),
                    at("C", 300, 300, {{"editingBaseSize", sizeValue({600, 600})}}),
                    at("D", 30, 60, {{"editingBaseSize", sizeValue({0, 600})}})}));
    ASSERT_EQ(editor().phase(), PopPhase::Shown);
    EXPECT_EQ(host->log.back(), "fullScreen");
    EXPECT_EQ(editor().titleView()->lblTitle()->text(), "POSITIONS");
    EXPECT_EQ(plane().pointers()[0]->value(), (CGPoint{0.5, 0.5}));
    EXPECT_EQ(plane().pointers()[1]->value(), (CGPoint{0, 1}));
    EXPECT_EQ(plane().pointers()[2]->value(), (CGPoint{0.5, 0.5})) << "converted through its base size";
    EXPECT_EQ(xy(records[0]), (CGPoint{150, 150}));
    EXPECT_EQ(xy(records[1]), (CGPoint{0, 300}));
    EXPECT_EQ(xy(records[2]), (CGPoint{150, 150}));
    EXPECT_NEAR(xy(records[3]).x, 30, 1e-4) << "an unusable base size: the value is absolute";
    EXPECT_NEAR(xy(records[3]).y, 60, 1e-4);
    for (const Value& r : records) EXPECT_EQ(baseOf(r), (CGSize{300, 300}));
    // Reopening changes nothing: the points are where the picture shows them.
    editor().hide(PopView::Callback([] {}));
    advance(0.5);
    pop->act(pop->arr()[0], anchor);
    advance(0.5);
    EXPECT_EQ(xy(records[2]), (CGPoint{150, 150}));

    // One tap reports every record once, in record order.
    host->changed.clear();
    plane().tap(S::Ended, {0, 0});
    ASSERT_EQ(host->changed.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(host->changed[i].identity(), records[i].identity());
}

TEST_F(PositionsEditor, ResetWritesAbsoluteDefaultsWithoutABaseSize) {
    host->image = picture(300, 200);
    Value a = at("A", 10, 10, {{"def", numbers({30, 60})}});
    Value b = at("B", 10, 10, {{"def", numbers({std::nan(""), 20})}});
    open(positions({a, b}));
    ASSERT_TRUE(baseOf(a).has_value());
    host->changed.clear();
    editor().titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    ASSERT_EQ(host->changed.size(), 2u);
    EXPECT_EQ(xy(a), (CGPoint{30, 60}));
    EXPECT_EQ(xy(b), (CGPoint{0, 20}));
    EXPECT_FALSE(a.dictionaryPtr()->contains("editingBaseSize"));
    EXPECT_FALSE(b.dictionaryPtr()->contains("editingBaseSize"));
    EXPECT_NEAR(plane().pointers()[0]->value().x, 0.1, 1e-6) << "reloaded";
}

TEST_F(PositionsEditor, TheCanvasIsRefreshedWhileOpen) {
    host->image = picture(300, 300);
    open(positions({at("A", 1, 1)}));
    ASSERT_NE(editor().timerUpdateImage(), nullptr);
    EXPECT_DOUBLE_EQ(editor().timerUpdateImage()->timeInterval(), 0.3);
    const int before = counting->imageAsks;
    advance(0.9);
    EXPECT_EQ(counting->imageAsks - before, 3);

    editor().hide(PopView::Callback([] {}));
    EXPECT_EQ(editor().timerUpdateImage(), nullptr);
    EXPECT_EQ(host->log.back(), "fullScreenEnd");
    const int closed = counting->imageAsks;
    advance(1);
    EXPECT_EQ(counting->imageAsks, closed);

    pop->act(pop->arr()[0], anchor);
    advance(0.5);
    ASSERT_NE(editor().timerUpdateImage(), nullptr);
    EXPECT_TRUE(editor().timerUpdateImage()->isValid());

    // A tap outside the panel closes it the same way.
    tap({5, 5});
    advance(0.5);
    EXPECT_EQ(editor().phase(), PopPhase::Hidden);
    EXPECT_EQ(editor().timerUpdateImage(), nullptr);
    EXPECT_EQ(host->log.back(), "fullScreenEnd");
}

TEST_F(PositionsEditor, NoPictureOpensNothing) {
    const std::shared_ptr<CIImage> none[] = {nullptr, CIImage::emptyImage(),
                                             CIImage::imageWithColor(CIColor::colorWithRed(1, 0, 0))};
    for (const auto& image : none) {
        host->image = image;
        host->log.clear();
        Value a = at("A", 10, 10);
        open(positions({a}));
        ASSERT_NE(pop->popPositions(), nullptr);
        EXPECT_EQ(editor().phase(), PopPhase::Hidden);
        EXPECT_TRUE(host->changed.empty());
        EXPECT_EQ(xy(a), (CGPoint{10, 10}));
        EXPECT_FALSE(a.dictionaryPtr()->contains("editingBaseSize"));
        EXPECT_EQ(host->log.back(), "initialize A") << "prepared, then nothing";
    }
}

TEST_F(PositionsEditor, OutlinesForEachCountAndUnreadableRecords) {
    host->image = picture(100, 100);
    auto outline = [&] {
        std::vector<CGPoint> pts;
        plane().line()->path()->apply([&](const CGPathElement& e) {
            if (e.type != CGPathElementType::CloseSubpath) pts.push_back(e.points[0]);
        });
        return pts;
    };
    open(positions({at("A", 0, 0), at("B", 100, 0), at("C", 0, 100), at("D", 100, 100)}));
    const CGSize s = plane().frame().size;
    const CGFloat a = s.width / 2, b = s.height / 2;
    EXPECT_EQ(outline(), (std::vector<CGPoint>{{-a, b}, {a, b}, {a, -b}, {-a, -b}})) << "round the outside";
    editor().hide(PopView::Callback([] {}));
    advance(0.5);

    open(positions({at("A", 0, 0), at("B", 100, 0), at("C", 0, 100)}));
    EXPECT_EQ(outline(), (std::vector<CGPoint>{{-a, b}, {a, b}, {-a, -b}})) << "three in their own order";
    editor().hide(PopView::Callback([] {}));
    advance(0.5);

    const double nan = std::nan("");
    Value bad[] = {adjRecord("A", 7), adjRecord("B", 7, {{"value", Value("x")}}),
                   at("C", nan, 1e300, {{"editingBaseSize", sizeValue({-5, 10})}}),
                   adjRecord("D", 7, {{"value", numbers({50})}}), at("E", 50, 50, {{"editingBaseSize", Value("big")}})};
    open(positions({bad[0], bad[1], bad[2], bad[3], bad[4]}));
    EXPECT_EQ(outline().size(), 5u);
    for (const auto& p : plane().pointers()) {
        EXPECT_GE(p->value().x, 0);
        EXPECT_LE(p->value().y, 1);
    }
    for (const Value& r : bad) EXPECT_TRUE(allFinite(r)) << r["disp"].stringValue();
    EXPECT_EQ(xy(bad[4]), (CGPoint{50, 50}));
}

}  // namespace
