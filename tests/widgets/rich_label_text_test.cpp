// The rich label's text model: detectors per mask, the three roads of setting text, links from
// attributes and from the detector, adding links, the pressed state and the caches.
#include "platform/ui/text/paragraph_style.h"
#include "rich_label_support.h"

namespace {

bool sameColor(const Value& value, const std::shared_ptr<UIColor>& color) {
    auto c = value.objectAs<UIColor>();
    return c && c->isEqual(*color);
}

using RichLabelText = RichLabelTest;

TEST_F(RichLabelText, OneDetectorPerMaskSharedByLabels) {
    auto a = makeLabel(), b = makeLabel();
    a->setEnabledTextCheckingTypes(NSTextCheckingTypeLink);
    auto first = a->dataDetector();
    ASSERT_TRUE(first);
    a->setEnabledTextCheckingTypes(NSTextCheckingTypeLink);  // the same mask again changes nothing
    EXPECT_EQ(a->dataDetector(), first);
    b->setEnabledTextCheckingTypes(NSTextCheckingTypeLink);
    EXPECT_EQ(b->dataDetector(), first);
    a->setEnabledTextCheckingTypes(0);
    EXPECT_EQ(a->dataDetector(), nullptr);
    // A mask no detector can serve leaves none, silently.
    b->setEnabledTextCheckingTypes(NSTextCheckingTypeRegularExpression);
    EXPECT_EQ(b->dataDetector(), nullptr);
}

TEST_F(RichLabelText, PlainTextTakesTheLabelsOwnAttributes) {
    auto label = makeLabel();
    label->setTextAlignment(NSTextAlignment::Center);
    label->setTextColor(UIColor::greenColor());
    label->setText("Hello world");
    auto text = label->attributedText();
    ASSERT_TRUE(text);
    EXPECT_EQ(label->text(), "Hello world");
    auto a = text->attributesAtIndex(3);
    EXPECT_TRUE(a.get(kCTFontAttributeName).objectAs<UIFont>()->isEqual(*UIFont::systemFontOfSize(17)));
    EXPECT_TRUE(sameColor(a.get(kCTForegroundColorAttributeName), UIColor::greenColor()));
    EXPECT_EQ(a.get(kCTKernAttributeName).doubleValue(), 0);
    auto style = a.get(kCTParagraphStyleAttributeName).objectAs<NSParagraphStyle>();
    ASSERT_TRUE(style);
    EXPECT_EQ(style->alignment, NSTextAlignment::Center);
    EXPECT_DOUBLE_EQ(style->minimumLineHeight, lineHeight());
    EXPECT_DOUBLE_EQ(style->maximumLineHeight, lineHeight());
    EXPECT_TRUE(label->linkModels().empty());
    // Every line is exactly the font's line height.
    label->setText("one\ntwo\nthree");
    EXPECT_NEAR(label->sizeThatFits({300, 0}).height, std::ceil(3 * lineHeight()), 1);
}

TEST_F(RichLabelText, LinkAttributesBecomeUnderlinedBlueLinks) {
    auto label = makeLabel();
    auto text = NSMutableAttributedString::make("Go to korva now");
    text->addAttribute(NSLinkAttributeName, "https://korva.fi/a", {6, 5});
    label->setText(std::shared_ptr<NSAttributedString>(text));
    ASSERT_EQ(label->links().size(), 1u);
    EXPECT_EQ(label->links()[0].URL->absoluteString(), "https://korva.fi/a");
    EXPECT_EQ(label->links()[0].range(), NSMakeRange(6, 5));
    auto a = label->attributedText()->attributesAtIndex(7);
    EXPECT_TRUE(a.get(kCTUnderlineStyleAttributeName).boolValue());
    EXPECT_TRUE(sameColor(a.get(kCTForegroundColorAttributeName), UIColor::blueColor()));
    EXPECT_TRUE(label->attributedText()->attributesAtIndex(2).get(kCTUnderlineStyleAttributeName).isNull());
    // None clears the text and the links.
    label->setText(nullptr);
    EXPECT_EQ(label->attributedText(), nullptr);
    EXPECT_TRUE(label->linkModels().empty());
}

TEST_F(RichLabelText, InheritingRoadReplacesTheStringsFontAndLetsABlockChangeIt) {
    auto label = makeLabel();
    auto own = NSAttributedString::make("Serif", NSAttributes{{NSFontAttributeName, UIFont::systemFontOfSize(40)}});
    label->setTextAfterInheritingLabelAttributes(own, [](NSMutableAttributedString& text) {
        text.addAttribute(kRichStrikeOutAttributeName, true, {0, 2});
        return std::shared_ptr<NSAttributedString>(text.mutableCopy());
    });
    auto a = label->attributedText()->attributesAtIndex(0);
    EXPECT_DOUBLE_EQ(a.get(kCTFontAttributeName).objectAs<UIFont>()->pointSize(), 17);
    EXPECT_TRUE(a.get(kRichStrikeOutAttributeName).boolValue());
}

TEST_F(RichLabelText, DetectedLinksArriveLaterAndOnlyForTheTextTheyWereFoundIn) {
    auto label = makeLabel();
    label->setEnabledTextCheckingTypes(NSTextCheckingTypeLink | NSTextCheckingTypePhoneNumber);
    label->setText("See korva.fi or call 555 0100 99");
    EXPECT_TRUE(label->linkModels().empty());
    runDetection();
    ASSERT_EQ(label->links().size(), 2u);
    EXPECT_EQ(label->links()[0].URL->absoluteString(), "http://korva.fi");
    EXPECT_TRUE(label->attributedText()->attributesAtIndex(5).get(kCTUnderlineStyleAttributeName).boolValue());

    // The text changes before the pass comes back: its links are dropped.
    label->setText("See korva.fi");
    label->setText("Nothing to find here");
    runDetection();
    EXPECT_TRUE(label->linkModels().empty());
    // A label gone before its pass runs is let go quietly.
    label->setText("korva.fi");
    label.reset();
    runDetection();
}

TEST_F(RichLabelText, EqualTextKeepsTheFramesetterAndAsksNoRedraw) {
    auto label = makeLabel();
    label->setText("Same text");
    auto framesetter = label->framesetter();
    label->layer()->display();
    ASSERT_FALSE(label->layer()->needsDisplay());
    label->setAttributedText(label->attributedText()->mutableCopy());
    EXPECT_FALSE(label->layer()->needsDisplay());
    EXPECT_EQ(label->framesetter(), framesetter);
    label->setTextColor(UIColor::redColor());
    EXPECT_TRUE(label->layer()->needsDisplay());
    EXPECT_NE(label->framesetter(), framesetter);
}

TEST_F(RichLabelText, LinksWithoutAttributesLeaveTheLookAndBackgroundsAreRenamed) {
    auto label = makeLabel();
    label->setText("plain words here");
    auto before = label->attributedText();
    label->addLinksWithTextCheckingResults(
        {NSTextCheckingResult::linkCheckingResultWithRange({0, 5}, NSURL::URLWithString("https://a.example"))},
        std::nullopt);
    EXPECT_TRUE(label->attributedText()->isEqualToAttributedString(*before));
    EXPECT_EQ(label->linkModels().size(), 1u);
    EXPECT_FALSE(label->linkModels()[0]->activeAttributes());

    label->setLinkAttributes(NSAttributes{{NSBackgroundColorAttributeName, UIColor::yellowColor()},
                                          {NSForegroundColorAttributeName, UIColor::redColor()},
                                          {"Custom", 1}});
    const auto& stored = *label->linkAttributes();
    EXPECT_TRUE(stored.contains(kRichBackgroundFillColorAttributeName));
    EXPECT_TRUE(stored.contains(kCTForegroundColorAttributeName));
    EXPECT_TRUE(stored.contains("Custom"));
    EXPECT_FALSE(stored.contains(NSBackgroundColorAttributeName));
    label->setLinkAttributes(std::nullopt);
    EXPECT_FALSE(label->linkAttributes());
}

TEST_F(RichLabelText, PressingStylesACopyAndReleaseRestoresIt) {
    auto label = makeLabel();
    label->setText("tap here please");
    auto link = label->addLinkToURL(NSURL::URLWithString("https://a.example"), {4, 4});
    auto normal = label->attributedText();
    label->setActiveLink(link);
    EXPECT_TRUE(sameColor(label->attributedText()->attributesAtIndex(5).get(kCTForegroundColorAttributeName),
                          UIColor::redColor()));
    // A second press styles the text from before the first, not the pressed one.
    label->setActiveLink(link);
    label->setActiveLink(nullptr);
    EXPECT_TRUE(label->attributedText()->isEqualToAttributedString(*normal));
    EXPECT_EQ(label->inactiveAttributedText(), nullptr);

    // New text set while the link is pressed (as a tap callback does) stays.
    label->setActiveLink(link);
    label->setText("replaced");
    EXPECT_EQ(label->text(), "replaced");
    EXPECT_EQ(label->activeLink(), nullptr);
    label->setActiveLink(nullptr);
    EXPECT_EQ(label->text(), "replaced");
}

TEST_F(RichLabelText, LinkRangesPastTheTextAreKeptUnstyled) {
    auto label = makeLabel();
    label->setText("short");
    auto link = label->addLinkToURL(NSURL::URLWithString("https://a.example"), {3, 20});
    auto far = label->addLinkToPhoneNumber("123", {NSNotFound, 3});
    EXPECT_EQ(label->linkModels().size(), 2u);
    EXPECT_TRUE(label->attributedText()->attributesAtIndex(4).get(kCTUnderlineStyleAttributeName).isNull());
    // Pressing and dimming them leaves the text alone; nothing reads outside it.
    label->setActiveLink(link);
    EXPECT_TRUE(label->attributedText()->attributesAtIndex(4).get(kCTUnderlineStyleAttributeName).isNull());
    label->setActiveLink(far);
    label->setActiveLink(nullptr);
    label->setTintAdjustmentMode(UIViewTintAdjustmentMode::Dimmed);
    EXPECT_EQ(label->text(), "short");
    render(*label);
    EXPECT_EQ(label->linkAtCharacterIndex(4), link);
    EXPECT_EQ(label->linkAtCharacterIndex(5), nullptr);
}

TEST_F(RichLabelText, ColourFromContextIsDrawnInTheTextColour) {
    auto label = makeLabel();
    label->setTextColor(UIColor::blueColor());
    auto text = NSMutableAttributedString::make("context");
    text->addAttribute(kCTForegroundColorFromContextAttributeName, true, {0, 3});
    label->setText(std::shared_ptr<NSAttributedString>(text));
    auto rendered = label->renderedAttributedText();
    EXPECT_TRUE(sameColor(rendered->attributeAtIndex(kCTForegroundColorAttributeName, 1), UIColor::blueColor()));
    EXPECT_TRUE(rendered->attributeAtIndex(kCTForegroundColorFromContextAttributeName, 1).isNull());
    EXPECT_TRUE(rendered->attributeAtIndex(kCTForegroundColorAttributeName, 5).isNull());
    label->setTextColor(UIColor::redColor());
    EXPECT_TRUE(sameColor(label->renderedAttributedText()->attributeAtIndex(kCTForegroundColorAttributeName, 1),
                          UIColor::redColor()));
}

}  // namespace
