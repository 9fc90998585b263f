// Word and composed-character boundaries, case mapping and comparison.
#include "platform/text/text_breaks.h"

#include <gtest/gtest.h>

#include "platform/runtime/utf16.h"
#include "platform/text/case_mapping.h"
#include "platform/text/string_compare.h"

TEST(TextBreaks, WordsLeaveOutBlanksAndPunctuation) {
    EXPECT_EQ(wordsInString("Hello, world! It's 2024."), (std::vector<std::string>{"Hello", "world", "It's", "2024"}));
    EXPECT_TRUE(wordsInString("").empty());
    EXPECT_TRUE(wordsInString(" ,.!").empty());
    // Ranges are UTF-16 units: the emoji before the word counts two.
    std::u16string units = toUtf16("😀 añb");
    auto ranges = wordRanges(units);
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0], NSMakeRange(3, 3));
}

TEST(TextBreaks, ComposedCharactersKeepPairsAndMarksTogether) {
    // e + combining acute, a surrogate pair, a flag (two pairs), a plain letter.
    std::u16string units = toUtf16("e\xCC\x81😀🇫🇮x");
    auto ranges = composedCharacterRanges(units);
    EXPECT_EQ(ranges, (std::vector<NSRange>{{0, 2}, {2, 2}, {4, 4}, {8, 1}}));
    EXPECT_EQ(rangeOfComposedCharacterSequenceAtIndex(units, 3), NSMakeRange(2, 2));
    EXPECT_EQ(rangeOfComposedCharacterSequenceAtIndex(units, 6), NSMakeRange(4, 4));
    EXPECT_FALSE(rangeOfComposedCharacterSequenceAtIndex(units, 9).found());
    EXPECT_TRUE(composedCharacterRanges(u"").empty());
}

TEST(CaseMapping, IndependentOfTheDeviceLanguage) {
    EXPECT_EQ(lowercaseString("ÀÉÎ ISTANBUL"), "àéî istanbul");
    EXPECT_EQ(uppercaseString("straße"), "STRASSE");
    EXPECT_EQ(foldedUnit(u'Ä'), u'ä');
    EXPECT_EQ(foldedUnit(0xD83D), 0xD83D);
}

TEST(StringCompare, CaseInsensitiveOrderFoldsBeforeComparing) {
    EXPECT_EQ(caseInsensitiveCompare("abc", "ABC"), NSOrderedSame);
    EXPECT_EQ(caseInsensitiveCompare("a", "B"), NSOrderedAscending);
    EXPECT_EQ(caseInsensitiveCompare("B", "a"), NSOrderedDescending);
    // Literal order would put "B" (0x42) before "a" (0x61).
    EXPECT_EQ(compareStrings("B", "a"), NSOrderedAscending);
    EXPECT_EQ(caseInsensitiveCompare("", ""), NSOrderedSame);
}

TEST(StringCompare, LocalizedOrderIsAlphabeticalNotByCodeUnits) {
    EXPECT_EQ(localizedCompare("résumé", "resume"), NSOrderedDescending);
    EXPECT_EQ(localizedCompare("résumé", "rz"), NSOrderedAscending);  // unit order says the opposite
    EXPECT_EQ(localizedCompare("e\xCC\x81", "é"), NSOrderedSame);     // canonically equivalent
    EXPECT_EQ(localizedCaseInsensitiveCompare("Apple", "apple"), NSOrderedSame);
    EXPECT_NE(localizedCompare("Apple", "apple"), NSOrderedSame);
}
