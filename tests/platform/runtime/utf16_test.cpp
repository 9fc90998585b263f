#include "platform/runtime/utf16.h"

#include <gtest/gtest.h>

#include <random>

namespace {
const std::string kEmoji = "\xF0\x9F\x98\x80";    // U+1F600, a surrogate pair in UTF-16
const std::string kAccent = "\xC3\xA9";           // U+00E9
const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD
}  // namespace

TEST(Utf16, CountsAndIndexesSurrogatePairsAsTwoUnits) {
    const std::string s = "a" + kEmoji + kAccent + "b";
    EXPECT_EQ(utf16Length(s), 5u);
    EXPECT_EQ(utf16CharacterAt(s, 0), u'a');
    EXPECT_EQ(utf16CharacterAt(s, 1), char16_t(0xD83D));
    EXPECT_EQ(utf16CharacterAt(s, 2), char16_t(0xDE00));
    EXPECT_EQ(utf16CharacterAt(s, 3), char16_t(0xE9));
    EXPECT_EQ(utf16CharacterAt(s, 5), std::nullopt);
    EXPECT_EQ(toUtf16(s), u"a\U0001F600\u00E9b");
    EXPECT_EQ(fromUtf16(toUtf16(s)), s);
}

TEST(Utf16, SubstringsByUnitRange) {
    const std::string s = "a" + kEmoji + kAccent + "b";
    EXPECT_EQ(utf16Substring(s, {1, 2}), kEmoji);
    EXPECT_EQ(utf16Substring(s, {3, 2}), kAccent + "b");
    EXPECT_EQ(utf16SubstringFrom(s, 3), kAccent + "b");
    EXPECT_EQ(utf16SubstringTo(s, 3), "a" + kEmoji);
    // Cutting a pair in half leaves a replacement character, never a broken byte sequence.
    EXPECT_EQ(utf16Substring(s, {0, 2}), "a" + kReplacement);
    EXPECT_EQ(utf16Substring(s, {2, 2}), kReplacement + kAccent);
    // Ranges past the end are clamped, even absurd ones.
    EXPECT_EQ(utf16Substring(s, {4, 100}), "b");
    EXPECT_EQ(utf16Substring(s, {NSNotFound, 1}), "");
    EXPECT_EQ(utf16Substring(s, {2, SIZE_MAX}), kReplacement + kAccent + "b");
}

TEST(Utf16, OffsetConversionsAgreeBothWays) {
    const std::string s = "a" + kEmoji + kAccent + "b";  // bytes: a=0, emoji=1..4, accent=5..6, b=7
    EXPECT_EQ(byteOffsetFromUtf16Offset(s, 0), 0u);
    EXPECT_EQ(byteOffsetFromUtf16Offset(s, 1), 1u);
    EXPECT_EQ(byteOffsetFromUtf16Offset(s, 2), 1u);  // inside the pair: its first byte
    EXPECT_EQ(byteOffsetFromUtf16Offset(s, 3), 5u);
    EXPECT_EQ(byteOffsetFromUtf16Offset(s, 4), 7u);
    EXPECT_EQ(byteOffsetFromUtf16Offset(s, 99), s.size());
    EXPECT_EQ(utf16OffsetFromByteOffset(s, 5), 3u);
    EXPECT_EQ(utf16OffsetFromByteOffset(s, 3), 1u);  // inside the emoji: its start
    EXPECT_EQ(utf16OffsetFromByteOffset(s, 99), 5u);
    for (std::size_t unit : {0u, 1u, 3u, 4u, 5u})
        EXPECT_EQ(utf16OffsetFromByteOffset(s, byteOffsetFromUtf16Offset(s, unit)), unit);
}

