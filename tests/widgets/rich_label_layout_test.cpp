// The rich label's layout and drawing: fitting sizes by line limit, the text rectangle, truncation
// with its token, boxes and strikes read back from pixels, shrinking, and draws that settle.
#include "platform/ui/text/paragraph_style.h"
#include "rich_label_support.h"

namespace {

using RichLabelLayout = RichLabelTest;

const char* kFiveLines = "one\ntwo\nthree\nfour\nfive";
const char* kLong =
    "The quick brown fox jumps over the lazy dog and keeps running across the wide meadow "
    "until the sun goes down behind the hills far away from here";

bool isRed(const Rgba8& p) {
    return p.a > 40 && p.r > 150 && p.g < 90 && p.b < 90;
}
bool isGreen(const Rgba8& p) {
    return p.a > 100 && p.g > 100 && p.r < 90 && p.b < 90;
}

// The columns of a band of rows where `match` holds for some pixel.
std::vector<int> columns(const std::shared_ptr<UIImage>& image, int top, int bottom, bool (*match)(const Rgba8&)) {
    std::vector<int> xs;
    auto cg = image->cgImage();
    for (int x = 0; x < int(cg->width()); ++x)
        for (int y = std::max(0, top); y < std::min(bottom, int(cg->height())); ++y)
            if (match(pixelAt(*cg, x, y))) {
                xs.push_back(x);
                break;
            }
    return xs;
}

TEST_F(RichLabelLayout, FittingSizeFollowsTheLineLimit) {
    auto label = makeLabel();
    label->setText(kLong);
    label->setNumberOfLines(1);
    CGSize one = label->sizeThatFits({200, 0});
    EXPECT_GT(one.width, 600);  // unbounded both ways
    EXPECT_NEAR(one.height, std::ceil(lineHeight()), 1);
    label->setNumberOfLines(0);
    CGSize all = label->sizeThatFits({200, 0});
    EXPECT_LE(all.width, 200);
    EXPECT_GT(all.height, 3 * lineHeight());
    // A token makes the measured text longer than the laid-out one: the range stops at its end.
    label->setAttributedTruncationToken(NSAttributedString::make(" and a very long token indeed"));
    EXPECT_EQ(label->sizeThatFits({200, 0}), all);
    label->setText(kFiveLines);
    label->setNumberOfLines(3);
    EXPECT_NEAR(label->sizeThatFits({200, 0}).height, std::ceil(3 * lineHeight()), 1);
    // Zero and negative sizes and line limits, and the class operation on nothing.
    label->setNumberOfLines(-4);
    EXPECT_GT(label->sizeThatFits({0, 0}).height, 0);
    EXPECT_GT(label->sizeThatFits({-10, -10}).width, 0);
    EXPECT_EQ(RichLabel::sizeThatFitsAttributedString(nullptr, {100, 100}, 2), CGSizeZero);
    EXPECT_EQ(RichLabel::sizeThatFitsAttributedString(NSAttributedString::make(), {100, 100}, 2), CGSizeZero);
    EXPECT_NEAR(RichLabel::sizeThatFitsAttributedString(label->attributedText(), {200, 0}, 2).height,
                std::ceil(2 * lineHeight()), 1);
}

TEST_F(RichLabelLayout, TextRectangleInsetsAndAlignment) {
    auto label = makeLabel(CGRectMake(0, 0, 200, 100));
    label->setText("Short");
    CGFloat used = std::ceil(lineHeight());
    label->setVerticalAlignment(RichLabelVerticalAlignment::Bottom);
    CGRect bottom = label->textRectForBounds(label->bounds(), 0);
    EXPECT_NEAR(bottom.origin.y, 100 - used, 1e-6);
    EXPECT_NEAR(bottom.size.height, 100, 1e-6);  // as tall as the area; only its origin moves
    label->setVerticalAlignment(RichLabelVerticalAlignment::Center);
    EXPECT_NEAR(label->textRectForBounds(label->bounds(), 0).origin.y, std::floor((100 - used) / 2), 1e-6);
    label->setVerticalAlignment(RichLabelVerticalAlignment::Top);
    EXPECT_NEAR(label->textRectForBounds(label->bounds(), 0).origin.y, 0, 1e-6);
    // Never shorter than two lines of the font.
    EXPECT_NEAR(label->textRectForBounds(CGRectMake(0, 0, 200, 5), 1).size.height, 2 * lineHeight(), 1e-6);

    CGSize plain = label->sizeThatFits({200, 0});
    label->setTextInsets({10, 10, 10, 10});
    CGRect inset = label->textRectForBounds(label->bounds(), 0);
    EXPECT_EQ(inset.origin, CGPointMake(10, 10));
    EXPECT_NEAR(inset.size.width, 180, 1e-6);
    CGSize padded = label->sizeThatFits({200, 0});
    EXPECT_NEAR(padded.width, plain.width + 20, 1e-6);
    EXPECT_NEAR(padded.height, plain.height + 20, 1e-6);
}

TEST_F(RichLabelLayout, TailTruncationEndsTheLastLineWithATokenInItsLastCharactersLook) {
    auto label = makeLabel(CGRectMake(0, 0, 200, 2 * lineHeight()));
    label->setNumberOfLines(2);
    label->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    label->setText(kLong);
    // The second line is red, so its "…" is red too.
    auto frame = label->framesetter()->frame({0, label->attributedText()->length()}, {200, 1000});
    NSRange second = frame->lines()[1].range;
    auto red = label->attributedText()->mutableCopy();
    red->addAttribute(kCTForegroundColorAttributeName, UIColor::redColor(), second);
    label->setAttributedText(red);
    auto image = render(*label);
    int firstBottom = int(lineHeight()) - 1, secondTop = int(lineHeight()) + 1;
    auto redColumns = columns(image, secondTop, int(2 * lineHeight()), isRed);
    ASSERT_FALSE(redColumns.empty());
    EXPECT_GT(redColumns.back(), 180);  // the token at the end of the width
    EXPECT_LT(redColumns.back(), 200);
    EXPECT_TRUE(columns(image, 0, firstBottom, isRed).empty());
}

TEST_F(RichLabelLayout, HeadModeOnSeveralLinesCutsTheEndAndALineBreakGoesBeforeTheToken) {
    auto token =
        NSAttributedString::make("\u2026", NSAttributes{{kCTFontAttributeName, UIFont::systemFontOfSize(17)},
                                                        {kCTForegroundColorAttributeName, UIColor::greenColor()}});
    auto label = makeLabel(CGRectMake(0, 0, 200, 3 * lineHeight()));
    label->setNumberOfLines(3);
    label->setLineBreakMode(NSLineBreakMode::ByTruncatingHead);
    label->setAttributedTruncationToken(token);
    label->setText(kLong);
    auto image = render(*label);
    auto green = columns(image, int(2 * lineHeight()), int(3 * lineHeight()), isGreen);
    ASSERT_FALSE(green.empty());
    EXPECT_GT(green.front(), 150);

    // "two\n" is cut before the token: the token follows "two" at once.
    label->setNumberOfLines(2);
    label->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    label->setText(kFiveLines);
    image = render(*label);
    green = columns(image, int(lineHeight()), int(2 * lineHeight()), isGreen);
    ASSERT_FALSE(green.empty());
    CGFloat twoWidth =
        TextLayout(*NSAttributedString::make("two", NSAttributes{{NSFontAttributeName, UIFont::systemFontOfSize(17)}}),
                   TextLayoutOptions{})
            .size()
            .width;
    EXPECT_NEAR(green.front(), twoWidth, 3);
}

TEST_F(RichLabelLayout, BackgroundBoxIsOnePointWiderOnEachSideWithSquareCorners) {
    auto label = makeLabel(CGRectMake(0, 0, 300, 40));
    label->setVerticalAlignment(RichLabelVerticalAlignment::Top);
    label->setTextAfterInheritingLabelAttributes(std::string("aa boxed aa"), [](NSMutableAttributedString& text) {
        text.addAttribute(kRichBackgroundFillColorAttributeName, UIColor::greenColor(), {3, 5});
        text.addAttribute(kCTForegroundColorAttributeName, UIColor::clearColor(), {0, 11});
        return std::shared_ptr<NSAttributedString>(text.mutableCopy());
    });
    auto frame = label->framesetter()->frame({0, 11}, {300, 100});
    CGFloat start = frame->offsetForCharacterIndex(0, 3), end = frame->offsetForCharacterIndex(0, 8);
    auto image = render(*label);
    auto cg = image->cgImage();
    int row = int(lineHeight() / 2);
    EXPECT_TRUE(isGreen(pixelAt(*cg, int(std::floor(start)) - 1, row)));
    EXPECT_FALSE(isGreen(pixelAt(*cg, int(std::floor(start)) - 3, row)));
    EXPECT_TRUE(isGreen(pixelAt(*cg, int(std::ceil(end)), row)));
    EXPECT_FALSE(isGreen(pixelAt(*cg, int(std::ceil(end)) + 2, row)));
    // Square corners: the box's corner pixel is filled; no outline colour is drawn.
    EXPECT_TRUE(isGreen(pixelAt(*cg, int(std::floor(start)), 0)));
}

TEST_F(RichLabelLayout, StrikeLinesMoveForSuperAndSubscripts) {
    // The row of the strike line, and where the middle of the run's box is on that label.
    auto strike = [&](int script) {
        auto label = makeLabel(CGRectMake(0, 0, 200, 60));
        label->setVerticalAlignment(RichLabelVerticalAlignment::Top);
        // Blanks: the strike is the only ink, in the run's colour.
        label->setTextAfterInheritingLabelAttributes(std::string("a    a"), [script](NSMutableAttributedString& text) {
            text.addAttribute(kRichStrikeOutAttributeName, true, {1, 4});
            text.addAttribute(kCTForegroundColorAttributeName, UIColor::redColor(), {1, 4});
            if (script) text.addAttribute(kCTSuperscriptAttributeName, script, {1, 4});
            return std::shared_ptr<NSAttributedString>(text.mutableCopy());
        });
        auto frame = label->framesetter()->frame({0, 6}, label->textRectForBounds(label->bounds(), 0).size);
        TextRun run = frame->runsOfLine(0)[1];
        CGFloat middle = frame->lines()[0].baseline - (run.ascent - run.descent) / 2;
        auto image = render(*label);
        auto cg = image->cgImage();
        int row = -1;
        for (int y = 0; y < 60 && row < 0; ++y)
            if (isRed(pixelAt(*cg, 20, y))) row = y;
        return std::tuple{CGFloat(row), middle, run.ascent};
    };
    auto [normal, normalMiddle, normalAscent] = strike(0);
    auto [super, superMiddle, superAscent] = strike(1);
    auto [sub, subMiddle, subAscent] = strike(-1);
    // Rows grow downwards: the superscript's line is 0.47 of its ascent lower, the subscript's a
    // quarter higher.
    EXPECT_NEAR(normal, normalMiddle, 1.5);
    EXPECT_NEAR(super, superMiddle + 0.47 * superAscent, 1.5);
    EXPECT_NEAR(sub, subMiddle - 0.25 * subAscent, 1.5);
    (void)normalAscent;
}

TEST_F(RichLabelLayout, ShrinkingDrawsSmallerFontsAndKeepsTheStoredText) {
    auto shrunkSize = [&](CGFloat minimumScale) {
        auto label = makeLabel();
        label->setNumberOfLines(1);
        label->setText("Wide enough text");
        CGFloat wide = label->sizeThatFits(CGSizeZero).width;
        label->setFrame(CGRectMake(0, 0, wide / 2, 30));
        label->setAdjustsFontSizeToFitWidth(true);
        label->setMinimumScaleFactor(minimumScale);
        render(*label);
        // The stored text is back; the framesetter keeps the shrunk fonts until the next draw.
        EXPECT_DOUBLE_EQ(
            label->attributedText()->attributeAtIndex(kCTFontAttributeName, 0).objectAs<UIFont>()->pointSize(), 17);
        return label->framesetter()->text().attributeAtIndex(kCTFontAttributeName, 0).objectAs<UIFont>()->pointSize();
    };
    EXPECT_DOUBLE_EQ(shrunkSize(0), 8);  // half of 17, rounded down
    EXPECT_DOUBLE_EQ(shrunkSize(0.75), std::floor(17 * 0.75));
}

TEST_F(RichLabelLayout, RepeatedDrawsAddTheTokensLinkOnceAndSettle) {
    auto label = makeLabel(CGRectMake(0, 0, 200, lineHeight()));
    label->setNumberOfLines(1);
    auto token =
        NSMutableAttributedString::make(" more", NSAttributes{{kCTFontAttributeName, UIFont::systemFontOfSize(17)}});
    token->addAttribute(NSLinkAttributeName, "https://korva.fi/more", {0, 5});
    label->setAttributedTruncationToken(token);
    label->setText(std::string(kFiveLines));
    label->setAdjustsFontSizeToFitWidth(true);
    for (int i = 0; i < 3; ++i) {
        label->layer()->display();
        EXPECT_FALSE(label->layer()->needsDisplay()) << "draw " << i;
    }
    ASSERT_EQ(label->linkModels().size(), 1u);
    EXPECT_EQ(label->links()[0].URL->absoluteString(), "https://korva.fi/more");
    // Empty texts, tokens and rectangles draw nothing and read nothing outside the text.
    label->setAttributedTruncationToken(NSAttributedString::make());
    label->setText(std::string());
    render(*label);
    label->setFrame(CGRectMake(0, 0, 0, 0));
    label->setText(std::string(kLong));
    label->layer()->display();
}

}  // namespace

