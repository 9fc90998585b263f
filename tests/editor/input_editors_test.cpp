// The input grid, vector and transform editors opened through the parameter pop-up: their shape
// by kind, the values they write and report, and records that hold too little or the wrong thing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/input/pop_adj_input_view.h"
#include "editor/input/pop_adj_transform_view.h"
#include "editor/input/pop_adj_vector_view.h"
#include "filter/filter_element.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_slider.h"
#include "tests/editor/editor_pop_support.h"
#include "widgets/button/icon_button.h"

namespace {

Value numberArray(std::initializer_list<double> values) {
    Value a = Value::array();
    for (double v : values) a.append(Value(v));
    return a;
}

using InputEditor = EditorPopTest;

TEST_F(InputEditor, GridShapesByKind) {
    struct Case {
        int kind;
        CGSize size;
        CGSize content;
        long shown;
        const char* lastLabel;
        CGRect lastCell;
    };
    const Case cases[] = {
        {14, {160, 185}, {160, 100}, 10, "4,1", {{5, 95}, {50, 30}}},
        {17, {200, 245}, {360, 220}, 49, "7,7", {{305, 185}, {50, 30}}},
        {19, {60, 200 + 45}, {60, 280}, 9, "9,1", {{5, 245}, {50, 30}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        open(adjAttrs("CIConvolution", {{"inputWeights", adjRecord("Weights", c.kind, {{"value", Value::array()}})}}));
        auto e = pop->popInput();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->size(), c.size);
        EXPECT_EQ(e->scrollView()->contentSize(), c.content);
        long shown = 0;
        for (const auto& [button, label] : e->inputs()) shown += button->isHidden() ? 0 : 1;
        EXPECT_EQ(shown, c.shown);
        const auto& [button, label] = e->inputs()[static_cast<std::size_t>(c.shown - 1)];
        EXPECT_EQ(label->text(), c.lastLabel);
        EXPECT_EQ(button->frame(), c.lastCell);
        EXPECT_EQ(label->frame().size.height, 10);
        EXPECT_EQ(e->inputs()[0].second->text(), "1,1");
        // A short value shows its missing cells as 0.
        EXPECT_EQ(button->titleForState(UIControlStateNormal), "0.0");
    }
    // Kind 19's labels run down the one column.
    EXPECT_EQ(pop->popInput()->inputs()[4].second->text(), "5,1");
}

TEST_F(InputEditor, APromptedNumberIsStoredAsEnteredAndShownToOneDecimal) {
    Value r = adjRecord("Coefficients", 14,
                        {{"value", numberArray({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})}, {"instanceData", Value(1)}});
    open(adjAttrs("CIColorCrossPolynomial", {{"inputRedCoefficients", r}}));
    auto e = pop->popInput();
    auto& cell = *e->inputs()[4].first;
    EXPECT_EQ(cell.titleForState(UIControlStateNormal), "5.0");

    cell.sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1);
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->message(), "2,2");
    EXPECT_EQ(alert()->textFields()[0]->text(), "5.0");
    EXPECT_EQ(alert()->textFields()[0]->traits().keyboardType, UIKeyboardType::NumbersAndPunctuation);
    answer("9", "Cancel");
    EXPECT_FLOAT_EQ(numbers(r)[4], 5);
    EXPECT_TRUE(host->changed.empty());

    cell.sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1);
    answer("2.26");
    EXPECT_EQ(cell.titleForState(UIControlStateNormal), "2.3");
    EXPECT_FLOAT_EQ(numbers(r)[4], 2.26f);
    EXPECT_FALSE(r.dictionaryPtr()->contains("instanceData"));
    ASSERT_EQ(host->changed.size(), 1u);
    EXPECT_EQ(host->changed[0].identity(), r.identity());

    // Text that is no number stores 0, whatever its length or script.
    cell.sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1);
    answer("abc " + std::string(3000, 'x') + " 数字");
    EXPECT_FLOAT_EQ(numbers(r)[4], 0);
    EXPECT_EQ(cell.titleForState(UIControlStateNormal), "0.0");
    cell.sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1);
    answer("1e999");
    EXPECT_FLOAT_EQ(numbers(r)[4], 0) << "an overflow is no number either";
}

