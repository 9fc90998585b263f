// A one-line label that may shrink its text draws all of it, smaller, in a narrow width.
#include <gtest/gtest.h>

#include "draw_test_support.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

// The rows and the rightmost column that hold dark ink.
struct Ink {
    int rows = 0;
    int right = -1;
};

Ink inkOf(UILabel& label) {
    label.layoutIfNeeded();
    auto picture = LayerRenderer::snapshot(*label.layer(), 1);
    Ink ink;
    if (!picture) return ink;
    int w = static_cast<int>(label.bounds().size.width), h = static_cast<int>(label.bounds().size.height);
    for (int y = 0; y < h; ++y) {
        bool any = false;
        for (int x = 0; x < w; ++x)
            if (pixelAt(*picture, x, y).r < 100) {
                any = true;
                ink.right = std::max(ink.right, x);
            }
        ink.rows += any;
    }
    return ink;
}

std::shared_ptr<UILabel> narrowLabel(bool shrink) {
    auto label = UILabel::make(CGRectMake(0, 0, 60, 30));
    label->setBackgroundColor(UIColor::whiteColor());
    label->setTextColor(UIColor::blackColor());
    label->setFont(UIFont::systemFontOfSize(20));
    label->setText("HHHHHHHHHH");
    label->setAdjustsFontSizeToFitWidth(shrink);
    label->setMinimumScaleFactor(0.1);
    return label;
}

}  // namespace

TEST(LabelFitTest, ShrinkingDrawsTheWholeTextSmallerWithinTheWidth) {
    Ink cut = inkOf(*narrowLabel(false));
    Ink shrunk = inkOf(*narrowLabel(true));
    ASSERT_GT(cut.rows, 0);
    ASSERT_GT(shrunk.rows, 0);
    EXPECT_LT(shrunk.rows, cut.rows * 0.7) << "smaller glyphs";
    EXPECT_GE(shrunk.right, 50) << "the text still reaches across the label";
    // A text that fits is drawn as it is.
    auto fits = narrowLabel(true);
    fits->setText("H");
    EXPECT_EQ(inkOf(*fits).rows, inkOf(*[&] {
                  auto plain = narrowLabel(false);
                  plain->setText("H");
                  return plain;
              }()).rows);
}

TEST(LabelFitTest, ALabelWithRoomForEachOfItsOwnLinesShrinksTheWideOne) {
    // Two lines of its own in a two-line label: the long line shrinks rather than wrapping or
    // losing its end, and the whole text still stands on two lines.
    auto twoLines = [](bool shrink, long lines) {
        auto label = narrowLabel(shrink);
        label->setFrame(CGRectMake(0, 0, 60, 60));
        label->setNumberOfLines(lines);
        label->setText("HH\nHHHHHHHHHH");
        return label;
    };
    Ink cut = inkOf(*twoLines(false, 2));
    Ink shrunk = inkOf(*twoLines(true, 2));
    ASSERT_GT(cut.rows, 0);
    EXPECT_LT(shrunk.rows, cut.rows * 0.7) << "smaller glyphs";
    EXPECT_GE(shrunk.right, 50) << "the long line reaches across the label";
    EXPECT_LT(shrunk.right, 60);
    // A label of unlimited lines wraps as before; so does one with fewer lines than its text.
    EXPECT_EQ(inkOf(*twoLines(true, 0)).rows, inkOf(*twoLines(false, 0)).rows);
    auto threeLines = [&](bool shrink) {
        auto label = twoLines(shrink, 2);
        label->setText("HH\nHHHHHHHHHH\nH");
        return label;
    };
    EXPECT_EQ(inkOf(*threeLines(true)).rows, inkOf(*threeLines(false)).rows);
}
