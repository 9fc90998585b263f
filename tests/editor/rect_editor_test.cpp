// The rectangle editor and its ratio chooser through the parameter pop-up: sizes from the picture,
// the rectangle in the picture's pixels, ratios held in plane units for the current picture,
// Reset, the refresh, and records or pictures that cannot be used.
#include <gtest/gtest.h>

#include "editor/plane_edit/pop_adj_rect_ratio_view.h"
#include "filter/canvas_view.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "tests/editor/plane_editors_support.h"
#include "ui/controls/status_button_path.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

using S = UIGestureRecognizerState;

using Numbers = std::vector<double>;

struct RectEditor : PlaneEditors {
    Value record;
    Value crop(Value value, std::optional<Value> def = std::nullopt, ValueDictionary extra = {}) {
        record = adjRecord("Rectangle", 3, std::move(extra));
        record.set("value", value);
        if (def) record.set("def", *def);
        return adjAttrs("CICrop", {{"inputRectangle", record}});
    }
    PopAdjRectView& editor() { return *pop->popRect(); }
    CoordRectView& plane() { return *editor().plane(); }
    Numbers stored() const {
        Numbers out;
        for (const Value& v : *record["value"].arrayPtr()) out.push_back(v.doubleValue());
        return out;
    }
    void expectStored(const Numbers& want) const {
        const Numbers got = stored();
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-3) << i;
    }
    void chooseRatio(long index) {
        editor().popRatio()->onRatio(index);
        advance(0.5);
    }
    void reset() { editor().titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside); }
};

TEST_F(RectEditor, SizesFollowThePicture) {
    host->image = picture(500, 500);
    open(crop(numbers({0, 0, 500, 500})));
    ASSERT_EQ(editor().phase(), PopPhase::Shown);
    EXPECT_EQ(editor().size(), (CGSize{250, 335}));
    EXPECT_EQ(editor().titleView()->lblTitle()->text(), "RECTANGLE");
    EXPECT_FALSE(editor().titleView()->flagShowRight()) << "no default, no Reset";
    EXPECT_EQ(host->log.back(), "fullScreen");
    editor().hide(PopView::Callback([] {}));
    advance(0.5);
    EXPECT_EQ(host->log.back(), "fullScreenEnd");

    host->image = picture(800, 200);
    open(crop(numbers({0, 0, 800, 200})));
    EXPECT_EQ(editor().size(), (CGSize{250, 240}));
    // Centred vertically: the canvas's top inset is (200 - 107.5) / 2 + 10.
    EXPECT_EQ(editor().canvasView()->frame().origin, (CGPoint{10, 56.25}));
    EXPECT_EQ(editor().plane()->frame(), editor().canvasView()->frame());
    ASSERT_NE(editor().timerUpdateImage(), nullptr);
    EXPECT_DOUBLE_EQ(editor().timerUpdateImage()->timeInterval(), 0.1);
    const int before = counting->imageAsks;
    advance(0.5);
    EXPECT_EQ(counting->imageAsks - before, 5);
}

TEST_F(RectEditor, ComponentsBeyondSinglePrecisionShowAndResetToTheWholePicture) {
    host->image = picture(640, 480);
    const Value huge = numbers({-1e307, -1e307, 1e308, 1e308});
    open(crop(huge, huge));
    EXPECT_EQ(plane().handleValue(0), (CGPoint{0, 0}));
    EXPECT_EQ(plane().handleValue(2), (CGPoint{1, 1}));
    EXPECT_TRUE(host->changed.empty()) << "showing writes nothing";
    reset();
    expectStored({0, 0, 640, 480});
    EXPECT_EQ(sizeFromValue(record["editingBaseSize"]), (CGSize{640, 480}));
    ASSERT_EQ(host->changed.size(), 1u);
}

TEST_F(RectEditor, DraggingACornerToThePlanesCornerStoresPixels) {
    host->image = picture(1000, 500);
    open(crop(numbers({100, 50, 400, 200}), numbers({0, 0, 1000, 500})));
    const CGSize s = plane().frame().size;
    const CGPoint corner = plane().pointers()[2]->center();
    EXPECT_NEAR(corner.x, 0.5 * s.width, 1e-6);
    // A real drag through the pop-up's recogniser, from the corner far beyond the plane.
    const CGPoint far = inWindow(editor().plane(), {s.width + 200, -200});
    drag({inWindow(editor().plane(), corner), inWindow(editor().plane(), {corner.x + 20, corner.y - 20}), far, far});
    expectStored({100, 50, 900, 450});
    EXPECT_EQ(sizeFromValue(record["editingBaseSize"]), (CGSize{1000, 500}));
    ASSERT_FALSE(host->changed.empty());
    EXPECT_EQ(host->changed.back().identity(), record.identity());
}

