// Character sets and the string operations that use them.
#include "platform/text/character_set.h"

#include <gtest/gtest.h>

#include "platform/text/string_character_sets.h"

TEST(CharacterSet, PredefinedSets) {
    auto ws = NSCharacterSet::whitespaceCharacterSet();
    EXPECT_TRUE(ws.characterIsMember(u' '));
    EXPECT_TRUE(ws.characterIsMember(u'\t'));
    EXPECT_TRUE(ws.characterIsMember(0x00A0));
    EXPECT_FALSE(ws.characterIsMember(u'\n'));
    auto wsnl = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    for (char16_t c : {u'\n', u'\r', u'\v', u'\f', char16_t(0x85), char16_t(0x2028), char16_t(0x3000)})
        EXPECT_TRUE(wsnl.characterIsMember(c)) << int(c);
    EXPECT_TRUE(NSCharacterSet::decimalDigitCharacterSet().characterIsMember(0x0663));  // Arabic-Indic three
    EXPECT_FALSE(NSCharacterSet::decimalDigitCharacterSet().characterIsMember(u'x'));
    EXPECT_TRUE(NSCharacterSet::letterCharacterSet().characterIsMember(u'ж'));
    EXPECT_TRUE(NSCharacterSet::letterCharacterSet().characterIsMember(0x0301));  // marks count as letters
    EXPECT_TRUE(NSCharacterSet::alphanumericCharacterSet().characterIsMember(u'7'));
    EXPECT_FALSE(NSCharacterSet::alphanumericCharacterSet().characterIsMember(u'-'));
    EXPECT_TRUE(NSCharacterSet::punctuationCharacterSet().characterIsMember(u'!'));
    EXPECT_FALSE(NSCharacterSet::punctuationCharacterSet().characterIsMember(u'+'));
}

TEST(CharacterSet, UrlSetsDifferPerComponent) {
    auto query = NSCharacterSet::URLQueryAllowedCharacterSet();
    auto path = NSCharacterSet::URLPathAllowedCharacterSet();
    EXPECT_TRUE(query.characterIsMember(u'?'));
    EXPECT_FALSE(path.characterIsMember(u'?'));
    for (auto set :
         {query, path, NSCharacterSet::URLHostAllowedCharacterSet(), NSCharacterSet::URLUserAllowedCharacterSet()}) {
        EXPECT_FALSE(set.characterIsMember(u'#'));
        EXPECT_FALSE(set.characterIsMember(u'%'));
        EXPECT_FALSE(set.characterIsMember(u' '));
        EXPECT_TRUE(set.characterIsMember(u'~'));
    }
}

TEST(CharacterSet, CustomAndInvertedSets) {
    auto custom = NSCharacterSet::characterSetWithCharactersInString("ab😀");
    EXPECT_TRUE(custom.characterIsMember(u'a'));
    EXPECT_TRUE(custom.longCharacterIsMember(0x1F600));
    EXPECT_FALSE(custom.characterIsMember(0xD83D));  // a half of the pair is not the character
    auto inverted = custom.invertedSet();
    EXPECT_FALSE(inverted.characterIsMember(u'a'));
    EXPECT_TRUE(inverted.characterIsMember(u'c'));
    EXPECT_FALSE(inverted.longCharacterIsMember(0x110000));
    EXPECT_FALSE(NSCharacterSet().characterIsMember(u'a'));
    EXPECT_TRUE(NSCharacterSet::characterSetWithRange(u'a', u'c').unionWith(custom).characterIsMember(u'c'));
}

TEST(StringCharacterSets, TrimmingAndSplitting) {
    auto wsnl = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    EXPECT_EQ(stringByTrimmingCharactersInSet(" \t\n héllo wörld \u3000\n", wsnl), "héllo wörld");
    EXPECT_EQ(stringByTrimmingCharactersInSet(" \n ", wsnl), "");
    EXPECT_EQ(stringByTrimmingCharactersInSet("", wsnl), "");
    EXPECT_EQ(componentsSeparatedByCharactersInSet("a b\n\nc", wsnl), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(componentsSeparatedByCharactersInSet("", wsnl), (std::vector<std::string>{""}));
}

TEST(StringCharacterSets, PercentEncodingRoundTripsAndRejectsBrokenEscapes) {
    auto allowed = NSCharacterSet::characterSetWithCharactersInString("abd");
    EXPECT_EQ(stringByAddingPercentEncodingWithAllowedCharacters("ab d😀%", allowed), "ab%20d%F0%9F%98%80%25");
    std::string original = "a b/é😀%#?&";
    std::string escaped = stringByAddingPercentEncodingWithAllowedCharacters(original, NSCharacterSet());
    EXPECT_EQ(stringByRemovingPercentEncoding(escaped), original);
    EXPECT_EQ(stringByRemovingPercentEncoding("%41%42c"), "ABc");
    EXPECT_EQ(stringByRemovingPercentEncoding("plain"), "plain");
    EXPECT_FALSE(stringByRemovingPercentEncoding("%"));
    EXPECT_FALSE(stringByRemovingPercentEncoding("%4"));
    EXPECT_FALSE(stringByRemovingPercentEncoding("%zz"));
    EXPECT_FALSE(stringByRemovingPercentEncoding("%C3"));     // half a character
    EXPECT_FALSE(stringByRemovingPercentEncoding("%FF%FE"));  // not UTF-8
}
