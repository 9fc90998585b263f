// Links in a read-only text view: which addresses are found, and a tap on one opens it.
#include <gtest/gtest.h>

#include "platform/ui/app/ui_application.h"
#include "platform/ui/input/ui_text_view.h"
#include "tests/platform/ui/controller_test_support.h"

struct TextLinks : UIHarness {
    // A read-only text with its links detected, laid out in the window.
    std::shared_ptr<UITextView> linkedText(const std::string& words) {
        auto text = UITextView::make(CGRectMake(0, 0, 320, 200));
        text->setText(words);
        text->setEditable(false);
        text->setDataDetectorTypes(UIDataDetectorTypeLink);
        window->addSubview(text);
        window->layoutIfNeeded();
        return text;
    }
};

TEST_F(TextLinks, AddressesInAReadOnlyTextAreLinks) {
    auto text = UITextView::make(CGRectMake(0, 0, 320, 200));
    text->setText("See (https://korva.invalid/a), www.korva.invalid or mail me@korva.invalid.\nNot: @x, a@b, http://");
    text->setDataDetectorTypes(UIDataDetectorTypeLink);
    EXPECT_TRUE(text->detectedLinks().empty()) << "an editable text shows no links";
    text->setEditable(false);
    auto links = text->detectedLinks();
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].url, "https://korva.invalid/a");
    EXPECT_EQ(links[0].range.location, 5u) << "the bracket stays outside";
    EXPECT_EQ(links[0].range.length, std::string("https://korva.invalid/a").size());
    EXPECT_EQ(links[1].url, "http://www.korva.invalid");
    EXPECT_EQ(links[2].url, "mailto:me@korva.invalid") << "the full stop stays outside";

    text->setDataDetectorTypes(UIDataDetectorTypeNone);
    EXPECT_TRUE(text->detectedLinks().empty());
}

TEST_F(TextLinks, ATapOnALinkOpensItAndATapBesideItDoesNot) {
    auto text = linkedText("https://korva.invalid/licence and more words after it");
    const CGFloat lineMiddle = text->textContainerInset().top + 5;
    EXPECT_EQ(text->linkAtPoint(CGPoint{20, lineMiddle}), "https://korva.invalid/licence");
    EXPECT_EQ(text->linkAtPoint(CGPoint{20, 150}), std::nullopt) << "below the text";
    tap(CGPoint{20, lineMiddle});
    tap(CGPoint{300, lineMiddle});
    EXPECT_EQ(UIApplication::sharedApplication()->openedURLs(),
              (std::vector<std::string>{"https://korva.invalid/licence"}));
}

// Only a point over a link's own glyphs is on it: not the blank after its end on its line, nor
// the blank a centred line leaves before it; a link cut over two lines is a link on both.
TEST_F(TextLinks, OnlyALinksOwnGlyphsAreOnIt) {
    auto text = linkedText("https://korva.invalid/licence");
    const CGFloat lineMiddle = text->textContainerInset().top + 5;
    EXPECT_EQ(text->linkAtPoint(CGPoint{20, lineMiddle}), "https://korva.invalid/licence");
    EXPECT_EQ(text->linkAtPoint(CGPoint{300, lineMiddle}), std::nullopt) << "beside the end";
    text->setSelectable(false);
    EXPECT_FALSE(text->takesTapAt(CGPoint{300, lineMiddle}));
    EXPECT_TRUE(text->takesTapAt(CGPoint{20, lineMiddle}));
    tap(CGPoint{300, 18});
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty());

    text->setTextAlignment(NSTextAlignment::Center);
    EXPECT_EQ(text->linkAtPoint(CGPoint{10, lineMiddle}), std::nullopt) << "before a centred line";
    EXPECT_EQ(text->linkAtPoint(CGPoint{160, lineMiddle}), "https://korva.invalid/licence");

    text->setTextAlignment(NSTextAlignment::Left);
    text->setFrame(CGRectMake(0, 0, 100, 200));
    text->setText("https://korva.invalid/a/long/path/cut/over/lines");
    window->layoutIfNeeded();
    const CGFloat secondLine = lineMiddle + text->font()->lineHeight();
    EXPECT_EQ(text->linkAtPoint(CGPoint{text->textContainerInset().left + 3, secondLine}),
              "https://korva.invalid/a/long/path/cut/over/lines");
}

TEST_F(TextLinks, ViewsCarryAnAccessibilityIdentifier) {
    auto view = UIView::make();
    EXPECT_EQ(view->accessibilityIdentifier(), std::nullopt);
    view->setAccessibilityIdentifier("empty set title");
    EXPECT_EQ(view->accessibilityIdentifier(), "empty set title");
    EXPECT_EQ(view->accessibilityLabel(), std::nullopt) << "an identifier is not spoken";
}
