// Switch, segmented and slider rows on a real table: segments from titles or images, where the
// controls sit by title and margin, the enabled state followed live, narrowed titles, the
// handlers and validation of the boxed values.
#include "form_test_support.h"
#include "platform/ui/draw/graphics.h"
#include "settings/form/form_control_cells.h"
#include "settings/form/form_table_view_section.h"
#include "settings/form/form_validator.h"

namespace {

CGPoint mid(CGRect r) {
    return {CGRectGetMidX(r), CGRectGetMidY(r)};
}

std::shared_ptr<UIImage> dot() {
    UIGraphicsBeginImageContextWithOptions({12, 12}, false, 1);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

struct ControlRowsTest : FormHarness {
    // A section with a style of the given content margin.
    std::shared_ptr<FormTableViewSection> addStyledSection(std::vector<FormItem> items, CGFloat margin) {
        auto s = addSection(std::move(items));
        auto style = FormTableViewCellStyle::make();
        style->contentViewMargin = margin;
        s->setStyle(style);
        return s;
    }
    // How far a control ends from the right edge of its cell's content view.
    static CGFloat rightGap(FormTableViewCell& cell, UIView& control) {
        return cell.contentView()->bounds().size.width - CGRectGetMaxX(control.frame());
    }
};

}  // namespace

TEST_F(ControlRowsTest, SegmentsComeFromTitlesElseImagesElseNone) {
    auto both = FormSegmentedItem::itemWithTitle("Both", std::vector<std::string>{"One", "Two"}, 1);
    both->segmentedControlImages = {dot(), dot(), dot()};
    auto images = FormSegmentedItem::itemWithTitle("Images", std::vector<std::shared_ptr<UIImage>>{dot()}, 0);
    auto neither = FormSegmentedItem::itemWithTitle("Neither", std::vector<std::string>{}, 0);
    addSection({both, images, neither});
    reload();
    auto titled = cellAt<FormTableViewSegmentedCell>(0, 0)->segmentedControl();
    ASSERT_EQ(titled->numberOfSegments(), 2u);
    EXPECT_EQ(titled->titleForSegmentAtIndex(1), "Two");
    EXPECT_EQ(titled->selectedSegmentIndex(), 1);
    auto pictured = cellAt<FormTableViewSegmentedCell>(0, 1)->segmentedControl();
    ASSERT_EQ(pictured->numberOfSegments(), 1u);
    EXPECT_NE(pictured->imageForSegmentAtIndex(0), nullptr);
    EXPECT_EQ(cellAt<FormTableViewSegmentedCell>(0, 2)->segmentedControl()->numberOfSegments(), 0u);
}

TEST_F(ControlRowsTest, AnUntitledSegmentedRowSpansATitledOneSitsRightAndNarrowsItsTitle) {
    auto spanning = FormSegmentedItem::itemWithTitle("", std::vector<std::string>{"A", "B"}, 0);
    auto titled = FormSegmentedItem::itemWithTitle("Quality", std::vector<std::string>{"A", "B"}, 0);
    addSection({spanning, titled});
    reload();
    auto wide = cellAt<FormTableViewSegmentedCell>(0, 0);
    EXPECT_NEAR(wide->segmentedControl()->frame().origin.x, 15, 0.5);
    EXPECT_NEAR(rightGap(*wide, *wide->segmentedControl()), 15, 0.5);
    auto right = cellAt<FormTableViewSegmentedCell>(0, 1);
    CGRect control = right->segmentedControl()->frame();
    EXPECT_GE(control.size.width, 140);
    EXPECT_LT(control.size.width, 200);
    EXPECT_NEAR(rightGap(*right, *right->segmentedControl()), 15, 0.5);
    EXPECT_LE(CGRectGetMaxX(right->textLabel()->frame()), control.origin.x);
    // The same cell shown again for a titled item does not keep the spanning constraints.
    std::swap(spanning->title, titled->title);
    reload();
    EXPECT_GE(cellAt<FormTableViewSegmentedCell>(0, 0)->segmentedControl()->frame().origin.x, 100);
}

TEST_F(ControlRowsTest, MarginsAreFifteenWithoutAContentMarginAndTenWithAny) {
    for (CGFloat margin : {0.0, 4.0, 30.0}) {
        SCOPED_TRACE(margin);
        manager->removeAllSections();
        auto on = FormBoolItem::itemWithTitle("On", true);
        auto level = FormFloatItem::itemWithTitle("Level", 0.5f);
        addStyledSection({on, level}, margin);
        reload();
        CGFloat expected = margin > 0 ? 10 : 15;
        auto sw = cellAt<FormTableViewBoolCell>(0, 0);
        EXPECT_NEAR(rightGap(*sw, *sw->switchView()), expected, 0.5);
        auto slider = cellAt<FormTableViewFloatCell>(0, 1);
        EXPECT_NEAR(rightGap(*slider, *slider->sliderView()), expected, 0.5);
        EXPECT_EQ(slider->sliderView()->frame().size.width, 140);
        EXPECT_NEAR(CGRectGetMidY(slider->sliderView()->frame()), slider->contentView()->bounds().size.height / 2, 0.5);
    }
}

TEST_F(ControlRowsTest, TurningEnabledOffGreysAVisibleRowAtOnce) {
    auto on = FormBoolItem::itemWithTitle("Flash", true);
    auto choice = FormSegmentedItem::itemWithTitle("Mode", std::vector<std::string>{"A", "B"}, 0);
    auto level = FormFloatItem::itemWithTitle("Level", 0.2f);
    addSection({on, choice, level});
    reload();
    auto sw = cellAt<FormTableViewBoolCell>(0, 0);
    auto seg = cellAt<FormTableViewSegmentedCell>(0, 1);
    auto sl = cellAt<FormTableViewFloatCell>(0, 2);
    on->setEnabled(false);
    choice->setEnabled(false);
    level->setEnabled(false);
    EXPECT_FALSE(sw->switchView()->isEnabled());
    EXPECT_FALSE(sw->textLabel()->isEnabled());
    EXPECT_FALSE(sw->isUserInteractionEnabled());
    EXPECT_FALSE(seg->segmentedControl()->isEnabled());
    EXPECT_FALSE(sl->sliderView()->isEnabled());
    EXPECT_FALSE(sl->textLabel()->isEnabled());
    on->setEnabled(true);
    EXPECT_TRUE(sw->switchView()->isEnabled());
    EXPECT_TRUE(sw->textLabel()->isEnabled());
}

TEST_F(ControlRowsTest, ALongSwitchTitleEndsBeforeTheSwitchAShortOneStaysWhole) {
    auto longTitle = FormBoolItem::itemWithTitle("Save every photo with its location and a copy of the original", true);
    auto shortTitle = FormBoolItem::itemWithTitle("Grid", false);
    auto plain = FormTableViewItem::itemWithTitle("Grid");
    addStyledSection({longTitle, shortTitle, plain}, 6);
    reload();
    auto narrowed = cellAt<FormTableViewBoolCell>(0, 0);
    EXPECT_LE(CGRectGetMaxX(narrowed->textLabel()->frame()), narrowed->switchView()->frame().origin.x - 16 + 0.5)
        << "the label ends the content margin and 10 points before the switch";
    EXPECT_GT(narrowed->textLabel()->frame().size.width, 100);
    // Labels here span the row, so a short title is narrowed too, but never below its text.
    auto kept = cellAt<FormTableViewBoolCell>(0, 1);
    EXPECT_LE(CGRectGetMaxX(kept->textLabel()->frame()), kept->switchView()->frame().origin.x - 16 + 0.5);
    EXPECT_GE(kept->textLabel()->frame().size.width, kept->textLabel()->sizeThatFits({0, 0}).width);
    EXPECT_EQ(kept->textLabel()->frame().origin, cellAt(0, 2)->textLabel()->frame().origin);
}

TEST_F(ControlRowsTest, TheUsersChangesReachTheItemBeforeItsHandler) {
    std::vector<std::string> heard;
    auto on =
        FormBoolItem::itemWithTitle("Flash", false, [&](FormBoolItem& i) { heard.push_back(i.value ? "on" : "off"); });
    auto choice = FormSegmentedItem::itemWithTitle(
        "", std::vector<std::string>{"A", "B"}, 0,
        [&](FormSegmentedItem& i) { heard.push_back("segment " + std::to_string(i.value)); });
    std::vector<float> levels;
    auto level = FormFloatItem::itemWithTitle("Level", 0.0f, [&](FormFloatItem& i) { levels.push_back(i.value); });
    addSection({on, choice, level});
    reload();
    tap(mid(inWindow(cellAt<FormTableViewBoolCell>(0, 0)->switchView())));
    auto seg = cellAt<FormTableViewSegmentedCell>(0, 1)->segmentedControl();
    CGRect second = seg->convertRectToView(seg->rectForSegmentAtIndex(1), nullptr);
    tap(mid(second));
    EXPECT_EQ(heard, (std::vector<std::string>{"on", "segment 1"}));
    EXPECT_TRUE(on->value);
    EXPECT_EQ(choice->value, 1);

    CGRect track = inWindow(cellAt<FormTableViewFloatCell>(0, 2)->sliderView());
    CGFloat y = CGRectGetMidY(track);
    std::vector<CGPoint> path;
    for (CGFloat x = track.origin.x + 2; x < CGRectGetMaxX(track); x += 20) path.push_back({x, y});
    path.push_back({CGRectGetMaxX(track), y});
    drag(path);
    ASSERT_GE(levels.size(), 3u) << "the slider row reports while the thumb moves";
    EXPECT_LT(levels.front(), levels.back());
    EXPECT_FLOAT_EQ(level->value, levels.back());
}

TEST_F(ControlRowsTest, ErrorsValidateTheBoxedValueUnderTheNameOrTitle) {
    std::vector<Value> seen;
    std::vector<std::string> names;
    auto record = FormValidator::validatorWithInlineValidation([&](const Value& v, const std::string& name) {
        seen.push_back(v);
        names.push_back(name);
        return std::shared_ptr<NSError>();
    });
    auto on = FormBoolItem::itemWithTitle("Flash", true);
    on->validators = {record};
    auto level = FormFloatItem::itemWithTitle("Level", 0.25f);
    level->name = "level";
    level->validators = {record};
    EXPECT_TRUE(on->errors()->empty());
    EXPECT_TRUE(level->errors()->empty());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].isBool());
    EXPECT_TRUE(seen[0].boolValue());
    EXPECT_EQ(seen[1].kind(), Value(0.25f).kind());
    EXPECT_FLOAT_EQ(seen[1].floatValue(), 0.25f);
    EXPECT_EQ(names, (std::vector<std::string>{"Flash", "level"}));
    EXPECT_FALSE(FormSegmentedItem::itemWithTitle("", std::vector<std::string>{}, 0)->errors().has_value());
}
