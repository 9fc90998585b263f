// Regular expressions: options, UTF-16 ranges, groups, templates and bad patterns.
#include "platform/text/regular_expression.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<NSRegularExpression> compile(const char* pattern, unsigned options = 0) {
    auto result = NSRegularExpression::regularExpressionWithPattern(pattern, options);
    EXPECT_TRUE(result.ok()) << pattern;
    return result.ok() ? *result : nullptr;
}

}  // namespace

TEST(RegularExpression, RangesAreCountedInUtf16UnitsAcrossSurrogatePairs) {
    // "😀" is two units, "é" one: the match of "b(c)" starts at unit 4.
    auto re = compile("b(c)");
    auto matches = re->matchesInString("😀éab c bc");
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].range(), NSMakeRange(8, 2));
    EXPECT_EQ(matches[0].rangeAtIndex(1), NSMakeRange(9, 1));
    EXPECT_EQ(matches[0].rangeAtIndex(7), NSMakeRange(NSNotFound, 0));
}

TEST(RegularExpression, GroupThatTookNoPartIsNotFound) {
    auto re = compile("a(x)?b");
    auto match = re->firstMatchInString("ab");
    ASSERT_TRUE(match);
    EXPECT_EQ(match->numberOfRanges(), 2u);
    EXPECT_FALSE(match->rangeAtIndex(1).found());
}

TEST(RegularExpression, OptionsAndPlatformSyntax) {
    EXPECT_EQ(compile("HELLO", NSRegularExpressionCaseInsensitive)->numberOfMatchesInString("hello Hello"), 2u);
    EXPECT_EQ(compile("HELLO")->numberOfMatchesInString("hello"), 0u);
    // Lazy quantifier stops at the first terminator.
    auto lazy = compile("<(.+?)>");
    auto m = lazy->firstMatchInString("<a><b>");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->rangeAtIndex(1), NSMakeRange(1, 1));
    // Dot does not cross a line break unless asked to.
    EXPECT_EQ(compile("a.b")->numberOfMatchesInString("a\nb"), 0u);
    EXPECT_EQ(compile("a.b", NSRegularExpressionDotMatchesLineSeparators)->numberOfMatchesInString("a\nb"), 1u);
    // Horizontal blanks, any line break, look-behind.
    EXPECT_EQ(compile("a\\hb")->numberOfMatchesInString("a\tb a b a\nb"), 2u);
    EXPECT_EQ(compile("x\\Ry")->numberOfMatchesInString("x\r\ny x\ny"), 2u);
    EXPECT_EQ(compile("(?<=\\$)[0-9]+")->rangeOfFirstMatchInString("cost 12 or $34"), NSMakeRange(12, 2));
    EXPECT_EQ(compile("^b", NSRegularExpressionAnchorsMatchLines)->numberOfMatchesInString("a\nb"), 1u);
    EXPECT_EQ(compile("a.c", NSRegularExpressionIgnoreMetacharacters)->numberOfMatchesInString("abc a.c"), 1u);
}

TEST(RegularExpression, BrokenPatternIsAFailureNotACrash) {
    for (const char* pattern : {"(", "[a-", "a{2,1}", "(?<=a+)b", "\\"}) {
        auto result = NSRegularExpression::regularExpressionWithPattern(pattern);
        EXPECT_FALSE(result.ok()) << pattern;
        if (!result.ok()) {
            EXPECT_FALSE(result.error().empty());
        }
    }
}

TEST(RegularExpression, SearchRangeIsClampedToTheText) {
    auto re = compile("a");
    EXPECT_EQ(re->matchesInString("aaaa", NSMakeRange(1, 2)).size(), 2u);
    EXPECT_EQ(re->matchesInString("aaaa", NSMakeRange(3, 100)).size(), 1u);
    EXPECT_TRUE(re->matchesInString("aaaa", NSMakeRange(10, 1)).empty());
    EXPECT_TRUE(re->matchesInString("").empty());
}

TEST(RegularExpression, ReplacementTemplates) {
    auto re = compile("(\\w+)@(\\w+)");
    EXPECT_EQ(re->stringByReplacingMatchesInString("mail ann@host now", "$2 at $1"), "mail host at ann now");
    // An escaped dollar is literal; a group number past the last group gives nothing, and digits
    // after a valid group number that would name no group are literal.
    EXPECT_EQ(re->stringByReplacingMatchesInString("a@b", "\\$1"), "$1");
    EXPECT_EQ(re->stringByReplacingMatchesInString("a@b", "[$9]"), "[]");
    EXPECT_EQ(re->stringByReplacingMatchesInString("a@b", "$10"), "a0");
    EXPECT_EQ(re->stringByReplacingMatchesInString("a@b", "cost $"), "cost $");
    // Empty matches are replaced between characters without looping forever.
    EXPECT_EQ(compile("x*")->stringByReplacingMatchesInString("ab", "-"), "-a-b-");
    // Non-ASCII around matches survives intact.
    EXPECT_EQ(compile("[\\t\\n\\r]")->stringByReplacingMatchesInString("é\t😀\nü", ""), "é😀ü");
}

TEST(RegularExpression, EscapedPatternMatchesItselfLiterally) {
    std::string text = "a.b*c(d)[e]{f}$^|?+\\ #-";
    auto re = compile(NSRegularExpression::escapedPatternForString(text).c_str());
    EXPECT_EQ(re->rangeOfFirstMatchInString("xx" + text), NSMakeRange(2, text.size()));
    auto templ = compile("x");
    EXPECT_EQ(templ->stringByReplacingMatchesInString("x", NSRegularExpression::escapedTemplateForString("$1\\")),
              "$1\\");
}

TEST(RegularExpression, RunawaySearchesStopAndFindNothing) {
    // Nested repetition against a text that almost matches: exponential backtracking.
    auto nested = NSRegularExpression::regularExpressionWithPattern("^(a+)+$");
    ASSERT_TRUE(nested);
    std::string almost(64, 'a');
    almost += 'b';
    EXPECT_EQ((*nested)->stringByReplacingMatchesInString(almost, "x"), almost);
    EXPECT_TRUE((*nested)->firstMatchInString(std::string(64, 'a')));

    // A lazy span that never closes, tried from every one of many openings: quadratic.
    auto span = NSRegularExpression::regularExpressionWithPattern("<!-- TAG:(.+?)-->");
    ASSERT_TRUE(span);
    std::string page;
    for (int i = 0; i < 40000; ++i) page += "<!-- TAG:";
    EXPECT_FALSE((*span)->firstMatchInString(page));

    // Ordinary work on a large text is well inside the bound, however many matches it has.
    std::string large;
    for (int i = 0; i < 200000; ++i) large += "<!-- TAG:" + std::to_string(i) + "-->";
    EXPECT_EQ((*span)->matchesInString(large).size(), 200000u);
    auto last = (*span)->firstMatchInString(large, {large.size() - 20, 20});
    ASSERT_TRUE(last);

    // A text past the length that is scanned at all finds nothing.
    auto letter = NSRegularExpression::regularExpressionWithPattern("b");
    std::string huge(NSRegularExpression::kMaxScannedLength, 'a');
    huge += 'b';
    EXPECT_FALSE((*letter)->firstMatchInString(huge));
    EXPECT_TRUE((*letter)->firstMatchInString(huge.substr(huge.size() - 100)));
}
