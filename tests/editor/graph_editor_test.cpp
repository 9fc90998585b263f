// The tone-curve editor through the parameter pop-up: points from the records, every move written
// into all records in order, Reset from the defaults, and records that hold anything.
#include <gtest/gtest.h>

#include "platform/ui/layer/ca_shape_layer.h"
#include "tests/editor/plane_editors_support.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

using S = UIGestureRecognizerState;

struct GraphEditor : PlaneEditors {
    // Five curve points on the diagonal, each with a default.
    std::vector<Value> records;
    Value curve(std::vector<Value> rs) {
        records = std::move(rs);
        ValueDictionary byKey;
        for (std::size_t i = 0; i < records.size(); ++i) byKey.set("inputPoint" + std::to_string(i), records[i]);
        return adjAttrs("CIToneCurve", std::move(byKey));
    }
    static Value point(const char* disp, double x, double y, std::optional<Value> def = std::nullopt) {
        Value r = adjRecord(disp, 11, {{"value", numbers({x, y})}});
        if (def) r.set("def", *def);
        return r;
    }
    Value diagonal() {
        std::vector<Value> rs;
        const char* names[] = {"P0", "P1", "P2", "P3", "P4"};
        for (int i = 0; i < 5; ++i) rs.push_back(point(names[i], i * 0.25, i * 0.25, numbers({i * 0.25, i * 0.25})));
        return curve(rs);
    }
    PopAdjGraph2DView& editor() { return *pop->popGraph2D(); }
    CoordPointerView& plane() { return *editor().plane(); }
    std::vector<std::string> changedNames() const {
        std::vector<std::string> out;
        for (const Value& r : host->changed) out.push_back(r["disp"].stringValue());
        return out;
    }
};

using Names = std::vector<std::string>;

TEST_F(GraphEditor, OpensOnTheDiagonalAndATapWritesEveryRecordInOrder) {
    open(diagonal());
    ASSERT_NE(pop->popGraph2D(), nullptr);
    EXPECT_EQ(host->log.size(), 10u) << "five records prepared";
    EXPECT_EQ(editor().phase(), PopPhase::Shown);
    EXPECT_EQ(editor().titleView()->lblTitle()->text(), "TONE CURVE");
    EXPECT_TRUE(editor().titleView()->flagShowRight());
    ASSERT_EQ(plane().pointers().size(), 5u);
    EXPECT_EQ(plane().pointers()[3]->value(), (CGPoint{0.75, 0.75}));
    const CGSize s = plane().frame().size;
    ASSERT_GT(s.width, 0);
    EXPECT_EQ(plane().pointers()[3]->center(), (CGPoint{0.75 * s.width, 0.25 * s.height}));
    ASSERT_TRUE(plane().line()->path().has_value());

    // A real tap near the middle point, through the pop-up's recogniser.
    tap(inWindow(editor().plane(), {0.5 * s.width, 0.45 * s.height}));
    EXPECT_EQ(changedNames(), (Names{"P0", "P1", "P2", "P3", "P4"}));
    EXPECT_NEAR(xy(records[2]).y, 0.55, 1e-6);
    EXPECT_EQ(xy(records[0]), (CGPoint{0, 0})) << "unmoved points are written too";
    EXPECT_EQ(records[2]["value"].arrayPtr()->size(), 4u);
}

TEST_F(GraphEditor, TwoPointsOnOneXFlattenTheCurve) {
    open(diagonal());
    const CGSize s = plane().frame().size;
    for (std::size_t i : {1u, 2u}) {
        const CGPoint at = plane().pointers()[i]->center();
        plane().pan(S::Began, at);
        plane().pan(S::Changed, {at.x - 1000, at.y});
    }
    EXPECT_EQ(xy(records[1]).x, 0);
    EXPECT_EQ(xy(records[2]).x, 0);
    plane().line()->path()->apply([&](const CGPathElement& e) {
        if (e.type != CGPathElementType::CloseSubpath) {
            EXPECT_EQ(e.points[0].y, s.height / 2);
        }
    });
}