TEST(Utf16, InvalidUtf8ReadsAsReplacementCharacters) {
    const std::string stray =
        "a\xFF"
        "b";
    EXPECT_EQ(utf16Length(stray), 3u);
    EXPECT_EQ(utf16CharacterAt(stray, 1), char16_t(0xFFFD));
    EXPECT_EQ(sanitizedUtf8(stray), "a" + kReplacement + "b");
    EXPECT_FALSE(isValidUtf8(stray));
    EXPECT_TRUE(isValidUtf8("a" + kEmoji));
    // A truncated sequence at the end, an overlong form and an encoded surrogate.
    EXPECT_EQ(sanitizedUtf8("x\xE2\x82"), "x" + kReplacement);
    EXPECT_EQ(utf16Length("\xC0\xAF"), 2u);
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));
    // Everything produced from bad input is valid again.
    const std::string bad =
        "\xF0\x9F\x98"
        "z\x80\xC3";
    EXPECT_TRUE(isValidUtf8(utf16Substring(bad, {0, utf16Length(bad)})));
    EXPECT_EQ(utf16Length(utf16Substring(bad, {0, utf16Length(bad)})), utf16Length(bad));
    EXPECT_TRUE(isValidUtf8(fromUtf16(toUtf16(bad))));
}

TEST(Utf16, LoneSurrogatesAndCodePointsToUtf8) {
    EXPECT_EQ(fromUtf16(u"x\xD800y"), "x" + kReplacement + "y");
    EXPECT_EQ(fromUtf16(std::u16string(1, char16_t(0xDE00))), kReplacement);
    EXPECT_EQ(utf8FromUnit(0xE9), kAccent);
    EXPECT_EQ(utf8FromCodePoint(0x1F600), kEmoji);
    EXPECT_EQ(utf8FromCodePoint(0x110000), kReplacement);
}

TEST(Utf16, RangeOfCountsInUnits) {
    const std::string s = kEmoji + "ab" + kEmoji + "ab";
    EXPECT_EQ(utf16RangeOf(s, "ab"), NSMakeRange(2, 2));
    EXPECT_EQ(utf16RangeOf(s, "ab", 3), NSMakeRange(6, 2));
    EXPECT_EQ(utf16RangeOf(s, kEmoji + "a", 1), NSMakeRange(4, 3));
    EXPECT_FALSE(utf16RangeOf(s, "zz").found());
    EXPECT_FALSE(utf16RangeOf(s, "").found());
    EXPECT_FALSE(utf16RangeOf(s, "ab", 100).found());
}

TEST(Utf16, RandomBytesGiveConsistentAnswersEverywhere) {
    std::mt19937 rng(7);
    const std::vector<std::string> pieces = {"a",    "\xC3\xA9", "\xF0\x9F\x98\x80", "\xE2\x82\xAC", "\xFF", "\x80",
                                             "\xC3", "\xF0\x9F", "\xED\xA0\x80",     "\xC0\xAF",     "z"};
    for (int round = 0; round < 500; ++round) {
        std::string s;
        for (int i = static_cast<int>(rng() % 10); i > 0; --i)
            s += rng() % 3 ? pieces[rng() % pieces.size()] : std::string(1, static_cast<char>(rng()));
        const std::u16string units = toUtf16(s);
        ASSERT_EQ(utf16Length(s), units.size()) << s;
        for (std::size_t i = 0; i < units.size(); ++i) ASSERT_EQ(utf16CharacterAt(s, i), units[i]);
        EXPECT_EQ(utf16Substring(s, {0, units.size()}), sanitizedUtf8(s));
        EXPECT_EQ(fromUtf16(units), sanitizedUtf8(s));
        // Cutting anywhere and joining the halves loses at most the one pair that was split.
        std::size_t cut = units.empty() ? 0 : rng() % units.size();
        std::string joined = utf16SubstringTo(s, cut) + utf16SubstringFrom(s, cut);
        EXPECT_TRUE(isValidUtf8(joined));
        EXPECT_EQ(utf16Length(joined), units.size());
        // Offsets only move forward and stay inside the text.
        std::size_t previous = 0;
        for (std::size_t unit = 0; unit <= units.size(); ++unit) {
            std::size_t byte = byteOffsetFromUtf16Offset(s, unit);
            ASSERT_GE(byte, previous);
            ASSERT_LE(byte, s.size());
            ASSERT_LE(utf16OffsetFromByteOffset(s, byte), unit);
            previous = byte;
        }
    }
}
