// The activity indicators: every type on one sheet, each at three moments of its cycle.
#include <vector>

#include "platform/ui/control/ui_label.h"
#include "tools/gallery/widget_gallery_support.h"
#include "widgets/indicator/busy_indicator_view.h"

namespace {

constexpr CGFloat kCell = 34;
constexpr CGFloat kLabel = 14;
constexpr int kTypesPerRow = 3;
constexpr double kMoments[3] = {0, 0.3, 0.6};

}  // namespace

void galleryIndicators(GalleryPage& page) {
    auto root = galleryControllerRoot(page, UIColor::colorWithWhite(0.12, 1));
    std::vector<std::shared_ptr<BusyIndicatorView>> views;
    for (std::uint64_t type = 0; type < kBusyIndicatorTypeCount; ++type) {
        CGFloat x = 6 + (type % kTypesPerRow) * (kLabel + 3 * kCell + 6);
        CGFloat y = 60 + (type / kTypesPerRow) * (kCell + 2);
        auto number = UILabel::make(CGRectMake(x, y, kLabel, kCell));
        number->setText(std::to_string(type));
        number->setFont(UIFont::systemFontOfSize(10));
        number->setTextColor(UIColor::lightGrayColor());
        root->addSubview(number);
        for (int m = 0; m < 3; ++m) {
            auto view = BusyIndicatorView::make(type, UIColor::whiteColor(), 24);
            view->setFrame(CGRectMake(x + kLabel + m * kCell, y, kCell, kCell));
            root->addSubview(view);
            views.push_back(view);
        }
    }
    root->layoutIfNeeded();
    // The three copies of a type run the same animation, each further into its cycle.
    for (std::size_t i = 0; i < views.size(); ++i) {
        views[i]->startAnimating();
        views[i]->animationLayer()->setTimeOffset(kMoments[i % 3]);
    }
    page.step(0.05);
    page.shotScreen("indicators-three-moments");
    page.step(0.5);
    page.shotScreen("indicators-half-a-second-later");
}