TEST_F(InputEditor, AWriteBeyondAShortValuePadsItFirst) {
    Value r = adjRecord("Weights", 15, {{"value", numberArray({1, 2})}});
    open(adjAttrs("CIConvolution3X3", {{"inputWeights", r}}));
    pop->popInput()->inputs()[8].first->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1);
    answer("7");
    EXPECT_EQ(numbers(r), (std::vector<float>{1, 2, 0, 0, 0, 0, 0, 0, 7}));

    // A value of the wrong kind is shown as zeros and replaced by an array on a write.
    Value odd = adjRecord("Weights", 15, {{"value", Value("junk")}});
    open(adjAttrs("CIConvolution3X3", {{"inputWeights", odd}}));
    EXPECT_EQ(pop->popInput()->inputs()[0].first->titleForState(UIControlStateNormal), "0.0");
    pop->popInput()->inputs()[1].first->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1);
    answer("3");
    EXPECT_EQ(numbers(odd), (std::vector<float>{0, 3}));
}

TEST_F(InputEditor, OnlyTheTransformKindReadsThroughTheMap) {
    Value t = adjRecord("Transform", 20, {{"value", numberArray({1, 2, 3, 4, 5, 6})}});
    auto e = PopAdjInputView::make(screenVC);
    e->show(anchor, t, [] {});
    // a, b, tx over c, d, ty.
    EXPECT_EQ(e->inputs()[2].first->titleForState(UIControlStateNormal), "5.0");
    EXPECT_EQ(e->inputs()[3].first->titleForState(UIControlStateNormal), "3.0");
    Value w = adjRecord("Weights", 15, {{"value", numberArray({1, 2, 3, 4, 5, 6, 7, 8, 9})}});
    e->show(anchor, w, [] {});
    EXPECT_FALSE(e->valueMap().has_value());
    EXPECT_EQ(e->inputs()[2].first->titleForState(UIControlStateNormal), "3.0");
    // An unknown kind keeps the grid shown before.
    e->show(anchor, adjRecord("Odd", 3, {{"value", Value(std::numeric_limits<double>::quiet_NaN())}}), [] {});
    EXPECT_EQ(e->count(), 9);
    EXPECT_EQ(e->inputs()[0].first->titleForState(UIControlStateNormal), "0.0");
}

TEST_F(InputEditor, ResetWritesTheDefaultArrayAndReportsOnce) {
    Value r = adjRecord("Weights", 15, {{"value", numberArray({1, 2, 3})}, {"def", numberArray({0, 0, 0, 0, 1})}});
    open(adjAttrs("CIConvolution3X3", {{"inputWeights", r}}));
    pop->popInput()->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(numbers(r), (std::vector<float>{0, 0, 0, 0, 1}));
    EXPECT_EQ(pop->popInput()->inputs()[4].first->titleForState(UIControlStateNormal), "1.0");
    EXPECT_EQ(host->changed.size(), 1u);
    EXPECT_NE(r["value"].identity(), r["def"].identity()) << "a copy, not the default itself";
}

using VectorEditor = EditorPopTest;

TEST_F(VectorEditor, SlidersByKindWithRangesFromTheBounds) {
    struct Case {
        int kind;
        ValueDictionary keys;
        CGFloat height;
        int shown;
        float lo0, hi0;
        float value0;
    };
    const Case cases[] = {
        {11, {{"value", numberArray({5, 6})}}, 135, 2, 0, 1, 1},
        {13, {}, 215, 4, 0, 1, 0},
        {12, {{"min", numberArray({2})}, {"value", numberArray({2.5})}}, 175, 3, 2, 3, 2.5},
        {13, {{"max", numberArray({10, 10})}, {"value", numberArray({-4})}}, 215, 4, 9, 10, 9},
        {9,
         {{"min", numberArray({0, 0, 0, 0})}, {"max", numberArray({1, 1, 1, 1})}, {"value", numberArray({0.25})}},
         215,
         4,
         0,
         1,
         0.25},
        {8,
         {{"min", Value("x")}, {"max", Value(std::numeric_limits<double>::infinity())}, {"value", Value(3)}},
         215,
         4,
         0,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        open(adjAttrs("CIVector", {{"inputVector", adjRecord("Vector", c.kind, c.keys)}}));
        auto e = pop->popVector();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->size(), (CGSize{200, c.height}));
        int shown = 0;
        for (const auto& s : e->sliders()) shown += s->isHidden() ? 0 : 1;
        EXPECT_EQ(shown, c.shown);
        EXPECT_FLOAT_EQ(e->sliders()[0]->minimumValue(), c.lo0);
        EXPECT_FLOAT_EQ(e->sliders()[0]->maximumValue(), c.hi0);
        EXPECT_FLOAT_EQ(e->sliders()[0]->value(), c.value0);
        EXPECT_EQ(e->sliders()[1]->frame(), (CGRect{{10, 50}, {180, 30}}));
    }
}

