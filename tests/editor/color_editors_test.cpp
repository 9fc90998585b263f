// The colour-space chooser, the colour editor and the colour-array editor opened through the
// parameter pop-up: what they select, draw, write and report, and records that hold the wrong thing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/color/color_picker_math.h"
#include "editor/color/pop_adj_color_array_view.h"
#include "editor/color/pop_adj_color_space_view.h"
#include "editor/color/pop_adj_color_view.h"
#include "filter/color_spaces.h"
#include "foundation/global.h"
#include "platform/runtime/weak_value.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "tests/editor/editor_pop_support.h"
#include "tests/platform/ui/draw_test_support.h"
#include "ui/controls/status_button_image.h"
#include "ui/theme/color_custom.h"
#include "widgets/button/icon_button.h"

namespace {

Value numberArray(std::initializer_list<double> values) {
    Value a = Value::array();
    for (double v : values) a.append(Value(v));
    return a;
}

struct ColorSpaceChooser : EditorPopTest {
    Value record =
        adjRecord("Color Space", 24, {{"value", Value("kCGColorSpaceSRGB")}, {"def", Value("kCGColorSpaceNULL")}});
    void SetUp() override {
        EditorPopTest::SetUp();
        Global::shared()->setColorSpaces(ColorSpaces::make());
        Global::shared()->colorSpaces()->setDict(Value::dictionary({{"SRGB", Value("kCGColorSpaceSRGB")},
                                                                    {"ROMM RGB", Value("kCGColorSpaceROMMRGB")},
                                                                    {"Default", Value("kCGColorSpaceNULL")},
                                                                    {"display P3", Value("kCGColorSpaceDisplayP3")}}));
    }
    std::shared_ptr<PopAdjColorSpaceView> openChooser() {
        open(adjAttrs("CIColorCubeWithColorSpace", {{"inputColorSpace", record}}));
        return pop->popColorSpace();
    }
    static std::vector<std::string> selected(const PopAdjColorSpaceView& e) {
        std::vector<std::string> out;
        for (const auto& b : e.buttons())
            if (auto tint = b->label()->tintColor(); tint && colorCode(*tint) == colorCode(*UIColor::orangeColor()))
                out.push_back(b->title());
        return out;
    }
};

TEST_F(ColorSpaceChooser, DefaultLeadsThenByNameAndExactlyOneIsSelected) {
    auto e = openChooser();
    ASSERT_NE(e, nullptr);
    std::vector<std::string> titles;
    for (const auto& b : e->buttons()) titles.push_back(b->title());
    EXPECT_EQ(titles, (std::vector<std::string>{"Default", "display P3", "ROMM RGB", "SRGB"}));
    EXPECT_EQ(e->buttons()[2]->frame(), (CGRect{{180, 0}, {80, 35}}));
    EXPECT_EQ(e->scroll()->contentSize(), (CGSize{360, 35}));
    const CGRect screen = screenVC->view()->bounds();
    EXPECT_EQ(e->size(), (CGSize{std::min<CGFloat>(360, std::min(screen.size.width, screen.size.height) - 20), 50}));
    EXPECT_EQ(selected(*e), (std::vector<std::string>{"SRGB"}));

    // A tap on a button's caption chooses like one on its icon.
    e->buttons()[1]->label()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(record["value"].stringValue(), "kCGColorSpaceDisplayP3");
    EXPECT_EQ(selected(*e), (std::vector<std::string>{"display P3"}));
    ASSERT_EQ(host->changed.size(), 1u);

    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(record["value"].stringValue(), "kCGColorSpaceNULL");
    EXPECT_EQ(selected(*e), (std::vector<std::string>{"Default"}));
    EXPECT_EQ(host->changed.size(), 2u);
}

TEST_F(ColorSpaceChooser, ReopeningRebuildsAndAnUnknownNameSelectsNone) {
    auto e = openChooser();
    record.set("value", Value("no such space"));
    openChooser();
    EXPECT_EQ(e->scroll()->subviews().size() >= 4, true);
    std::size_t buttons = 0;
    for (const auto& v : e->scroll()->subviews()) buttons += std::dynamic_pointer_cast<StatusButtonImage>(v) ? 1 : 0;
    EXPECT_EQ(buttons, 4u) << "no buttons of the first opening left behind";
    EXPECT_TRUE(selected(*e).empty());
    record.set("value", Value(3.5));
    openChooser();
    EXPECT_TRUE(selected(*e).empty());
}

TEST_F(ColorSpaceChooser, TheStripNeverOutgrowsTheScreen) {
    ValueDictionary many;
    for (int i = 0; i < 12; ++i) many.set("Space " + std::to_string(10 + i), Value("name" + std::to_string(i)));
    Global::shared()->colorSpaces()->setDict(Value(std::move(many)));
    auto e = openChooser();
    const CGRect b = screenVC->view()->bounds();
    EXPECT_EQ(e->size().width, std::min(b.size.width, b.size.height) - 20);
    EXPECT_EQ(e->scroll()->contentSize().width, 90 * 12);
}

TEST(ColorPickerMath, HueKnotsAndSquareCorners) {
    auto expectRgb = [](const Rgb& got, Rgb want) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 1e-6) << "channel " << c;
    };
    expectRgb(hueColor(0), {1, 0, 0});
    expectRgb(hueColor(1.0 / 12), {1, 0.5, 0});
    expectRgb(hueColor(1.0 / 6), {1, 1, 0});
    expectRgb(hueColor(0.5), {0, 1, 1});
    expectRgb(hueColor(1), {1, 0, 0});
    expectRgb(hueColor(std::numeric_limits<double>::quiet_NaN()), {1, 0, 0});
    expectRgb(squareColor(0.5, 0, 0), {1, 1, 1});
    expectRgb(squareColor(0.5, 1, 0), {0, 1, 1});
    expectRgb(squareColor(0.5, 0.3, 1), {0, 0, 0});
}

