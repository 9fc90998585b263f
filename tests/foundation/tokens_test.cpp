// Tokens, lines, words, index ranges, character classes, trimming and searching.
#include <gtest/gtest.h>

#include <climits>

#include "foundation/string_custom_classes.h"
#include "foundation/string_custom_search.h"
#include "foundation/string_custom_tokens.h"
#include "foundation/string_custom_trim.h"

using S = std::vector<std::string>;

TEST(Tokens, SymbolsSplitAndRepeatsAreDropped) {
    EXPECT_EQ(tokens("Hello, world! Hello"), (S{"Hello", "world"}));
    EXPECT_EQ(tokens0("e-mail me", {"-"}), (S{"e-mail", "me"}));
    EXPECT_EQ(tokens("e-mail"), (S{"e", "mail"}));
    EXPECT_EQ(tokens("!!!"), S{});
    EXPECT_FALSE(tokens(""));
    EXPECT_EQ(tokens("café×2"), (S{"café×2"}));  // é and × are not symbols
    EXPECT_EQ(tokens("a§b"), (S{"a", "b"}));
    EXPECT_EQ(tokens("hi😀there"), (S{"hi", "there"}));  // each surrogate half is a symbol
    EXPECT_EQ(tokens("Hello hello"), (S{"Hello", "hello"}));
}

TEST(Tokens, PredicateSplittingKeepsInnerEmptyPieces) {
    auto commas = [](char16_t c) { return c == u','; };
    EXPECT_EQ(tokens0_block("a,,b,", commas), (S{"a", "", "b"}));
    EXPECT_EQ(tokens0_block(",", commas), (S{""}));
    EXPECT_FALSE(tokens0_block("", commas));
}

TEST(Tokens, LinesAndWords) {
    EXPECT_EQ(lines("a\n"), (S{"a", ""}));
    EXPECT_EQ(lines("a\n\nb"), (S{"a", "", "b"}));
    EXPECT_EQ(lines("\n"), (S{"", ""}));
    EXPECT_FALSE(lines(""));
    EXPECT_EQ(words("Hi, Ünïcode world."), (S{"Hi", "Ünïcode", "world"}));
    EXPECT_EQ(words_lowercaseString("Hi ÜBER"), (S{"hi", "über"}));
    auto indexed = wordAndIndices("😀 ab cd");
    ASSERT_EQ(indexed.size(), 2u);
    EXPECT_EQ(indexed[1].first, "cd");
    EXPECT_EQ(indexed[1].second, NSMakeRange(6, 2));
}

TEST(Tokens, IndexRanges) {
    NSRange matched{99, 99};
    EXPECT_EQ(parseIndexRange("3-7", &matched), NSMakeRange(3, 4));
    EXPECT_EQ(matched, NSMakeRange(0, 3));
    EXPECT_EQ(parseIndexRange("3-", &matched), NSMakeRange(3, INT_MAX));
    EXPECT_EQ(parseIndexRange("-7", &matched), NSMakeRange(0, 7));
    EXPECT_EQ(parseIndexRange("12abc", &matched), NSMakeRange(12, 0));
    EXPECT_EQ(matched, NSMakeRange(0, 2));
    // A range that ends before it starts is empty, not a huge length.
    EXPECT_EQ(parseIndexRange("7-3", &matched), NSMakeRange(7, 0));
    // Numbers too long for an integer saturate.
    EXPECT_EQ(parseIndexRange("99999999999999999999999-", &matched), NSMakeRange(INT_MAX, INT_MAX));
    EXPECT_EQ(parseIndexRange("1-99999999999999999999999", nullptr), NSMakeRange(1, INT_MAX - 1));
    matched = {42, 42};
    EXPECT_FALSE(parseIndexRange("x1", &matched).found());
    EXPECT_FALSE(parseIndexRange("-", &matched).found());
    EXPECT_FALSE(parseIndexRange("", &matched).found());
    EXPECT_EQ(matched, NSMakeRange(42, 42));                 // left alone when nothing matched
    EXPECT_FALSE(parseIndexRange("٣-٧", &matched).found());  // only ASCII digits count
}

TEST(CharacterClasses, SymbolClassBoundaries) {
    for (char16_t c : {u' ',
                       u'/',
                       u':',
                       u'@',
                       u'[',
                       u'`',
                       u'{',
                       char16_t(0x7F),
                       char16_t(0x89),
                       char16_t(0x8B),
                       char16_t(0x9D),
                       u'§',
                       char16_t(0xBF),
                       char16_t(0x301),
                       u'—',
                       u'★',
                       char16_t(0x2800),
                       u'。',
                       char16_t(0x3200),
                       char16_t(0xD83D),
                       char16_t(0xE000),
                       char16_t(0xFB00),
                       char16_t(0xFF01),
                       char16_t(0xFFFD)})
        EXPECT_TRUE(isSymbolChar(c)) << std::hex << int(c);
    for (char16_t c :
         {u'0', u'9', u'A', u'z', char16_t(0x8A), char16_t(0x8C), char16_t(0x8E), char16_t(0x9A), char16_t(0x9C),
          char16_t(0x9E), char16_t(0x9F), u'é', u'×', u'ж', u'中', u'가', char16_t(0xFFFE), char16_t(0xFFFF)})
        EXPECT_FALSE(isSymbolChar(c)) << std::hex << int(c);
}

