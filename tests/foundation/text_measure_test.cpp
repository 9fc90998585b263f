// Measuring and fitting text with a real font: bounding sizes, re-wrapping, truncation and the
// search excerpt.
#include "foundation/text_measure.h"

#include <gtest/gtest.h>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/ui_font.h"

namespace {

const std::string kLong =
    "The quick brown fox jumps over the lazy dog while the camera keeps rolling through the long afternoon light";

TEST(TextMeasureTest, BoundingSizesWrapWithinTheWidth) {
    auto font = UIFont::systemFontOfSize(17);
    CGSize one = boundingSize("Korva", font, CGSize{1000, 1000});
    EXPECT_GT(one.width, 10);
    EXPECT_NEAR(one.height, font->lineHeight(), 2.0);
    CGSize wrapped = boundingSize(kLong, font, CGSize{120, 10000});
    EXPECT_LE(wrapped.width, 120.5);
    EXPECT_GT(wrapped.height, 3 * font->lineHeight());
    EXPECT_NEAR(boundingSize_paragraph(kLong, font, CGSize{120, 10000}).height, wrapped.height, 1.0);
    EXPECT_EQ(boundingSize("", font, CGSize{100, 100}).width, 0);
}

TEST(TextMeasureTest, SingleLinesAndRewrapping) {
    EXPECT_EQ(singleLined("a\n\tb\r c"), "a  b  c");
    EXPECT_EQ(newLinedWithLength("ab cd ef", 5), "ab cd \nef \n");
    EXPECT_EQ(newLinedWithLength("ab cd ef", 10), "ab cd ef\n");
    EXPECT_EQ(newLinedWithLength("abcdefgh x", 3), "\nabcdefgh \nx \n");
    EXPECT_EQ(newLinedWithLength("short\nand a longer line", 6), "short\nand a \nlonger \nline \n");
    EXPECT_EQ(newLinedWithLength("", 4), "");
}

TEST(TextMeasureTest, TruncationEndsInTwoDotsAndFits) {
    auto font = UIFont::systemFontOfSize(15);
    EXPECT_EQ(truncatedByLineCount("fits", 1, font, 200), "fits");
    std::string cut = truncatedByLineCount(kLong, 2, font, 150);
    ASSERT_LT(cut.size(), kLong.size());
    EXPECT_EQ(cut.substr(cut.size() - 2), "..");
    EXPECT_NE(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(kLong.rfind(cut.substr(0, cut.size() - 2), 0), 0u);
    EXPECT_LE(boundingSize(cut, font, CGSize{150, 1e9}).height, 2 * font->lineHeight());
    EXPECT_EQ(truncatedByLineCount("ab", 0, font, 150), "ab");
}

TEST(TextMeasureTest, KeywordRanges) {
    EXPECT_TRUE(highlightRanges_match_0("cat", "cat").empty());
    EXPECT_TRUE(highlightRanges_match_0("the cat's toy", "cat").empty());
    auto inside = highlightRanges_match_0("the Cat sat", "cat");
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(inside[0].location, 4u);
    EXPECT_EQ(inside[0].length, 3u);
    auto start = highlightRanges_match_0("cat. a cat", "cat");
    ASSERT_EQ(start.size(), 2u);  // pattern 1 (start), then pattern 3 (end)
    EXPECT_EQ(start[0].location, 0u);
    EXPECT_EQ(start[1].location, 7u);
    EXPECT_EQ(highlightRanges_match("Cat cat concat", "CAT").size(), 2u);
    EXPECT_EQ(highlightRanges_contain("Cat cat concat", "cat").size(), 3u);
    EXPECT_EQ(highlightRanges_match_0("a (b) c", "(b)").size(), 1u);  // escaped as a pattern
}

TEST(TextMeasureTest, ExcerptStartsShortlyBeforeTheKeyword) {
    std::vector<std::string> keywords{"zebra", "afternoon"};
    NSRange first = highlightAltered_rangemin(kLong, CGSize{}, keywords, 0, "");
    EXPECT_EQ(first.location, kLong.find("afternoon"));
    EXPECT_EQ(highlightAltered_rangemin(kLong, CGSize{}, {"zebra"}, 0, "").location, NSNotFound);

    EXPECT_EQ(highlightAltered("afternoon tea", CGSize{100, 40}, keywords, 18, ""), "afternoon tea");
    EXPECT_EQ(highlightAltered(kLong, CGSize{2000, 400}, keywords, 18, ""), kLong);  // room enough
    std::string excerpt = highlightAltered(kLong, CGSize{160, 40}, keywords, 18, "Title: ");
    EXPECT_EQ(excerpt.rfind("... ", 0), 0u);
    EXPECT_NE(excerpt.find("afternoon"), std::string::npos);
    EXPECT_LT(excerpt.size(), kLong.size());
}

TEST(TextMeasureTest, AttributeSetsArePrinted) {
    auto text = NSMutableAttributedString::make("abcd");
    text->addAttributes(NSAttributes{{"k", Value(1)}}, NSRange{0, 2});
    std::string printed = attrPrinted(*text);
    EXPECT_NE(printed.find("k = 1"), std::string::npos) << printed;
}

}  // namespace