TEST_F(RichLabelLayout, BoxColoursMayBeGivenAsComponentsOrText) {
    // The same green box from a colour object, a component array and a component text; a text
    // that is not numbers draws no box.
    for (Value fill : {Value(UIColor::greenColor()), Value::array({Value(0.0), Value(1.0), Value(0.0), Value(1.0)}),
                       Value("[0 1 0 1]"), Value("0 1 0")}) {
        auto label = makeLabel(CGRectMake(0, 0, 300, 40));
        label->setVerticalAlignment(RichLabelVerticalAlignment::Top);
        label->setTextAfterInheritingLabelAttributes(std::string("aa boxed aa"), [&](NSMutableAttributedString& text) {
            text.addAttribute(kRichBackgroundFillColorAttributeName, fill, {3, 5});
            return std::shared_ptr<NSAttributedString>(text.mutableCopy());
        });
        auto image = render(*label);
        EXPECT_FALSE(columns(image, 0, int(lineHeight()), isGreen).empty()) << fill.description();
    }
    auto label = makeLabel(CGRectMake(0, 0, 300, 40));
    label->setTextAfterInheritingLabelAttributes(std::string("aa boxed aa"), [](NSMutableAttributedString& text) {
        text.addAttribute(kRichBackgroundFillColorAttributeName, Value("green please"), {3, 5});
        return std::shared_ptr<NSAttributedString>(text.mutableCopy());
    });
    EXPECT_TRUE(columns(render(*label), 0, int(lineHeight()), isGreen).empty());
    EXPECT_FALSE(label->isMultipleTouchEnabled()) << "the label follows one finger";
}

