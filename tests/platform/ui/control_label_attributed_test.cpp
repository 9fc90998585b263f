// A label's attributed text takes the label's colour and alignment where it sets none of its own.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/ui_font.h"

TEST(LabelAttributedText, RunsWithoutAColourOrStyleTakeTheLabelsButKeepTheirFont) {
    auto label = UILabel::make(CGRectMake(0, 0, 200, 40));
    label->setTextColor(UIColor::whiteColor());
    label->setTextAlignment(NSTextAlignment::Center);
    auto text = NSMutableAttributedString::make("Notes Korva");
    auto big = UIFont::systemFontOfSize(30);
    text->addAttribute(NSFontAttributeName, Value(big), {0, 5});
    auto left = NSParagraphStyle::make();
    left->alignment = NSTextAlignment::Left;
    text->addAttribute(NSForegroundColorAttributeName, Value(UIColor::redColor()), {6, 5});
    text->addAttribute(NSParagraphStyleAttributeName, Value(left), {6, 5});
    label->setAttributedText(text);

    auto shown = label->displayedText();
    const NSAttributes first = shown->attributesAtIndex(0);
    EXPECT_TRUE(first.get(NSForegroundColorAttributeName).isEqual(Value(UIColor::whiteColor())));
    EXPECT_EQ(first.get(NSParagraphStyleAttributeName).objectAs<NSParagraphStyle>()->alignment,
              NSTextAlignment::Center);
    EXPECT_EQ(first.get(NSFontAttributeName).object(), big);
    const NSAttributes last = shown->attributesAtIndex(8);
    EXPECT_TRUE(last.get(NSForegroundColorAttributeName).isEqual(Value(UIColor::redColor())));
    EXPECT_EQ(last.get(NSParagraphStyleAttributeName).objectAs<NSParagraphStyle>()->alignment, NSTextAlignment::Left);
    EXPECT_FALSE(last.contains(NSFontAttributeName)) << "no font is added, so the text measures as given";
    EXPECT_EQ(label->attributedText(), text) << "the label's own text is left as it was given";
}
