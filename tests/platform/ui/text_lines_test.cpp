// Lines of a laid-out text: runs split by attributes, offsets and flush, truncation with a token,
// suggested sizes, rectangles of character ranges, line heights and underline metrics.
#include <gtest/gtest.h>

#include "platform/ui/text/core_text_keys.h"
#include "platform/ui/text/text_layout.h"
#include "platform/ui/text/ui_font.h"

namespace {

std::shared_ptr<UIFont> font17() {
    return UIFont::systemFontOfSize(17);
}

NSAttributes plain() {
    return NSAttributes{{NSFontAttributeName, font17()}};
}

std::shared_ptr<NSMutableAttributedString> text(const std::string& s) {
    return NSMutableAttributedString::make(s, plain());
}

TextLayoutOptions wrapping(CGFloat width) {
    TextLayoutOptions o;
    o.width = width;
    return o;
}

TEST(TextLines, RunsSplitWhereTheCallersAttributesChange) {
    auto t = text("Hello brave world");
    // A key the layout does not draw still splits the run, so a caller can find its own ranges.
    t->addAttribute("Marker", true, {6, 5});
    t->addAttribute(NSFontAttributeName, UIFont::systemFontOfSize(30), {12, 5});
    TextLayout layout(*t, TextLayoutOptions{});
    ASSERT_EQ(layout.lineCount(), 1u);
    auto runs = layout.runsOfLine(0);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].range, NSMakeRange(0, 6));
    EXPECT_EQ(runs[1].range, NSMakeRange(6, 5));
    EXPECT_TRUE(runs[1].attributes.get("Marker").boolValue());
    EXPECT_EQ(runs[2].range, NSMakeRange(11, 1));
    EXPECT_EQ(runs[3].range, NSMakeRange(12, 5));
    EXPECT_NEAR(runs[3].ascent, UIFont::systemFontOfSize(30)->ascender(), 1e-6);
    // Runs follow each other without gaps and cover the line.
    EXPECT_NEAR(runs[0].x, 0, 1e-6);
    EXPECT_NEAR(runs[1].x, runs[0].width, 0.01);
    EXPECT_NEAR(runs[2].x, runs[1].x + runs[1].width, 0.01);
    EXPECT_NEAR(runs[3].x + runs[3].width, layout.lines()[0].rect.size.width, 0.5);
    EXPECT_NEAR(runs[0].ascent, font17()->ascender(), 1e-6);
    EXPECT_NEAR(runs[0].descent, -font17()->descender(), 1e-6);
    // Offsets of characters agree with the runs; the line's character under an offset is the one
    // that starts there.
    EXPECT_NEAR(layout.offsetForCharacterIndex(0, 6), runs[1].x, 0.01);
    EXPECT_EQ(layout.characterIndexForOffset(0, runs[1].x + 1), 6u);
    EXPECT_EQ(layout.characterIndexForOffset(0, -50), 0u);
    EXPECT_TRUE(layout.runsOfLine(7).empty());
    EXPECT_FALSE(layout.characterIndexForOffset(7, 0).has_value());
}

TEST(TextLines, PenOffsetFlushesWithinAWidth) {
    TextLayout layout(*text("Hi"), TextLayoutOptions{});
    CGFloat w = layout.lines()[0].rect.size.width;
    EXPECT_NEAR(layout.penOffsetForFlush(0, 0, 200), 0, 1e-6);
    EXPECT_NEAR(layout.penOffsetForFlush(0, 0.5, 200), (200 - w) / 2, 1e-6);
    EXPECT_NEAR(layout.penOffsetForFlush(0, 1, 200), 200 - w, 1e-6);
    // A line wider than the room starts at 0 whatever the flush.
    EXPECT_NEAR(layout.penOffsetForFlush(0, 1, 1), 0, 1e-6);
}

TEST(TextLines, TruncatedLineKeepsWhatFitsAroundTheToken) {
    auto line = text("abcdefghijklmnopqrstuvwxyz");
    auto token = NSAttributedString::make("[more]", plain());
    CGFloat full = TextLayout(*line, TextLayoutOptions{}).size().width;
    // Text that fits comes back whole.
    auto whole = TextLayout::truncatedLine(*line, full + 1, TextTruncation::End, *token);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->lines()[0].range.length, 26u);

    auto string = [](const TextLayout& l) { return l.lines()[0].range.length; };
    auto end = TextLayout::truncatedLine(*line, full / 2, TextTruncation::End, *token);
    auto start = TextLayout::truncatedLine(*line, full / 2, TextTruncation::Start, *token);
    auto middle = TextLayout::truncatedLine(*line, full / 2, TextTruncation::Middle, *token);
    ASSERT_TRUE(end && start && middle);
    for (const auto* l : {&*end, &*start, &*middle}) {
        EXPECT_LE(l->size().width, full / 2);
        EXPECT_LT(string(*l), 26u + 6u);
        EXPECT_GT(string(*l), 6u);
    }
    // The token sits where it was asked for, with its own attributes.
    auto tokenAt = [&](const TextLayout& l) {
        for (const auto& run : l.runsOfLine(0))
            if (run.attributes.get("Token").boolValue()) return run.range.location;
        return NSNotFound;
    };
    auto marked = NSMutableAttributedString::make("[more]", plain());
    marked->addAttribute("Token", true, {0, 6});
    auto endMarked = TextLayout::truncatedLine(*line, full / 2, TextTruncation::End, *marked);
    auto startMarked = TextLayout::truncatedLine(*line, full / 2, TextTruncation::Start, *marked);
    auto middleMarked = TextLayout::truncatedLine(*line, full / 2, TextTruncation::Middle, *marked);
    EXPECT_EQ(tokenAt(*startMarked), 0u);
    EXPECT_EQ(tokenAt(*endMarked) + 6, string(*endMarked));
    EXPECT_GT(tokenAt(*middleMarked), 0u);
    EXPECT_LT(tokenAt(*middleMarked) + 6, string(*middleMarked));

    // No room even for the token, and bad widths, give none.
    EXPECT_FALSE(TextLayout::truncatedLine(*line, 5, TextTruncation::End, *token));
    EXPECT_FALSE(TextLayout::truncatedLine(*line, 0, TextTruncation::End, *token));
    EXPECT_FALSE(TextLayout::truncatedLine(*line, -3, TextTruncation::End, *token));
    // An empty token cuts the text alone; characters outside the BMP are never split.
    auto emoji = text("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80 abc");
    CGFloat emojiWidth = TextLayout(*emoji, TextLayoutOptions{}).size().width;
    auto cut = TextLayout::truncatedLine(*emoji, emojiWidth * 0.6, TextTruncation::End, *NSAttributedString::make());
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->lines()[0].range.length % 2, 0u);
}