TEST_F(RichLabelLayout, ALastLineThatEndsTheTextIsDrawnWithoutAToken) {
    auto token =
        NSAttributedString::make("\u2026", NSAttributes{{kCTFontAttributeName, UIFont::systemFontOfSize(17)},
                                                        {kCTForegroundColorAttributeName, UIColor::greenColor()}});
    auto label = makeLabel(CGRectMake(0, 0, 200, 2 * lineHeight()));
    label->setNumberOfLines(2);
    label->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    label->setAttributedTruncationToken(token);
    label->setText(std::string("one\ntwo"));
    auto image = render(*label);
    EXPECT_TRUE(columns(image, 0, int(2 * lineHeight()), isGreen).empty()) << "nothing was cut";
    label->setText(std::string("one\ntwo\nthree"));
    image = render(*label);
    EXPECT_FALSE(columns(image, int(lineHeight()), int(2 * lineHeight()), isGreen).empty());

    // The text's last line reaching past the width (its trailing blanks) is still drawn whole.
    CGFloat wordsWidth = TextLayout(*NSAttributedString::make(
                                        "abc def", NSAttributes{{NSFontAttributeName, UIFont::systemFontOfSize(17)}}),
                                    TextLayoutOptions{})
                             .size()
                             .width;
    auto one = makeLabel(CGRectMake(0, 0, std::ceil(wordsWidth) + 4, lineHeight()));
    one->setNumberOfLines(1);
    one->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    one->setAttributedTruncationToken(token);
    one->setText(std::string("abc def                    "));
    EXPECT_TRUE(columns(render(*one), 0, int(lineHeight()), isGreen).empty()) << "the whole text was cut";
}