TEST_F(GraphEditor, ResetReportsBeforeTheRedrawAndSkipsRecordsWithoutADefault) {
    Value attrs = diagonal();
    records[2].dictionaryPtr()->remove("def");
    struct Watching : CountingHost {
        std::function<CGPoint()> shown;
        std::vector<CGPoint> seen;
        void onPopAdjViewValueChanged(PopAdjView& p, const Value& r) override {
            if (shown) seen.push_back(shown());
            AdjHost::onPopAdjViewValueChanged(p, r);
        }
    };
    auto watching = std::make_shared<Watching>();
    host = watching;
    pop->setDelegate(watching);
    open(attrs);
    for (std::size_t i : {0u, 2u}) {
        plane().pan(S::Began, plane().pointers()[i]->center());
        plane().pan(S::Changed, {plane().pointers()[i]->center().x + 10, 0});
    }
    const CGPoint moved2 = xy(records[2]);
    host->changed.clear();
    watching->shown = [this] { return plane().pointers()[0]->value(); };
    editor().titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(changedNames(), (Names{"P0", "P1", "P3", "P4"}));
    ASSERT_FALSE(watching->seen.empty());
    EXPECT_NE(watching->seen[0], (CGPoint{0, 0})) << "reported before the points are redrawn";
    EXPECT_EQ(plane().pointers()[0]->value(), (CGPoint{0, 0}));
    EXPECT_EQ(xy(records[2]), moved2) << "no default: kept";
    EXPECT_EQ(plane().pointers()[2]->value(), moved2);
    EXPECT_TRUE(editor().titleView()->flagShowRight());
}

TEST_F(GraphEditor, OtherCountsShowNoCurveAndOddValuesShowAsStored) {
    open(curve({point("A", 1.5, -0.25), point("B", 0.2, 0.2), point("C", 0.4, 0.4), point("D", 0.6, 0.6)}));
    ASSERT_EQ(plane().pointers().size(), 4u);
    EXPECT_FALSE(plane().line()->path().has_value()) << "no curve through four points";
    EXPECT_EQ(plane().pointers()[0]->value(), (CGPoint{1.5, -0.25}));
    plane().pan(S::Began, plane().pointers()[0]->center());
    plane().pan(S::Changed, plane().pointers()[0]->center());
    EXPECT_EQ(xy(records[0]), (CGPoint{1, 0})) << "clamped at its first move";
}

TEST_F(GraphEditor, UnreadableRecordsShowAndStoreFiniteValues) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Value noValue = adjRecord("A", 11);
    Value text = adjRecord("B", 11, {{"value", Value("0.5")}, {"def", Value("x")}});
    Value shortOne = adjRecord("C", 11, {{"value", numbers({0.5})}, {"def", numbers({nan, inf})}});
    Value huge = adjRecord("D", 11, {{"value", numbers({1e300, -1e300})}, {"def", numbers({1e300, 0.5})}});
    Value notANumber = adjRecord("E", 11, {{"value", numbers({nan, inf})}, {"def", numbers({0.5, 0.5})}});
    open(curve({noValue, text, shortOne, huge, notANumber}));
    ASSERT_EQ(plane().pointers().size(), 5u);
    for (const auto& p : plane().pointers()) {
        EXPECT_TRUE(std::isfinite(p->value().x) && std::isfinite(p->value().y));
    }
    plane().tap(S::Ended, {1, 1});
    for (const Value& r : records) EXPECT_TRUE(allFinite(r)) << r["disp"].stringValue();
    editor().titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    for (const Value& r : records) EXPECT_TRUE(allFinite(r)) << r["disp"].stringValue();
    EXPECT_EQ(xy(huge), (CGPoint{0, 0.5})) << "a default beyond single precision reads as 0";
}

}  // namespace
