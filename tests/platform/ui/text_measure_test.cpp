// Measuring text with the bundled font: stable sizes, wrapping, line limits and truncation.
#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/text_layout.h"
#include "platform/ui/text/ui_font.h"

namespace {

const char* kSentence = "The quick brown fox jumps over the lazy dog";

NSAttributes body(std::shared_ptr<NSParagraphStyle> style = nullptr) {
    NSAttributes a{{NSFontAttributeName, UIFont::fontWithName("Gill Sans", 17)}};
    if (style) a.set(NSParagraphStyleAttributeName, style);
    return a;
}

std::shared_ptr<NSParagraphStyle> breaking(NSLineBreakMode mode) {
    auto style = NSParagraphStyle::make();
    style->lineBreakMode = mode;
    return style;
}

constexpr CGFloat kLine = 19.7890625;  // DejaVu Sans at 17 points

TEST(TextMeasure, StableSizesWithTheBundledFont) {
    CGSize hello = sizeWithAttributes("Hello", body());
    EXPECT_NEAR(hello.width, 43.09, 0.01);
    EXPECT_NEAR(hello.height, kLine, 1e-6);
    // Two lines (an explicit line feed) are twice as tall; the width is the longer line.
    CGSize two = sizeWithAttributes("Hello\nHello world", body());
    EXPECT_NEAR(two.height, 2 * kLine, 1e-6);
    EXPECT_GT(two.width, hello.width);
    EXPECT_EQ(sizeWithAttributes("", body()), CGSizeZero);
    // Kerning adds its amount after every character, the last one included.
    NSAttributes kerned = body();
    kerned.set(NSKernAttributeName, 2.0);
    EXPECT_NEAR(sizeWithAttributes("Hello", kerned).width, hello.width + 5 * 2, 0.01);
    // No font attribute: the default 12-point system font.
    EXPECT_NEAR(sizeWithAttributes("Hello", {}).height, 12 * 1.1640625, 1e-6);
}

TEST(TextMeasure, WrappingWithinAWidth) {
    CGRect rect = boundingRectWithSize(kSentence, {100, 1e6}, NSStringDrawingUsesLineFragmentOrigin, body());
    EXPECT_EQ(rect.origin, CGPointZero);
    EXPECT_LE(rect.size.width, 100);
    EXPECT_NEAR(rect.size.height, 5 * kLine, 1e-6);
    // Wider boxes need fewer lines; an unlimited (zero) width keeps one line.
    CGRect wide = boundingRectWithSize(kSentence, {200, 1e6}, NSStringDrawingUsesLineFragmentOrigin, body());
    EXPECT_NEAR(wide.size.height, 3 * kLine, 1e-6);
    EXPECT_LE(wide.size.width, 200);
    // The largest single-precision float as a height (and a huge width) is as good as no limit.
    CGRect huge = boundingRectWithSize(kSentence, {3.4028234663852886e+38, 3.4028234663852886e+38},
                                       NSStringDrawingUsesLineFragmentOrigin, body());
    EXPECT_NEAR(huge.size.height, kLine, 1e-6);
    CGRect unlimited = boundingRectWithSize(kSentence, {0, 0}, NSStringDrawingUsesLineFragmentOrigin, body());
    EXPECT_NEAR(unlimited.size.height, kLine, 1e-6);
    EXPECT_NEAR(unlimited.size.width, sizeWithAttributes(kSentence, body()).width, 1e-6);

    // A word longer than the width is broken inside the word rather than overflowing.
    TextLayoutOptions narrow;
    narrow.width = 50;
    TextLayout longWord(*NSAttributedString::make("Supercalifragilistic", body()), narrow);
    EXPECT_GT(longWord.lineCount(), 2u);
    for (const auto& line : longWord.lines()) EXPECT_LE(line.rect.size.width, 50.01);
    // Line ranges cover the text in order.
    std::size_t next = 0;
    for (const auto& line : longWord.lines()) {
        EXPECT_EQ(line.range.location, next);
        next = NSMaxRange(line.range);
    }
    EXPECT_EQ(next, 20u);
}

TEST(TextMeasure, SingleLineMeasureStartsAtTheBaseline) {
    CGRect rect = boundingRectWithSize(kSentence, {100, 1e6}, 0, body());
    EXPECT_NEAR(rect.origin.y, -UIFont::fontWithName("Gill Sans", 17)->ascender(), 0.01);
    EXPECT_NEAR(rect.size.height, kLine, 1e-6);
    EXPECT_GT(rect.size.width, 100);  // no wrapping without the line-fragment origin
}

TEST(TextMeasure, HeightLimitsKeepTheFirstLine) {
    // Room for two and a half lines: two are kept.
    CGRect rect = boundingRectWithSize(kSentence, {100, 2.5 * kLine}, NSStringDrawingUsesLineFragmentOrigin, body());
    EXPECT_NEAR(rect.size.height, 2 * kLine, 1e-6);
    // A box lower than one line still measures the first line (a 34-point glyph in a 32-point badge).
    NSAttributes icon{{NSFontAttributeName, UIFont::fontWithName("FontAwesome", 34)}};
    CGRect glyph = boundingRectWithSize("\xef\x80\x93", {32, 32}, NSStringDrawingUsesLineFragmentOrigin, icon);
    EXPECT_NEAR(glyph.size.height, 34, 0.01);
    EXPECT_GT(glyph.size.width, 20);
}

TEST(TextMeasure, TruncationModes) {
    for (NSLineBreakMode mode : {NSLineBreakMode::ByTruncatingTail, NSLineBreakMode::ByTruncatingHead,
                                 NSLineBreakMode::ByTruncatingMiddle, NSLineBreakMode::ByClipping}) {
        TextLayoutOptions o;
        o.width = 100;
        TextLayout layout(*NSAttributedString::make(kSentence, body(breaking(mode))), o);
        EXPECT_EQ(layout.lineCount(), 1u) << int(mode);
        EXPECT_TRUE(layout.isTruncated()) << int(mode);
        EXPECT_LE(layout.size().width, 100.01) << int(mode);
    }
    // A text that fits is not truncated.
    TextLayoutOptions o;
    o.width = 100;
    TextLayout fits(*NSAttributedString::make("Fox", body(breaking(NSLineBreakMode::ByTruncatingTail))), o);
    EXPECT_FALSE(fits.isTruncated());
    EXPECT_NEAR(fits.size().width, sizeWithAttributes("Fox", body()).width, 1e-6);
    // Truncating string drawing keeps each paragraph on its own line.
    TextLayout paragraphs(*NSAttributedString::make("Hello\nWorld", body(breaking(NSLineBreakMode::ByTruncatingTail))),
                          o);
    EXPECT_EQ(paragraphs.lineCount(), 2u);
}

TEST(TextMeasure, LabelLineLimits) {
    // A label with two lines wraps and truncates the second line's tail.
    TextLayoutOptions o;
    o.width = 100;
    o.maximumNumberOfLines = 2;
    o.truncatingModesWrap = true;
    o.lineBreakMode = NSLineBreakMode::ByTruncatingTail;
    TextLayout two(*NSAttributedString::make(kSentence, body()), o);
    EXPECT_EQ(two.lineCount(), 2u);
    EXPECT_TRUE(two.isTruncated());
    EXPECT_NEAR(two.size().height, 2 * kLine, 1e-6);
    EXPECT_LE(two.size().width, 100.01);
    // The last line ends the text early: it no longer reaches the end of the string.
    EXPECT_EQ(two.lines().front().range.location, 0u);

    // Word wrapping with a line limit just stops.
    o.lineBreakMode = NSLineBreakMode::ByWordWrapping;
    o.maximumNumberOfLines = 3;
    TextLayout three(*NSAttributedString::make(kSentence, body()), o);
    EXPECT_EQ(three.lineCount(), 3u);
    EXPECT_TRUE(three.isTruncated());
    // Unlimited lines with room for everything: nothing truncated.
    o.maximumNumberOfLines = 0;
    TextLayout all(*NSAttributedString::make(kSentence, body()), o);
    EXPECT_EQ(all.lineCount(), 5u);
    EXPECT_FALSE(all.isTruncated());
}

TEST(TextMeasure, ParagraphSpacingAndLineHeights) {
    auto style = NSParagraphStyle::make();
    style->lineSpacing = 4;
    CGRect spaced = boundingRectWithSize("a\nb\nc", {100, 1e6}, NSStringDrawingUsesLineFragmentOrigin, body(style));
    EXPECT_NEAR(spaced.size.height, 3 * kLine + 2 * 4, 1e-3);

    auto fixed = NSParagraphStyle::make();
    fixed->minimumLineHeight = fixed->maximumLineHeight = 30;
    CGRect tall = boundingRectWithSize("a\nb", {100, 1e6}, NSStringDrawingUsesLineFragmentOrigin, body(fixed));
    EXPECT_NEAR(tall.size.height, 60, 0.01);
}

TEST(TextMeasure, CharacterUnderAPoint) {
    TextLayout layout(*NSAttributedString::make("Hello\nWorld", body()), TextLayoutOptions{});
    auto first = layout.characterIndexAtPoint({1, 5});
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, 0u);
    auto second = layout.characterIndexAtPoint({1, kLine + 5});
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, 6u);
    EXPECT_FALSE(layout.characterIndexAtPoint({1, 3 * kLine}));
}

TEST(TextMeasure, MeasuringFromSeveralThreadsAgrees) {
    // Image operations measure text on whichever thread calls them.
    CGSize expected = sizeWithAttributes(kSentence, body());
    std::vector<std::thread> threads;
    std::vector<CGSize> results(4);
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            for (int k = 0; k < 10; ++k) results[i] = sizeWithAttributes(kSentence, body());
        });
    for (auto& t : threads) t.join();
    for (const auto& r : results) EXPECT_EQ(r, expected);
}

}  // namespace