TEST_F(VectorEditor, HiddenComponentsComeFromTheRecordShown) {
    // A four-slider record first leaves its numbers on the sliders the next one hides.
    open(
        adjAttrs("CIVector", {{"inputVector", adjRecord("Four", 13, {{"value", numberArray({0.9, 0.9, 0.9, 0.9})}})}}));
    Value offset = adjRecord("Offset", 11, {{"value", numberArray({0.1, 0.2, 7})}});
    open(adjAttrs("CIVector", {{"inputOffset", offset}}));
    auto e = pop->popVector();
    e->sliders()[1]->setValue(0.5);
    e->sliders()[1]->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(numbers(offset), (std::vector<float>{0.1f, 0.5f, 7, 0}));
    ASSERT_EQ(host->changed.size(), 1u);

    // Reset reads a short default as zeros beyond its end, reports, then shows it.
    offset.set("def", numberArray({0.3}));
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(numbers(offset), (std::vector<float>{0.3f, 0, 0, 0}));
    EXPECT_EQ(host->changed.size(), 2u);
    EXPECT_FLOAT_EQ(e->sliders()[0]->value(), 0.3f);
}

struct TransformEditor : EditorPopTest {
    Value record = adjRecord("Transform", 20, {{"value", numberArray({1, 0, 0, 1, 0, 0})}});
    std::shared_ptr<PopAdjTransformView> e;
    void SetUp() override {
        EditorPopTest::SetUp();
        open(adjAttrs("CIAffineTransform", {{"inputTransform", record}}));
        e = pop->popTransform();
        ASSERT_NE(e, nullptr);
    }
    void press(const std::shared_ptr<IconButton>& b) { b->sendActionsForControlEvents(UIControlEventTouchUpInside); }
    void expectValue(std::initializer_list<float> expected) {
        const auto got = numbers(record);
        ASSERT_EQ(got.size(), expected.size());
        std::size_t i = 0;
        for (float x : expected) EXPECT_NEAR(got[i++], x, 1e-9) << "at " << i - 1;
    }
};

TEST_F(TransformEditor, FlipsActAfterAndTurnsBefore) {
    EXPECT_EQ(e->size(), (CGSize{210, 105}));
    press(e->btnRotateL());
    expectValue({0, 1, -1, 0, 0, 0});
    for (int i = 0; i < 3; ++i) press(e->btnRotateL());
    expectValue({1, 0, 0, 1, 0, 0});
    EXPECT_EQ(host->changed.size(), 4u) << "one report per press";

    press(e->btnFlipH());
    press(e->btnRotateL());
    expectValue({0, 1, 1, 0, 0, 0});
    FilterElement::setAttrValueTransform(record, CGAffineTransformIdentity);
    press(e->btnRotateL());
    press(e->btnFlipH());
    expectValue({0, 1, 1, 0, 0, 0});

    FilterElement::setAttrValueTransform(record, {1, 0, 0, 1, 10, 20});
    press(e->btnFlipH());
    expectValue({-1, 0, 0, 1, -10, 20});
    FilterElement::setAttrValueTransform(record, {1, 0, 0, 1, 10, 20});
    press(e->btnRotateL());
    expectValue({0, 1, -1, 0, 10, 20});
    press(e->btnRotateR());
    press(e->btnFlipV());
    expectValue({1, 0, 0, -1, 10, -20});
}

TEST_F(TransformEditor, ShortOrMissingMatricesReadAsZero) {
    record.set("value", numberArray({1, 0, 0, 1, 5}));
    press(e->btnRotateL());
    expectValue({0, 0, 0, 0, 0, 0});
    record.dictionaryPtr()->remove("value");
    press(e->btnFlipV());
    expectValue({0, 0, 0, 0, 0, 0});
    record.set("def", numberArray({2, 0, 0, 2, 1, 1, 99}));
    const auto before = host->changed.size();
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    expectValue({2, 0, 0, 2, 1, 1});
    EXPECT_EQ(host->changed.size(), before + 1);
}

}  // namespace
