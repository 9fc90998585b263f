// The progress ring: spinning, at 50 % with its label, and through the completion reveal over a
// photograph-like backdrop, plain and with blur and vibrancy.
#include "tools/gallery/widget_gallery_support.h"
#include "widgets/progress/ring_progress_view.h"

namespace {

constexpr CGFloat kTile = 110;
constexpr double kRevealMoments[4] = {0.1, 0.3, 0.5, 0.7};

std::shared_ptr<RingProgressView> tile(const std::shared_ptr<UIView>& root, CGFloat x, CGFloat y, bool blurred) {
    auto photo = galleryPhotoBackdrop(CGRectMake(x, y, kTile, kTile));
    root->addSubview(photo);
    auto ring = RingProgressView::make(CGRectMake(0, 0, kTile, kTile));
    if (blurred) ring->setBlurEffect(UIBlurEffect::effectWithStyle(UIBlurEffectStyle::Light));
    photo->addSubview(ring);
    return ring;
}

void sheet(GalleryPage& page, bool blurred, const std::string& name) {
    auto root = galleryControllerRoot(page, UIColor::colorWithWhite(0.2, 1));
    tile(root, 20, 70, blurred);  // spinning
    auto half = tile(root, 140, 70, blurred);
    half->setShowsText(true);
    std::vector<std::shared_ptr<RingProgressView>> finishing;
    for (int i = 0; i < 4; ++i) finishing.push_back(tile(root, 20 + (i % 2) * 120, 200 + (i / 2) * 120, blurred));
    root->layoutIfNeeded();
    half->setProgress(0.5, false);
    // Each reveal started earlier by its moment, so that one picture shows all four.
    for (int i = 3; i >= 0; --i) {
        finishing[i]->setProgress(1, false);
        page.step(i > 0 ? kRevealMoments[i] - kRevealMoments[i - 1] : kRevealMoments[0]);
    }
    page.shotScreen(name);
}

}  // namespace

void galleryRing(GalleryPage& page) {
    sheet(page, false, "ring-spin-half-and-reveal-at-0.1-0.3-0.5-0.7");
    sheet(page, true, "ring-blur-vibrancy-spin-half-and-reveal-at-0.1-0.3-0.5-0.7");
}
