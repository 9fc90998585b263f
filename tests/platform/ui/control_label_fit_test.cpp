// A one-line label that may shrink its text draws all of it, smaller, in a narrow width.
#include <gtest/gtest.h>

#include "draw_test_support.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/text/string_drawing.h"

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

// A label that draws its text as string drawing lays it out afresh in the rectangle given.
class FreshlyLaidOutLabel : public UILabel {
public:
    KORVA_MAKE(FreshlyLaidOutLabel)
    void drawTextInRect(CGRect rect) override {
        if (auto text = displayedText())
            drawWithRect(*text, rect, NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingTruncatesLastVisibleLine);
    }

protected:
    using UILabel::UILabel;
};

}  // namespace

// The layout that measured a label's text is the one it draws: the same pixels as laying the text
// out again in the measured rectangle, for text that fits, is cut, wraps onto lines it has room
// for or not, and a first line taller than the label.
TEST(LabelFitTest, ALabelDrawsTheLayoutItMeasured) {
    struct Case {
        CGRect frame;
        const char* text;
        long lines;
        NSTextAlignment alignment;
    };
    const Case cases[] = {
        {CGRectMake(0, 0, 120, 30), "Field 12", 1, NSTextAlignment::Left},
        {CGRectMake(0, 0, 70, 30), "A title too long for its row", 1, NSTextAlignment::Right},
        {CGRectMake(0, 0, 90, 80), "Words that wrap onto a few lines here and are cut at the end", 2,
         NSTextAlignment::Center},
        {CGRectMake(0, 0, 90, 200), "Words that wrap onto a few lines here", 0, NSTextAlignment::Natural},
        {CGRectMake(0, 0, 90, 50), "Words that wrap onto more lines than the height holds", 0, NSTextAlignment::Left},
        {CGRectMake(0, 0, 80, 9), "Taller than the label", 1, NSTextAlignment::Left},
    };
    for (const Case& c : cases)
        for (CGFloat scale : {1.0, 3.0}) {
            std::shared_ptr<CGImage> pictures[2];
            for (int way = 0; way < 2; ++way) {
                std::shared_ptr<UILabel> label = way == 0 ? UILabel::make(c.frame) : FreshlyLaidOutLabel::make(c.frame);
                label->setFont(UIFont::systemFontOfSize(17));
                label->setText(c.text);
                label->setNumberOfLines(c.lines);
                label->setTextAlignment(c.alignment);
                label->layoutIfNeeded();
                pictures[way] = LayerRenderer::snapshot(*label->layer(), scale);
            }
            ASSERT_TRUE(pictures[0] && pictures[1]) << c.text;
            EXPECT_TRUE(pictures[0]->bytes() == pictures[1]->bytes()) << c.text << " at scale " << scale;
        }
}

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
                                 }())
                                     .rows);
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