TEST(TextLines, SuggestedSizeOfARangeWithinConstraints) {
    auto t = text("one two three four five six seven eight nine ten eleven twelve");
    CGFloat line = font17()->lineHeight();
    CGSize one = TextLayout::suggestedSize(*t, {0, t->length()}, {100000, 100000});
    EXPECT_NEAR(one.height, std::ceil(line), 1e-6);
    CGSize wrapped = TextLayout::suggestedSize(*t, {0, t->length()}, {120, 100000});
    EXPECT_LE(wrapped.width, 120);
    EXPECT_GT(wrapped.height, 2 * line);
    CGSize limited = TextLayout::suggestedSize(*t, {0, t->length()}, {120, 100000}, 2);
    EXPECT_NEAR(limited.height, std::ceil(2 * line), 1);
    // A range past the end is cut to the text; empty ranges and sizes give zero.
    EXPECT_EQ(TextLayout::suggestedSize(*t, {0, t->length() + 40}, {120, 100000}), wrapped);
    EXPECT_EQ(TextLayout::suggestedSize(*t, {500, 4}, {120, 100000}), CGSizeZero);
    EXPECT_EQ(TextLayout::suggestedSize(*t, {0, 3}, {0, 100}), CGSizeZero);
    EXPECT_EQ(TextLayout::suggestedSize(*t, {0, 3}, {-5, 100}), CGSizeZero);
}

TEST(TextLines, BoundingRectOfACharacterRange) {
    auto t = text("first line\nsecond line");
    CGRect second = TextLayout::boundingRectForCharacterRange(*t, {11, 6}, {300, 300});
    CGFloat line = font17()->lineHeight();
    EXPECT_NEAR(second.origin.x, 0, 1e-6);
    EXPECT_NEAR(second.origin.y, line, 0.01);
    EXPECT_NEAR(second.size.height, line, 0.01);
    EXPECT_GT(second.size.width, 20);
    // A range over both lines covers both; past the text, or in no room, nothing.
    CGRect both = TextLayout::boundingRectForCharacterRange(*t, {3, 12}, {300, 300});
    EXPECT_NEAR(both.size.height, 2 * line, 0.01);
    EXPECT_EQ(TextLayout::boundingRectForCharacterRange(*t, {90, 3}, {300, 300}), CGRectZero);
    EXPECT_EQ(TextLayout::boundingRectForCharacterRange(*t, {0, 3}, {0, 0}), CGRectZero);
}

TEST(TextLines, LoneMinimumOrMaximumLineHeightChangesTheLayout) {
    auto measure = [](CGFloat minimum, CGFloat maximum) {
        auto style = NSParagraphStyle::make();
        style->minimumLineHeight = minimum;
        style->maximumLineHeight = maximum;
        auto t = text("a\nb");
        t->addAttribute(NSParagraphStyleAttributeName, style, {0, 3});
        return TextLayout(*t, wrapping(300)).size().height;
    };
    CGFloat natural = measure(0, 0);
    EXPECT_NEAR(natural, 2 * font17()->lineHeight(), 0.01);
    EXPECT_NEAR(measure(40, 0), 80, 0.01);
    EXPECT_NEAR(measure(0, 12), 24, 0.01);
    // A minimum below the natural height and a maximum above it change nothing.
    EXPECT_NEAR(measure(5, 0), natural, 0.01);
    EXPECT_NEAR(measure(0, 90), natural, 0.01);
}

TEST(TextLines, CoreTextColourKeysAndUnderlineMetrics) {
    // The layout engine's colour key is read like the platform's (the run reports it back).
    auto t = text("red");
    t->addAttribute(kCTForegroundColorAttributeName, UIColor::redColor(), {0, 3});
    TextLayout layout(*t, TextLayoutOptions{});
    EXPECT_TRUE(layout.runsOfLine(0)[0].attributes.get(kCTForegroundColorAttributeName).objectAs<UIColor>());
    auto f = font17();
    EXPECT_GT(f->underlineThickness(), 0);
    EXPECT_LT(f->underlineThickness(), 3);
    EXPECT_LT(f->underlinePosition(), 0);
    EXPECT_NEAR(UIFont::systemFontOfSize(34)->underlineThickness(), 2 * f->underlineThickness(), 1e-6);
}

}  // namespace