TEST_F(RectEditor, RatiosAreHeldForTheCurrentPicture) {
    host->image = picture(1600, 1200);
    open(crop(numbers({0, 0, 1600, 1200})));
    editor().onRatio();
    advance(0.5);
    EXPECT_EQ(editor().popRatio()->phase(), PopPhase::Shown);
    chooseRatio(4);
    EXPECT_EQ(editor().popRatio()->phase(), PopPhase::Hidden);
    EXPECT_EQ(editor().selectedRatio(), 4);
    EXPECT_DOUBLE_EQ(plane().fixedRatioHbyW(), 1.0 * 1600 / 1200);
    // The rectangle became a square in pixels, centred, and was stored.
    expectStored({200, 0, 1200, 1200});
    EXPECT_EQ(editor().btnRatio()->title(), "1:1");

    host->changed.clear();
    chooseRatio(0);
    EXPECT_EQ(plane().fixedRatioHbyW(), 0);
    EXPECT_TRUE(host->changed.empty()) << "freeing writes nothing";
    EXPECT_EQ(editor().btnRatio()->title(), "FREE");
    plane().pan(S::Began, plane().pointers()[4]->center());
    EXPECT_EQ(plane().panK(), 4) << "edges move again";

    // A new picture size re-derives the held ratio at the next opening.
    chooseRatio(1);
    editor().hide(PopView::Callback([] {}));
    advance(0.5);
    host->image = picture(1000, 1000);
    pop->act(pop->arr()[0], anchor);
    advance(0.5);
    EXPECT_DOUBLE_EQ(plane().fixedRatioHbyW(), static_cast<float>(4.0 / 3.0));
    EXPECT_EQ(editor().btnRatio()->title(), "3:4");
}

TEST_F(RectEditor, AStoredBaseSizeIsConvertedForDisplay) {
    host->image = picture(300, 300);
    open(crop(numbers({0, 0, 300, 300}), std::nullopt, {{"editingBaseSize", sizeValue({600, 600})}}));
    EXPECT_EQ(plane().handleValue(2), (CGPoint{0.5, 0.5}));
    Value attrs = crop(numbers({0, 0, 150, 150}), std::nullopt, {{"editingBaseSize", sizeValue({0, -1})}});
    editor().hide(PopView::Callback([] {}));
    advance(0.5);
    open(attrs);
    EXPECT_EQ(plane().handleValue(2), (CGPoint{0.5, 0.5})) << "an unusable base: absolute";
}

TEST_F(RectEditor, NoPictureOrUnreadableRecordsStoreNothingOdd) {
    const std::shared_ptr<CIImage> none[] = {nullptr, CIImage::emptyImage(),
                                             CIImage::imageWithColor(CIColor::colorWithRed(1, 0, 0))};
    for (const auto& image : none) {
        host->image = image;
        open(crop(numbers({1, 2, 3, 4})));
        EXPECT_EQ(editor().phase(), PopPhase::Hidden);
        expectStored({1, 2, 3, 4});
        EXPECT_TRUE(host->changed.empty());
    }
    host->image = picture(200, 100);
    const double nan = std::nan("");
    for (const Value& v : {Value(), Value("x"), numbers({nan, 5}), numbers({10, 10, nan, 1e300})}) {
        open(crop(v, numbers({nan, nan, nan, nan})));
        for (int i = 0; i < CoordRectView::kHandles; ++i) {
            const CGPoint p = plane().handleValue(i);
            EXPECT_TRUE(p.x >= 0 && p.x <= 1 && p.y >= 0 && p.y <= 1) << i;
        }
        reset();
        expectStored({0, 0, 200, 100});
        editor().hide(PopView::Callback([] {}));
        advance(0.5);
    }
}

struct Chooser : PlaneEditors, PopAdjRectRatioViewDelegate {
    long current = 0;
    bool refuse = false;
    std::vector<long> chosen;
    long onPopAdjRectRatioViewGetValue(PopAdjRectRatioView&) override { return current; }
    void onPopAdjRectRatioViewValueChanged(PopAdjRectRatioView&, long index) override {
        chosen.push_back(index);
        if (!refuse) current = index;
    }
    static bool selected(const StatusButtonPath& b) {
        return b.label()->tintColor()->cgColor() == UIColor::orangeColor()->cgColor();
    }
};

TEST_F(Chooser, ButtonsTitlesAndSelection) {
    auto c = PopAdjRectRatioView::make(screenVC);
    std::shared_ptr<Chooser> self(this, [](Chooser*) {});
    c->setDelegate(self);
    c->show(
        anchor, [] {}, [] {});
    advance(0.5);
    const char* titles[] = {"FREE", "3:4", "9:16", "2:3", "1:1"};
    for (long i = 0; i < 5; ++i) {
        EXPECT_EQ(c->buttons()[i]->title(), titles[i]);
        EXPECT_EQ(selected(*c->buttons()[i]), i == 0);
        if (i > 0) {
            EXPECT_LT(c->buttons()[i - 1]->frame().origin.x, c->buttons()[i]->frame().origin.x);
        }
    }
    EXPECT_EQ(PopAdjRectRatioView::getTitle(5), std::nullopt);
    EXPECT_EQ(PopAdjRectRatioView::getBezierPath(-1), std::nullopt);

    // A real tap on "2:3".
    tap(centreOf(c->buttons()[3]));
    EXPECT_EQ(chosen, (std::vector<long>{3}));
    EXPECT_TRUE(selected(*c->buttons()[3]));
    EXPECT_FALSE(selected(*c->buttons()[0]));

    refuse = true;
    c->onRatio(4);
    EXPECT_TRUE(selected(*c->buttons()[3])) << "the delegate kept its choice";
    current = 7;
    c->updateView();
    for (const auto& b : c->buttons()) EXPECT_FALSE(selected(*b));
}

}  // namespace
