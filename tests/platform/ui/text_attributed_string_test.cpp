// Attributed strings: runs, attribute edits, replacement, UTF-16 ranges and out-of-range input.
#include <gtest/gtest.h>

#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/ui_font.h"

namespace {

TEST(TextAttributedString, RunsAndAttributeEdits) {
    auto s = NSMutableAttributedString::make("Hello world", {{"A", 1}});
    s->addAttribute("B", 2, {6, 5});
    auto runs = s->runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].range, NSMakeRange(0, 6));
    EXPECT_EQ(runs[1].range, NSMakeRange(6, 5));
    EXPECT_EQ(runs[1].attributes.get("A").integerValue(), 1);

    NSRange effective;
    EXPECT_EQ(s->attributeAtIndex("B", 8, &effective).integerValue(), 2);
    EXPECT_EQ(effective, NSMakeRange(6, 5));
    // "A" is the same over both runs, so its effective range spans them.
    s->attributeAtIndex("A", 2, &effective);
    EXPECT_EQ(effective, NSMakeRange(0, 11));

    // Removing the difference merges the runs again.
    s->removeAttribute("B", {0, 11});
    EXPECT_EQ(s->runs().size(), 1u);

    s->setAttributes({{"C", 3}}, {2, 3});
    EXPECT_TRUE(s->attributesAtIndex(3).find("C"));
    EXPECT_FALSE(s->attributesAtIndex(3).find("A"));  // set replaces, add merges
    EXPECT_TRUE(s->attributesAtIndex(5).find("A"));

    std::vector<NSRange> seen;
    s->enumerateAttribute("C", {0, 11}, [&](const Value& v, NSRange r, bool&) {
        if (!v.isNull()) seen.push_back(r);
    });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], NSMakeRange(2, 3));
}

TEST(TextAttributedString, ReplacementInheritsAttributes) {
    auto s = NSMutableAttributedString::make("abc", {{"A", 1}});
    s->addAttribute("B", 2, {2, 1});
    s->replaceCharactersInRange({1, 1}, "XYZ");  // takes the replaced unit's attributes
    EXPECT_EQ(s->string(), "aXYZc");
    EXPECT_FALSE(s->attributesAtIndex(2).find("B"));
    EXPECT_TRUE(s->attributesAtIndex(4).find("B"));
    s->replaceCharactersInRange({5, 0}, "!");  // an insertion takes the unit before it
    EXPECT_TRUE(s->attributesAtIndex(5).find("B"));

    s->appendAttributedString(*NSAttributedString::make("++", {{"D", 4}}));
    EXPECT_EQ(s->string(), "aXYZc!++");
    EXPECT_TRUE(s->attributesAtIndex(7).find("D"));
    s->deleteCharactersInRange({0, 4});
    EXPECT_EQ(s->string(), "c!++");
    EXPECT_EQ(s->length(), 4u);
    // Appending a string to itself works on a copy.
    s->appendAttributedString(*s);
    EXPECT_EQ(s->string(), "c!++c!++");
}

TEST(TextAttributedString, RangesCountUtf16Units) {
    // "é" is one unit, the emoji two.
    auto s = NSMutableAttributedString::make("a\xc3\xa9\xf0\x9f\x98\x80z");
    EXPECT_EQ(s->length(), 5u);
    s->addAttribute("E", 1, {2, 2});
    EXPECT_EQ(s->attributedSubstringFromRange({2, 2})->string(), "\xf0\x9f\x98\x80");
    EXPECT_TRUE(s->attributesAtIndex(3).find("E"));
    EXPECT_FALSE(s->attributesAtIndex(4).find("E"));
    s->replaceCharactersInRange({2, 2}, "b");
    EXPECT_EQ(s->string(),
              "a\xc3\xa9"
              "bz");
}

TEST(TextAttributedString, OutOfRangeIsClampedNotFatal) {
    auto s = NSMutableAttributedString::make("abc");
    s->addAttribute("A", 1, {2, 100});
    EXPECT_TRUE(s->attributesAtIndex(2).find("A"));
    s->addAttribute("B", 1, {50, 3});  // entirely past the end: nothing
    EXPECT_EQ(s->runs().size(), 2u);
    EXPECT_TRUE(s->attributesAtIndex(99).empty());
    s->replaceCharactersInRange({10, 5}, "d");  // clamped to an append
    EXPECT_EQ(s->string(), "abcd");
    EXPECT_EQ(s->attributedSubstringFromRange({3, 10})->string(), "d");
    s->deleteCharactersInRange({1, std::size_t(-1)});
    EXPECT_EQ(s->string(), "a");
    // Ill-formed UTF-8 is repaired on the way in.
    EXPECT_EQ(NSAttributedString::make("a\xff")->length(), 2u);
}

TEST(TextAttributedString, EqualityAndCopies) {
    auto font = UIFont::fontWithName("Gill Sans", 17);
    auto a = NSAttributedString::make(
        "hi", {{NSFontAttributeName, font}, {NSForegroundColorAttributeName, UIColor::redColor()}});
    // Equal values in different objects compare equal.
    auto b = NSAttributedString::make("hi", {{NSFontAttributeName, UIFont::fontWithName("GillSans", 17)},
                                             {NSForegroundColorAttributeName, UIColor::colorWithRed(1, 0, 0, 1)}});
    EXPECT_TRUE(a->isEqualToAttributedString(*b));
    auto copy = a->mutableCopy();
    copy->addAttribute(NSKernAttributeName, 2.0, {0, 1});
    EXPECT_FALSE(a->isEqualToAttributedString(*copy));
    EXPECT_FALSE(a->attributesAtIndex(0).find(NSKernAttributeName));  // the original is untouched
}

}  // namespace