struct ColorEditor : EditorPopTest {
    Value record = adjRecord(
        "Color", 1,
        {{"type", Value("CIColor")}, {"value", numberArray({0, 0, 1, 0.5})}, {"def", numberArray({1, 0, 0, 0.5})}});
    std::shared_ptr<PopAdjColorView> e;
    void openEditor(const Value& r) {
        open(adjAttrs("CIConstantColorGenerator", {{"inputColor", r}}));
        advance(1);
        e = pop->popColor();
        ASSERT_NE(e, nullptr);
    }
    void expectValue(std::initializer_list<double> want, double tolerance = 1e-6) {
        const auto got = numbers(record);
        ASSERT_EQ(got.size(), want.size());
        std::size_t i = 0;
        for (double w : want) EXPECT_NEAR(got[i++], w, tolerance) << "component " << i - 1;
    }
    CGRect inWindow(const std::shared_ptr<UIView>& v) { return v->convertRectToView(v->bounds(), window); }
};

TEST_F(ColorEditor, OpeningAColourWritesItOpaqueOnceAndDrawsTheSquare) {
    openEditor(record);
    EXPECT_EQ(e->size(), (CGSize{240, 375}));
    expectValue({0, 0, 1, 1});
    ASSERT_EQ(host->changed.size(), 1u);
    EXPECT_NEAR(e->gp(), 2.0 / 3, 1e-6);
    // The square for blue: white top left, blue top right, black along the bottom.
    auto image = e->actual()->image();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(near(pixelAt(image, 0, 0), {255, 255, 255, 255}));
    EXPECT_TRUE(near(pixelAt(image, 149, 0), {2, 2, 255, 255}));
    EXPECT_TRUE(near(pixelAt(image, 75, 149), {0, 0, 0, 255}));
    EXPECT_TRUE(near(pixelAt(image, 0, 75), {128, 128, 128, 255}));

    // Swatches: ten to a row of side 16; white alone is outlined.
    const auto& swatches = e->swatches();
    ASSERT_EQ(swatches.size(), 66u);
    EXPECT_EQ(swatches[0]->frame(), (CGRect{{2.5, 2.5}, {16, 16}}));
    EXPECT_EQ(swatches[6]->frame().origin, (CGPoint{2.5, 23.5}));
    EXPECT_EQ(swatches[15]->frame().origin.x, 2.5 + 9 * 21);
    EXPECT_EQ(swatches[5]->layer()->borderWidth(), 1);
    EXPECT_EQ(swatches[4]->layer()->borderWidth(), 0);
}

TEST_F(ColorEditor, ACoefficientVectorIsLeftAsItIsUntilTheUserChangesIt) {
    Value coefficients =
        adjRecord("Red Vector", 13, {{"type", Value("CIVector")}, {"value", numberArray({2, -1, 0.5, 0})}});
    coefficients.set("view", Value(1));
    open(adjAttrs("CIColorMatrix", {{"inputRVector", coefficients}}));
    advance(1);
    e = pop->popColor();
    tap({5, 5});
    advance(1);
    EXPECT_EQ(numbers(coefficients), (std::vector<float>{2, -1, 0.5, 0}));
    EXPECT_TRUE(host->changed.empty());
    // A record whose value is no colour at all shows black and stays as it was.
    Value junk = adjRecord("Junk", 1, {{"value", Value("red")}});
    open(adjAttrs("CIColorMatrix", {{"inputJunk", junk}}));
    advance(1);
    EXPECT_EQ(junk["value"].stringValue(), "red");
    EXPECT_NEAR(e->ap().y, 1, 1e-6);
}

