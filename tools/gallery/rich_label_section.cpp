// The rich label: links in their three looks, truncation, background boxes, strike-through,
// vertical alignment with insets, shadows, highlighted text and a shrunk label.
#include "platform/net/url.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/view/ui_geometry_strings.h"
#include "tools/gallery/gallery.h"
#include "widgets/rich_label/rich_label.h"
#include "widgets/rich_label/rich_label_attributes.h"

namespace {

constexpr CGFloat kWidth = 300;
const char* kLong =
    "The quick brown fox jumps over the lazy dog, then runs far across the wide green meadow "
    "until the evening comes and the stars are out over the quiet hills.";

std::shared_ptr<RichLabel> label(CGRect frame, long lines = 0) {
    auto l = RichLabel::make(frame);
    l->setFont(UIFont::systemFontOfSize(15));
    l->setNumberOfLines(lines);
    l->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
    return l;
}

void shot(GalleryPage& page, const std::shared_ptr<UIWindow>& window, const std::string& name,
          const std::shared_ptr<RichLabel>& l) {
    window->addSubview(l);
    page.step(0.1);
    page.shotView(name, *l);
    l->removeFromSuperview();
}

void links(GalleryPage& page, const std::shared_ptr<UIWindow>& window) {
    auto make = [] {
        auto l = label(CGRectMake(10, 40, kWidth, 60));
        l->setText("Visit korva.example for news, or call 555 0100 today.");
        l->addLinkToURL(NSURL::URLWithString("https://korva.example"), {6, 13});
        l->addLinkToPhoneNumber("555 0100", {38, 8});
        return l;
    };
    shot(page, window, "links-normal", make());
    auto pressed = make();
    pressed->setActiveLink(pressed->linkModels()[0]);
    shot(page, window, "links-pressed", pressed);
    auto dimmed = make();
    window->addSubview(dimmed);
    dimmed->setTintAdjustmentMode(UIViewTintAdjustmentMode::Dimmed);
    dimmed->removeFromSuperview();
    shot(page, window, "links-dimmed", dimmed);
}

void truncation(GalleryPage& page, const std::shared_ptr<UIWindow>& window) {
    auto oneLine = [&](NSLineBreakMode mode, const char* name) {
        auto l = label(CGRectMake(10, 40, kWidth, 24), 1);
        l->setLineBreakMode(mode);
        l->setText(kLong);
        shot(page, window, name, l);
    };
    oneLine(NSLineBreakMode::ByTruncatingTail, "truncate-tail");
    oneLine(NSLineBreakMode::ByTruncatingHead, "truncate-head");
    oneLine(NSLineBreakMode::ByTruncatingMiddle, "truncate-middle");
    auto token = label(CGRectMake(10, 40, kWidth, 44), 2);
    token->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    token->setAttributedTruncationToken(
        NSAttributedString::make(" [more]", NSAttributes{{NSFontAttributeName, UIFont::boldSystemFontOfSize(15)},
                                                         {kCTForegroundColorAttributeName, UIColor::orangeColor()}}));
    token->setText(kLong);
    shot(page, window, "truncate-two-lines-custom-token", token);
}

void boxesAndStrikes(GalleryPage& page, const std::shared_ptr<UIWindow>& window) {
    auto boxes = label(CGRectMake(10, 40, kWidth, 60));
    boxes->setTextAfterInheritingLabelAttributes(
        std::string("Tags: camera, filters and photos"), [](NSMutableAttributedString& text) {
            text.addAttribute(kRichBackgroundFillColorAttributeName, UIColor::yellowColor(), {6, 6});
            text.addAttribute(kRichBackgroundFillColorAttributeName, UIColor::cyanColor(), {14, 7});
            text.addAttribute(kRichBackgroundCornerRadiusAttributeName, 5.0, {14, 7});
            text.addAttribute(kRichBackgroundFillPaddingAttributeName, RichEdgeInsetsValue({2, 3, 2, 3}), {14, 7});
            text.addAttribute(kRichBackgroundStrokeColorAttributeName, UIColor::redColor(), {26, 6});
            text.addAttribute(kRichBackgroundCornerRadiusAttributeName, 8.0, {26, 6});
            text.addAttribute(kRichBackgroundLineWidthAttributeName, 1.0, {26, 6});
            return std::shared_ptr<NSAttributedString>(text.mutableCopy());
        });
    shot(page, window, "background-boxes", boxes);

    auto strikes = label(CGRectMake(10, 40, kWidth, 60));
    strikes->setTextAfterInheritingLabelAttributes(
        std::string("Normal x2 and H2O struck"), [](NSMutableAttributedString& text) {
            text.addAttribute(kRichStrikeOutAttributeName, true, {0, 6});
            text.addAttribute(kCTSuperscriptAttributeName, 1, {8, 1});
            text.addAttribute(kRichStrikeOutAttributeName, true, {7, 2});
            text.addAttribute(kCTSuperscriptAttributeName, -1, {15, 1});
            text.addAttribute(kRichStrikeOutAttributeName, true, {14, 3});
            text.addAttribute(kCTForegroundColorAttributeName, UIColor::redColor(), {14, 3});
            return std::shared_ptr<NSAttributedString>(text.mutableCopy());
        });
    shot(page, window, "strike-through", strikes);
}

void alignment(GalleryPage& page, const std::shared_ptr<UIWindow>& window) {
    const std::pair<RichLabelVerticalAlignment, const char*> kinds[] = {
        {RichLabelVerticalAlignment::Top, "vertical-top-insets"},
        {RichLabelVerticalAlignment::Center, "vertical-centre-insets"},
        {RichLabelVerticalAlignment::Bottom, "vertical-bottom-insets"}};
    for (const auto& [kind, name] : kinds) {
        auto l = label(CGRectMake(10, 40, kWidth, 100));
        l->setTextInsets({10, 20, 10, 20});
        l->setVerticalAlignment(kind);
        l->setTextAlignment(NSTextAlignment::Center);
        l->setText("Short text");
        shot(page, window, name, l);
    }
}

void looks(GalleryPage& page, const std::shared_ptr<UIWindow>& window) {
    auto shadow = label(CGRectMake(10, 40, kWidth, 40));
    shadow->setFont(UIFont::boldSystemFontOfSize(22));
    shadow->setShadowColor(UIColor::colorWithRed(0, 0, 0.6, 0.6));
    shadow->setShadowOffset({2, 2});
    shadow->setShadowRadius(3);
    shadow->setText("Soft shadow");
    shot(page, window, "shadow", shadow);

    auto highlighted = label(CGRectMake(10, 40, kWidth, 40));
    highlighted->setFont(UIFont::boldSystemFontOfSize(22));
    highlighted->setHighlightedTextColor(UIColor::whiteColor());
    highlighted->setHighlightedShadowColor(UIColor::blackColor());
    highlighted->setHighlightedShadowOffset({1, 1});
    highlighted->setHighlightedShadowRadius(2);
    highlighted->setText("Highlighted text");
    highlighted->setHighlighted(true);
    shot(page, window, "highlighted", highlighted);

    auto shrunk = label(CGRectMake(10, 40, 150, 30), 1);
    shrunk->setAdjustsFontSizeToFitWidth(true);
    shrunk->setMinimumScaleFactor(0.3);
    shrunk->setText("A line twice too wide here");
    shot(page, window, "shrunk", shrunk);
}

}  // namespace

void galleryRichLabel(GalleryPage& page) {
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::whiteColor());
    links(page, window);
    truncation(page, window);
    boxesAndStrikes(page, window);
    alignment(page, window);
    looks(page, window);
}
