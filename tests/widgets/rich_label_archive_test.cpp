// The rich label's archived form: a round trip through archive bytes, archives of the platform
// label alone, the older form of links, and archives with missing, wrong or damaged values.
#include "platform/storage/ns_coder_numbers.h"
#include "platform/text/text_checking_archive.h"
#include "platform/ui/text/ns_coder_text.h"
#include "rich_label_support.h"

namespace {

using RichLabelArchive = RichLabelTest;

std::shared_ptr<RichLabel> throughBytes(const UIView& view) {
    NSCoder coder;
    view.encodeWithCoder(coder);
    auto bytes = coder.encodedData();
    EXPECT_TRUE(bytes.ok());
    auto decoder = NSCoder::decoderWithData(*bytes);
    EXPECT_TRUE(decoder.ok());
    return makeWithCoder<RichLabel>(*decoder);
}

TEST_F(RichLabelArchive, RoundTripKeepsFieldsLinksAndText) {
    auto label = makeLabel();
    label->setTextColor(UIColor::darkGrayColor());  // a fixed colour: archives hold resolved ones
    label->setEnabledTextCheckingTypes(NSTextCheckingTypeLink);
    label->setShadowRadius(1.1);
    label->setHighlightedShadowRadius(2.2);
    label->setHighlightedShadowOffset({3, -4});
    label->setHighlightedShadowColor(UIColor::redColor());
    label->setKern(0.3);
    label->setFirstLineIndent(5);
    label->setLineSpacing(1.7);
    label->setMinimumLineHeight(21);
    label->setMaximumLineHeight(30);
    label->setLineHeightMultiple(1.2);
    label->setTextInsets({1, 2, 3, 4});
    label->setVerticalAlignment(RichLabelVerticalAlignment::Bottom);
    label->setLinkBackgroundEdgeInset({0, -2, 0, -2});
    label->setAttributedTruncationToken(
        NSAttributedString::make(" more", NSAttributes{{kCTForegroundColorAttributeName, UIColor::greenColor()}}));
    label->setText("Go to korva on Friday");
    auto url = label->addLinkToURL(NSURL::URLWithString("https://korva.fi"), {6, 5});
    url->setAccessibilityValue("the site");
    label->addLinkToDate(800000000, "Europe/Helsinki", 60, {15, 6});

    auto back = throughBytes(*label);
    auto single = [](double v) { return double(float(v)); };
    EXPECT_EQ(back->enabledTextCheckingTypes(), NSTextCheckingTypeLink);
    EXPECT_EQ(back->dataDetector(), label->dataDetector());
    EXPECT_DOUBLE_EQ(back->shadowRadius(), single(1.1));
    EXPECT_DOUBLE_EQ(back->highlightedShadowRadius(), single(2.2));
    EXPECT_EQ(back->highlightedShadowOffset(), CGSizeMake(3, -4));
    EXPECT_TRUE(back->highlightedShadowColor()->isEqual(*UIColor::redColor()));
    EXPECT_DOUBLE_EQ(back->kern(), single(0.3));
    EXPECT_DOUBLE_EQ(back->firstLineIndent(), 5);
    EXPECT_DOUBLE_EQ(back->lineSpacing(), single(1.7));
    EXPECT_DOUBLE_EQ(back->minimumLineHeight(), 21);
    EXPECT_DOUBLE_EQ(back->maximumLineHeight(), 30);
    EXPECT_DOUBLE_EQ(back->lineHeightMultiple(), single(1.2));
    EXPECT_EQ(back->textInsets(), UIEdgeInsetsMake(1, 2, 3, 4));
    EXPECT_EQ(back->verticalAlignment(), 2);
    EXPECT_EQ(back->linkBackgroundEdgeInset(), UIEdgeInsetsMake(0, -2, 0, -2));
    EXPECT_TRUE(back->attributedTruncationToken()->isEqualToAttributedString(*label->attributedTruncationToken()));
    EXPECT_TRUE(back->attributedText()->isEqualToAttributedString(*label->attributedText()));
    EXPECT_EQ(back->text(), "Go to korva on Friday");
    EXPECT_EQ(back->links(), label->links());
    ASSERT_EQ(back->linkModels().size(), 2u);
    EXPECT_EQ(back->linkModels()[0]->accessibilityValue(), "the site");
    EXPECT_TRUE(NSAttributesEqual(*back->linkModels()[0]->attributes(), *url->attributes()));
    EXPECT_TRUE(NSAttributesEqual(*back->linkAttributes(), *label->linkAttributes()));
    EXPECT_EQ(back->frame(), label->frame());
}

TEST_F(RichLabelArchive, PlatformLabelFieldsAloneTakeThePlainRoad) {
    auto plain = UILabel::make(CGRectMake(0, 0, 200, 40));
    plain->setFont(UIFont::boldSystemFontOfSize(20));
    plain->setText("Plain label");
    auto back = throughBytes(*plain);
    ASSERT_TRUE(back->attributedText());
    EXPECT_EQ(back->text(), "Plain label");
    auto font = back->attributedText()->attributeAtIndex(kCTFontAttributeName, 0).objectAs<UIFont>();
    EXPECT_TRUE(font && font->isEqual(*UIFont::boldSystemFontOfSize(20)));
    EXPECT_FALSE(back->attributedText()->attributeAtIndex(kCTParagraphStyleAttributeName, 0).isNull());
    EXPECT_TRUE(back->linkModels().empty());
}

TEST_F(RichLabelArchive, OlderLinksKeyGivesUnstyledLinks) {
    auto result = NSTextCheckingResult::linkCheckingResultWithRange({0, 5}, NSURL::URLWithString("https://old.fi"));
    auto text = NSAttributedString::make("older text");
    NSCoder coder;
    encodeAttributedString(coder, text, "attributedText");
    coder.encodeObject(Value::array({NSTextCheckingResultArchive(result), Value("junk")}), "links");
    auto back = makeWithCoder<RichLabel>(coder);
    ASSERT_EQ(back->links().size(), 1u);
    EXPECT_EQ(back->links()[0], result);
    EXPECT_FALSE(back->linkModels()[0]->attributes());
    EXPECT_TRUE(back->attributedText()->isEqualToAttributedString(*text));

    // With the platform label's text instead, the links are kept too (the plain road starts
    // without links; they are added back).
    NSCoder plain;
    plain.encodeObject(Value("older text"), "UIText");
    plain.encodeObject(Value::array({NSTextCheckingResultArchive(result)}), "links");
    auto kept = makeWithCoder<RichLabel>(plain);
    EXPECT_EQ(kept->text(), "older text");
    EXPECT_EQ(kept->links().size(), 1u);
}

TEST_F(RichLabelArchive, MissingWrongAndDamagedValuesKeepTheDefaults) {
    auto empty = makeWithCoder<RichLabel>(NSCoder());
    EXPECT_EQ(empty->attributedText(), nullptr);
    EXPECT_EQ(empty->linkBackgroundEdgeInset(), UIEdgeInsetsMake(0, -1, 0, -1));
    EXPECT_DOUBLE_EQ(empty->lineHeightMultiple(), 1);
    EXPECT_TRUE(empty->linkAttributes() && empty->linkAttributes()->contains(kCTUnderlineStyleAttributeName));
    EXPECT_TRUE(empty->isUserInteractionEnabled());
    EXPECT_TRUE(empty->longPressGestureRecognizer());

    NSCoder wrong;
    wrong.encodeObject(Value("abc"), "kern");
    wrong.encodeObject(Value(5), "linkModels");
    wrong.encodeObject(Value(12), "textInsets");
    wrong.encodeObject(Value::dictionary({{"$class", "NSAttributedString"}}), "attributedText");
    wrong.encodeObject(Value::array({Value::dictionary({{"result", 7}})}), "links");
    wrong.encodeObject(Value(-3), "enabledTextCheckingTypes");
    wrong.encodeDouble(std::nan(""), "shadowRadius");
    wrong.encodeObject(Value::dictionary({{"$class", "UIColor"}, {"UIColorComponents", Value::array({1, 2})}}),
                       "highlightedShadowColor");
    auto back = makeWithCoder<RichLabel>(wrong);
    EXPECT_DOUBLE_EQ(back->kern(), 0);
    EXPECT_TRUE(back->linkModels().empty());
    EXPECT_EQ(back->textInsets(), UIEdgeInsetsZero);
    EXPECT_EQ(back->attributedText(), nullptr);
    EXPECT_EQ(back->enabledTextCheckingTypes(), 0u);
    EXPECT_DOUBLE_EQ(back->shadowRadius(), 0);
    EXPECT_TRUE(back->highlightedShadowColor());  // two components read as white and alpha

    // Truncated bytes are a failure, not a label.
    NSCoder full;
    makeLabel()->encodeWithCoder(full);
    auto bytes = *full.encodedData();
    bytes.resize(bytes.size() / 2);
    EXPECT_FALSE(NSCoder::decoderWithData(bytes).ok());
}

}  // namespace