TEST_F(ColorEditor, SwatchesAndTouchesPickTheColour) {
    openEditor(record);
    // Orange (255, 153, 0) round trips through hue, saturation and brightness.
    e->swatches()[8]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    expectValue({1, 0.6, 0, 1});
    EXPECT_EQ(host->changed.size(), 2u);

    // Between two swatches: nothing.
    const CGRect s0 = inWindow(e->swatches()[0]);
    tap({CGRectGetMaxX(s0) + 2.5, CGRectGetMidY(s0)});
    EXPECT_EQ(host->changed.size(), 2u);

    // Below the strip's end (still in the panel) is the strip's last hue.
    const CGRect strip = inWindow(e->group());
    tap({CGRectGetMidX(strip), CGRectGetMaxY(strip) + 5});
    EXPECT_DOUBLE_EQ(e->gp(), 1);
    EXPECT_EQ(host->changed.size(), 3u);

    // A pan that starts on the square keeps moving the square's point over the strip.
    const CGRect square = inWindow(e->actual());
    const double hue = e->gp();
    drag({{CGRectGetMidX(square), CGRectGetMidY(square)},
          {CGRectGetMidX(square) + 20, CGRectGetMidY(square)},
          {CGRectGetMidX(strip), CGRectGetMidY(square) - 30},
          {CGRectGetMidX(strip), CGRectGetMidY(square) - 30}});
    EXPECT_DOUBLE_EQ(e->gp(), hue);
    EXPECT_DOUBLE_EQ(e->ap().x, 1);
    EXPECT_NEAR(e->ap().y, 0.3, 0.02);
    EXPECT_EQ(e->panning(), nullptr) << "the pan let go";
}

TEST_F(ColorEditor, ResetWritesTheDefaultAndReportsTwice) {
    openEditor(record);
    const auto before = host->changed.size();
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    expectValue({1, 0, 0, 1});
    EXPECT_EQ(host->changed.size(), before + 2);
}

TEST_F(EditorPopTest, TheColourArraySliderKeepsToItsBoundsAndHoldsTheRecordWeakly) {
    Value def = Value(ValueArray{numberArray({1, 0, 0, 1})});
    Value r = adjRecord("Colors", 21,
                        {{"min", Value(0.2)},
                         {"max", Value(0.8)},
                         {"def", def},
                         {"value", Value(ValueArray{numberArray({0, 0, 1, 1})})}});
    open(adjAttrs("CIColorArray", {{"inputColors", r}}));
    auto e = pop->popColorArray();
    ASSERT_NE(e, nullptr);
    EXPECT_FLOAT_EQ(e->slider()->minimumValue(), 0.2f);
    EXPECT_FLOAT_EQ(e->slider()->maximumValue(), 0.8f);
    // The record holds colours: the slider does not read a position from it.
    EXPECT_FLOAT_EQ(e->slider()->value(), 0.2f) << "the slider took a position from a colour array";
    EXPECT_TRUE(r["value"].isArray()) << "showing the editor wrote into the record";
    e->slider()->setValue(0.9);
    e->slider()->sendActionsForControlEvents(UIControlEventValueChanged);
    ASSERT_TRUE(r["value"].isNumber());
    EXPECT_DOUBLE_EQ(r["value"].doubleValue(), 0.8f);
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    ASSERT_TRUE(r["value"].isArray());
    EXPECT_TRUE(r["value"] == def);
    EXPECT_NE(r["value"].identity(), r["def"].identity()) << "Reset stores a copy";
    EXPECT_EQ(host->changed.size(), 2u);
    EXPECT_FLOAT_EQ(e->slider()->value(), 0.8f) << "Reset leaves the slider where it was";

    // The editor does not keep a record alive: once its owner drops it, a move or Reset while the
    // editor is still open writes nothing, reports nothing and does not crash.
    Value lone = adjRecord("Lone", 21, {{"min", Value(0.0)}, {"max", Value(1.0)}, {"def", def}});
    e->show(anchor, lone, [] {});
    advance(0.5);
    EXPECT_EQ(e->value().identity(), lone.identity());
    WeakValue watch = lone;
    lone = Value();
    EXPECT_TRUE(watch.expired()) << "the editor kept a dropped record alive";
    EXPECT_TRUE(e->value().isNull());
    e->slider()->setValue(0.5);
    e->slider()->sendActionsForControlEvents(UIControlEventValueChanged);
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(host->changed.size(), 2u) << "a change without a record was reported";
    EXPECT_TRUE(r["value"] == def) << "a change went into an earlier record";
}

}  // namespace
