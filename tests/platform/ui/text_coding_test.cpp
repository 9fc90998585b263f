// Text objects, numbers, geometry strings and labels in keyed archives, read back from bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/net/url.h"
#include "platform/storage/ns_coder_numbers.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/text/core_text_keys.h"
#include "platform/ui/text/ns_coder_text.h"
#include "platform/ui/view/ui_geometry_strings.h"

namespace {

NSCoder throughBytes(const NSCoder& coder) {
    auto bytes = coder.encodedData();
    EXPECT_TRUE(bytes.ok());
    auto back = NSCoder::decoderWithData(*bytes);
    EXPECT_TRUE(back.ok());
    return back.ok() ? *back : NSCoder();
}

TEST(TextCoding, ObjectsRoundTripThroughArchiveBytes) {
    auto style = NSParagraphStyle::make();
    style->alignment = NSTextAlignment::Right;
    style->lineBreakMode = NSLineBreakMode::ByTruncatingMiddle;
    style->minimumLineHeight = 22;
    auto text = NSMutableAttributedString::make("Hello linked world");
    text->addAttribute(NSFontAttributeName, UIFont::boldSystemFontOfSize(19), {0, 5});
    text->addAttribute(kCTForegroundColorAttributeName, UIColor::colorWithRed(0.1, 0.2, 0.3, 0.4), {6, 6});
    text->addAttribute(NSLinkAttributeName, NSURL::URLWithString("https://korva.fi"), {6, 6});
    text->addAttribute(NSParagraphStyleAttributeName, style, {0, 18});
    text->addAttribute("Numbers", Value::array({1, 2.5}), {13, 5});

    NSCoder coder;
    encodeColor(coder, UIColor::colorWithWhite(0.5, 0.25), "grey");
    encodeFont(coder, UIFont::italicSystemFontOfSize(13), "font");
    encodeParagraphStyle(coder, style, "style");
    encodeAttributedString(coder, text, "text");
    encodeAttributes(coder, NSAttributes{{NSForegroundColorAttributeName, UIColor::blueColor()}}, "attributes");
    encodeAttributes(coder, std::nullopt, "none");
    NSCoder back = throughBytes(coder);

    EXPECT_TRUE(decodeColorForKey(back, "grey")->isEqual(*UIColor::colorWithWhite(0.5, 0.25)));
    EXPECT_TRUE(decodeFontForKey(back, "font")->isEqual(*UIFont::italicSystemFontOfSize(13)));
    EXPECT_TRUE(decodeParagraphStyleForKey(back, "style")->isEqual(*style));
    auto readText = decodeAttributedStringForKey(back, "text");
    ASSERT_TRUE(readText);
    EXPECT_TRUE(readText->isEqualToAttributedString(*text));
    EXPECT_TRUE(decodeAttributesForKey(back, "attributes")->get(NSForegroundColorAttributeName).objectAs<UIColor>());
    EXPECT_FALSE(decodeAttributesForKey(back, "none"));
    // Other kinds under a key read as none.
    EXPECT_FALSE(decodeColorForKey(back, "font"));
    EXPECT_FALSE(decodeAttributedStringForKey(back, "grey"));
    EXPECT_FALSE(decodeAttributesForKey(back, "text"));
    EXPECT_FALSE(decodeFontForKey(back, "missing"));
}

TEST(TextCoding, DamagedObjectFormsReadAsNone) {
    NSCoder coder;
    coder.encodeObject(
        Value::dictionary({{"$class", "UIFont"}, {"UIFontName", "No Such Face"}, {"UIFontPointSize", 12}}), "font");
    coder.encodeObject(Value::dictionary({{"$class", "UIColor"}, {"UIColorComponents", Value::array({1, "x", 3, 4})}}),
                       "color");
    coder.encodeObject(
        Value::dictionary(
            {{"$class", "NSAttributedString"},
             {"NSString", "abc"},
             {"NSRuns",
              Value::array(
                  {Value::dictionary({{"location", 1}, {"length", 900}, {"attributes", Value::dictionary({{"K", 1}})}}),
                   Value(4)})}}),
        "text");
    coder.encodeObject(Value::dictionary({{"$class", "Mystery"}}), "mystery");
    EXPECT_FALSE(decodeFontForKey(coder, "font"));
    EXPECT_FALSE(decodeColorForKey(coder, "color"));
    auto text = decodeAttributedStringForKey(coder, "text");
    ASSERT_TRUE(text);  // the run past the end is cut to the text, the junk run skipped
    EXPECT_EQ(text->attributeAtIndex("K", 2).integerValue(), 1);
    EXPECT_TRUE(text->attributeAtIndex("K", 0).isNull());
    EXPECT_TRUE(unarchivedValue(coder.decodeObjectForKey("mystery")).isNull());
}

TEST(TextCoding, NumbersAndGeometryStrings) {
    NSCoder coder;
    encodeUInt64(coder, std::numeric_limits<std::uint64_t>::max(), "big");
    encodeFloat(coder, 0.1f, "float");
    coder.encodeDouble(0.1, "double");
    coder.encodeObject(Value(-5), "negative");
    NSCoder back = throughBytes(coder);
    EXPECT_EQ(decodeUInt64ForKey(back, "big"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(decodeFloatForKey(back, "float"), 0.1f);
    EXPECT_EQ(decodeFloatForKey(back, "double"), 0.1f);  // read back through single precision
    EXPECT_EQ(decodeUInt64ForKey(back, "negative"), 0u);
    EXPECT_EQ(decodeUInt64ForKey(back, "missing"), 0u);

    EXPECT_EQ(NSStringFromUIEdgeInsets({0, -1, 0.5, -1}), "{0, -1, 0.5, -1}");
    EXPECT_EQ(UIEdgeInsetsFromString("{0, -1, 0.5, -1}"), UIEdgeInsetsMake(0, -1, 0.5, -1));
    EXPECT_EQ(CGSizeFromString(NSStringFromCGSize({3.25, -4})), CGSizeMake(3.25, -4));
    EXPECT_EQ(CGPointFromString(NSStringFromCGPoint({1e-3, 7})), CGPointMake(1e-3, 7));
    // Lenient reading: what is missing or unreadable is 0.
    EXPECT_EQ(UIEdgeInsetsFromString("{1, 2"), UIEdgeInsetsMake(1, 2, 0, 0));
    EXPECT_EQ(CGSizeFromString("junk"), CGSizeZero);
    EXPECT_EQ(CGPointFromString("{inf, nan}"), CGPointZero);
}

TEST(TextCoding, LabelKeepsItsOwnFields) {
    auto label = UILabel::make(CGRectMake(1, 2, 100, 40));
    label->setText("Archived");
    label->setFont(UIFont::systemFontOfSize(21));
    label->setTextColor(UIColor::redColor());
    label->setTextAlignment(NSTextAlignment::Center);
    label->setNumberOfLines(3);
    label->setLineBreakMode(NSLineBreakMode::ByTruncatingHead);
    label->setEnabled(false);
    label->setShadowColor(UIColor::blackColor());
    label->setShadowOffset({2, 3});
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumScaleFactor(0.5);
    label->setMinimumFontSize(9.5);
    NSCoder coder;
    label->encodeWithCoder(coder);
    auto back = makeWithCoder<UILabel>(throughBytes(coder));
    EXPECT_EQ(back->text(), "Archived");
    EXPECT_TRUE(back->font()->isEqual(*label->font()));
    EXPECT_TRUE(back->textColor()->isEqual(*UIColor::redColor()));
    EXPECT_EQ(back->textAlignment(), NSTextAlignment::Center);
    EXPECT_EQ(back->numberOfLines(), 3);
    EXPECT_EQ(back->lineBreakMode(), NSLineBreakMode::ByTruncatingHead);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_TRUE(back->shadowColor());
    EXPECT_EQ(back->shadowOffset(), CGSizeMake(2, 3));
    EXPECT_TRUE(back->adjustsFontSizeToFitWidth());
    EXPECT_DOUBLE_EQ(back->minimumScaleFactor(), 0.5);
    EXPECT_DOUBLE_EQ(back->minimumFontSize(), 9.5);
    EXPECT_EQ(back->frame(), label->frame());
    // An empty archive gives the defaults.
    auto fresh = makeWithCoder<UILabel>(NSCoder());
    EXPECT_FALSE(fresh->text());
    EXPECT_EQ(fresh->numberOfLines(), 1);
    EXPECT_TRUE(fresh->isEnabled());
    EXPECT_DOUBLE_EQ(fresh->minimumFontSize(), 0);
    // A damaged minimum font size keeps the default.
    NSCoder damaged;
    encodeFloat(damaged, -4, "UIMinimumFontSize");
    EXPECT_DOUBLE_EQ(makeWithCoder<UILabel>(damaged)->minimumFontSize(), 0);
}

}  // namespace