TEST(CharacterClasses, TextTests) {
    EXPECT_TRUE(isSymbolOneCharacter("!"));
    EXPECT_FALSE(isSymbolOneCharacter("!!"));
    EXPECT_FALSE(isSymbolOneCharacter(""));
    EXPECT_TRUE(isNumberOneCharacter("7"));
    EXPECT_TRUE(isAllSymbols(""));
    EXPECT_TRUE(isAllSymbols("!?,"));
    EXPECT_FALSE(isAllSymbols("😀"));  // one character of two units
    EXPECT_FALSE(isAllSymbols("!a"));
    EXPECT_TRUE(isNumberString("0123"));
    EXPECT_FALSE(isNumberString(""));
    EXPECT_FALSE(isNumberString("12a"));
    EXPECT_FALSE(isNumberString("١٢"));
    EXPECT_TRUE(hasNumber("ab3"));
    EXPECT_FALSE(isNumberExist(""));
    EXPECT_TRUE(hasSymbol("a b"));
    EXPECT_FALSE(hasSymbol("ab"));
    EXPECT_TRUE(hasSymbolOrNumber("a1"));
    EXPECT_TRUE(isAlphabet("Q"));
    EXPECT_FALSE(isAlphabet("é"));
    EXPECT_TRUE(isNumberDisplay(u'$'));
    EXPECT_TRUE(isNumberDisplay(0x9C));
    EXPECT_TRUE(is_ja(u'か') && is_ja(u'中') && !is_ja(u'가'));
    EXPECT_TRUE(is_ko(u'가') && is_ko(u'ㄱ') && !is_ko(u'か'));
    EXPECT_TRUE(is_zh(u'中') && !is_zh(u'か'));
    EXPECT_TRUE(isBinaryData("中\u0301"));
    EXPECT_FALSE(isBinaryData("e\u0301"));
    EXPECT_FALSE(isBinaryData("\u0301"));
    EXPECT_FALSE(isBinaryData(""));
}

TEST(Trimming, BlanksDashesAndSymbols) {
    EXPECT_EQ(trimFirst(" \t-a", true), "a");
    EXPECT_EQ(trimFirst(" \t-a", false), "-a");
    EXPECT_EQ(trimLast("a  ", false), "a");
    EXPECT_EQ(trimLast("a", false), "a");
    EXPECT_EQ(trimLast(" \r\n", false), "");
    EXPECT_EQ(trimFirst("", true), "");
    EXPECT_EQ(trimLast("é -", true), "é");
    EXPECT_EQ(trim(" \u3000 hello\n\t"), "hello");
    EXPECT_TRUE(isBlankedChar("a\tb", 1));
    EXPECT_FALSE(isBlankedChar("a\tb", 9));
    EXPECT_TRUE(isBlankedCharOrDash("😀-", 2));
    EXPECT_EQ(removeAllSymbols("a-b, c!😀", {"!"}), "abc!😀");
    EXPECT_EQ(removeAllSymbols("", {}), "");
}

TEST(Trimming, SentencesAndWordCase) {
    std::string empty;
    appendSentence(empty, " b ");
    EXPECT_EQ(empty, "b");
    std::string a = "a";
    appendSentence(a, "");
    EXPECT_EQ(a, "a ");
    EXPECT_EQ(arrangeWord(" Hello "), "hello");
    EXPECT_EQ(arrangeWord("HELLO"), "HELLO");
    EXPECT_EQ(arrangeWord("hELLO"), "hELLO");
    EXPECT_EQ(arrangeWord0("Élan"), "Élan");  // only ASCII capitals mark a capitalised word
    EXPECT_EQ(arrangeWord0("A"), "A");
}

TEST(Searching, BetweenIndexAndAllRanges) {
    EXPECT_EQ(getBetweenText("x[abc]y]", "[", "]"), "abc");
    EXPECT_FALSE(getBetweenText("x]abc[", "[", "]"));
    EXPECT_FALSE(getBetweenText("abc", "", "c"));
    EXPECT_EQ(indexOf("😀ab", u'b', 0), 3u);
    EXPECT_EQ(indexOf("ab", u'a', 1), NSNotFound);
    EXPECT_EQ(indexOf("ab", u'a', 2), NSNotFound);
    EXPECT_EQ(allRangesOfString("aAa", "a"), (std::vector<NSRange>{{0, 1}, {1, 1}, {2, 1}}));
    EXPECT_EQ(allRangesOfString("😀ÄäX", "ä"), (std::vector<NSRange>{{2, 1}, {3, 1}}));
    EXPECT_EQ(allRangesOfString("aaaa", "aa"), (std::vector<NSRange>{{0, 2}, {2, 2}}));
    EXPECT_TRUE(allRangesOfString("abc", "").empty());
    EXPECT_TRUE(allRangesOfString("", "a").empty());
    EXPECT_TRUE(isEqualToString2("e\u0301", "é"));
    EXPECT_FALSE(isEqualToString2("a", "b"));
}
