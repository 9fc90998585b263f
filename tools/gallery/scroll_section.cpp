// Scrolling labels of every type, at rest and mid-scroll, with their edge fades, and one read
// from an archive.
#include <vector>

#include "platform/storage/ns_coder.h"
#include "platform/ui/control/ui_label.h"
#include "tools/gallery/widget_gallery_support.h"
#include "widgets/scroll/scroll_label.h"

namespace {

const char* const kTypeNames[6] = {"0 left then back", "1 right then back", "2 loop left",
                                   "3 loop right",     "4 left once",       "5 right once"};

}  // namespace

void galleryScrollLabels(GalleryPage& page) {
    auto root = galleryControllerRoot(page, UIColor::colorWithWhite(0.15, 1));
    std::vector<std::shared_ptr<ScrollLabel>> labels;
    for (unsigned type = 0; type < 6; ++type) {
        CGFloat y = 80 + type * 70;
        auto caption = UILabel::make(CGRectMake(20, y, 350, 18));
        caption->setText(std::string("type ") + kTypeNames[type]);
        caption->setFont(UIFont::systemFontOfSize(12));
        caption->setTextColor(UIColor::lightGrayColor());
        root->addSubview(caption);
        auto band = UIView::make(CGRectMake(20, y + 20, 220, 30));
        band->setBackgroundColor(UIColor::colorWithRed(0.2, 0.3, 0.45, 1));
        root->addSubview(band);
        auto label = ScrollLabel::make(CGRectMake(10, 0, 200, 30));
        label->setTextAlignment(NSTextAlignment::Center);
        label->setTextColor(UIColor::whiteColor());
        label->setFont(UIFont::boldSystemFontOfSize(17));
        label->setText(std::string("Soft contrast with faded warm highlights"));
        label->setScrollType(type);
        label->setAnimationCurve(ScrollLabelCurveEaseInOut);
        label->setTrailingBuffer(30);
        label->setFadeLength(10);
        label->setScrollDuration(15);
        band->addSubview(label);
        labels.push_back(label);
    }
    // A short caption that fits: no scroll, no fade.
    auto fits = ScrollLabel::make(CGRectMake(20, 510, 220, 30));
    fits->setTextColor(UIColor::whiteColor());
    fits->setText(std::string("Fits"));
    fits->setFadeLength(10);
    root->addSubview(fits);
    // A label read from an archive of a platform label: it shows and scrolls the archived look.
    auto stored = UILabel::make(CGRectMake(20, 560, 220, 30));
    stored->setText(std::string("Read from an archive, still scrolling along"));
    stored->setFont(UIFont::boldSystemFontOfSize(17));
    stored->setTextColor(UIColor::yellowColor());
    stored->setTextAlignment(NSTextAlignment::Center);
    NSCoder coder;
    stored->encodeWithCoder(coder);
    auto archived = makeWithCoder<ScrollLabel>(coder);
    archived->setFadeLength(10);
    archived->setTrailingBuffer(30);
    root->addSubview(archived);
    page.step(0.5);
    page.shotScreen("scroll-labels-at-rest");
    page.step(4.5);
    page.shotScreen("scroll-labels-mid-scroll");
    page.step(4);
    page.shotScreen("scroll-labels-later");
}
