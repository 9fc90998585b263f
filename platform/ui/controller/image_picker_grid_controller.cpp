// The picker's grid of library thumbnails.
#include "platform/ui/controller/image_picker_grid_controller.h"

#include <algorithm>
#include <cmath>

#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_fetch_result_change_details.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/controller_view.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/text/ui_font.h"

namespace {

constexpr const char* kCellIdentifier = "ImagePickerCell";
constexpr CGFloat kEmptyFontSize = 24;
constexpr CGFloat kBadgeHeight = 18;
constexpr CGFloat kBadgeFontSize = 12;
constexpr CGFloat kMissingGrey = 0.78;

std::string clockText(double seconds) {
    long s = std::max(0L, std::lround(seconds));
    std::string sec = std::to_string(s % 60);
    return std::to_string(s / 60) + ":" + (sec.size() < 2 ? "0" : "") + sec;
}

// One square thumbnail; grey until its picture arrives (and for good when none can be made).
class ImagePickerCell : public UICollectionViewCell {
public:
    KORVA_MAKE(ImagePickerCell)
    std::string localIdentifier;

    void init() override {
        UICollectionViewCell::init();
        contentView()->setBackgroundColor(UIColor::colorWithWhite(kMissingGrey, 1));
        contentView()->setClipsToBounds(true);
        imageView_ = UIImageView::make(contentView()->bounds());
        imageView_->setContentMode(UIViewContentMode::ScaleAspectFill);
        imageView_->setClipsToBounds(true);
        contentView()->addSubview(imageView_);
        badge_ = UILabel::make(CGRectZero);
        badge_->setFont(UIFont::boldSystemFontOfSize(kBadgeFontSize));
        badge_->setTextColor(UIColor::whiteColor());
        badge_->setTextAlignment(NSTextAlignment::Right);
        badge_->setBackgroundColor(UIColor::colorWithWhite(0, 0.45));
        badge_->setHidden(true);
        contentView()->addSubview(badge_);
    }
    void show(const std::shared_ptr<UIImage>& image, std::optional<double> videoSeconds) {
        imageView_->setImage(image);
        badge_->setHidden(!videoSeconds);
        if (videoSeconds) badge_->setText("\u25B6 " + clockText(*videoSeconds) + " ");
    }
    void setThumbnail(const std::shared_ptr<UIImage>& image) { imageView_->setImage(image); }
    void prepareForReuse() override {
        UICollectionViewCell::prepareForReuse();
        localIdentifier.clear();
        show(nullptr, std::nullopt);
    }
    void layoutSubviews() override {
        UICollectionViewCell::layoutSubviews();
        CGRect b = contentView()->bounds();
        imageView_->setFrame(b);
        badge_->setFrame(CGRectMake(0, b.size.height - kBadgeHeight, b.size.width, kBadgeHeight));
    }
    std::string className() const override { return "ImagePickerCell"; }

protected:
    explicit ImagePickerCell(std::string identifier = {}) : UICollectionViewCell(std::move(identifier)) {}

private:
    std::shared_ptr<UIImageView> imageView_;
    std::shared_ptr<UILabel> badge_;
};

}  // namespace

std::size_t ImagePickerGridController::columnsForWidth(CGFloat width) {
    if (!(width > 0)) return kMinimumColumns;
    auto fit = static_cast<std::size_t>(std::floor((width + kSpacing) / (kTargetCell + kSpacing)));
    return std::max(kMinimumColumns, fit);
}

ImagePickerGridController::~ImagePickerGridController() {
    if (!manager_) return;
    for (const auto& [id, request] : requests_) manager_->cancelImageRequest(request);
}

CGFloat ImagePickerGridController::thumbnailPixels() const {
    // The host draws at its own density: a thumbnail of the cell's pixels there is laid 1:1.
    CGFloat side = layout_ ? layout_->itemSize.width : kTargetCell;
    return std::max<CGFloat>(1, std::round(side * UIScreen::mainScreen()->nativeScale()));
}

CGSize ImagePickerGridController::thumbnailTarget() const {
    CGFloat pixels = thumbnailPixels();
    return CGSize{pixels, pixels};
}

PHImageSizedRequestOptions ImagePickerGridController::thumbnailOptions() const {
    PHImageSizedRequestOptions options;
    options.deliveryMode = PHImageRequestOptionsDeliveryMode::HighQualityFormat;
    options.resizeMode = PHImageRequestOptionsResizeMode::Exact;
    return options;
}

std::shared_ptr<UIImage> ImagePickerGridController::sized(std::shared_ptr<UIImage> thumbnail) const {
    if (!thumbnail || !thumbnail->cgImage()) return nullptr;
    CGFloat side = layout_ ? layout_->itemSize.width : kTargetCell;
    return UIImage::imageWithCGImage(thumbnail->cgImage(), thumbnailPixels() / std::max<CGFloat>(1, side));
}

std::shared_ptr<UIImage> ImagePickerGridController::thumbnailFor(const std::string& id) const {
    auto picker = picker_.lock();
    if (!picker || !manager_) return nullptr;
    for (const auto& asset : picker->assets())
        if (asset->localIdentifier() == id)
            return sized(manager_->cachedImageForAsset(asset, thumbnailTarget(), PHImageContentMode::AspectFill,
                                                       thumbnailOptions()));
    return nullptr;
}

void ImagePickerGridController::loadView() {
    // A controller view, so that its layout pass reaches viewDidLayoutSubviews.
    manager_ = PHCachingImageManager::make();
    auto root = ControllerView::make(UIScreen::mainScreen()->bounds());
    root->setBackgroundColor(UIColor::whiteColor());
    layout_ = UICollectionViewFlowLayout::make();
    layout_->minimumLineSpacing = kSpacing;
    layout_->minimumInteritemSpacing = kSpacing;
    collection_ = UICollectionView::make(root->bounds(), layout_);
    collection_->setBackgroundColor(UIColor::whiteColor());
    collection_->setAlwaysBounceVertical(true);
    collection_->registerClass<ImagePickerCell>(kCellIdentifier);
    auto me = self<ImagePickerGridController>();
    collection_->setDataSource(std::static_pointer_cast<UICollectionViewDataSource>(me));
    collection_->setDelegate(std::static_pointer_cast<UICollectionViewDelegate>(me));
    root->addSubview(collection_);

    emptyLabel_ = UILabel::make(root->bounds());
    emptyLabel_->setText("No Photos");
    emptyLabel_->setFont(UIFont::boldSystemFontOfSize(kEmptyFontSize));
    emptyLabel_->setTextColor(UIColor::grayColor());
    emptyLabel_->setTextAlignment(NSTextAlignment::Center);
    emptyLabel_->setUserInteractionEnabled(false);
    auto picker = picker_.lock();
    emptyLabel_->setHidden(picker && !picker->assets().empty());
    root->addSubview(emptyLabel_);
    setView(root);
}

void ImagePickerGridController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    CGRect b = view()->bounds();
    collection_->setFrame(b);
    emptyLabel_->setFrame(b);
    // The grid keeps clear of the notch and the home indicator; its cells scroll under neither.
    UIEdgeInsets safe = view()->safeAreaInsets();
    CGFloat width = b.size.width - safe.left - safe.right;
    CGFloat scale = UIScreen::mainScreen()->nativeScale();
    // A new width (a turn, a larger screen) gives the grid new columns and square cells again; a
    // new density new thumbnails.
    if (width == laidOutWidth_ && scale == laidOutScale_ && safe.bottom == layout_->sectionInset.bottom) return;
    const bool resized = laidOutWidth_ >= 0 && (width != laidOutWidth_ || scale != laidOutScale_);
    laidOutWidth_ = width;
    laidOutScale_ = scale;
    auto columns = static_cast<CGFloat>(columnsForWidth(width));
    CGFloat side = std::floor((width - kSpacing * (columns - 1)) / columns * 2) / 2;
    layout_->itemSize = CGSize{std::max<CGFloat>(1, side), std::max<CGFloat>(1, side)};
    layout_->sectionInset = UIEdgeInsets{0, safe.left, safe.bottom, safe.right};
    collection_->setCollectionViewLayout(layout_);
    // The cells shown ask again for thumbnails of their new size.
    if (resized) collection_->reloadData();
}

std::size_t ImagePickerGridController::numberOfItemsInSection(UICollectionView&, std::size_t) {
    auto picker = picker_.lock();
    return picker ? picker->assets().size() : 0;
}

std::shared_ptr<UICollectionViewCell> ImagePickerGridController::cellForItemAtIndexPath(UICollectionView& view,
                                                                                        NSIndexPath path) {
    auto cell =
        std::dynamic_pointer_cast<ImagePickerCell>(view.dequeueReusableCellWithReuseIdentifier(kCellIdentifier, path));
    auto picker = picker_.lock();
    if (!cell || !picker || path.row >= picker->assets().size()) return cell;
    const auto& asset = picker->assets()[path.row];
    cell->localIdentifier = asset->localIdentifier();
    std::optional<double> video;
    if (asset->mediaType() == PHAssetMediaType::Video) video = asset->duration();
    // A thumbnail made before shows at once; only a missing one is asked for.
    auto kept =
        manager_->cachedImageForAsset(asset, thumbnailTarget(), PHImageContentMode::AspectFill, thumbnailOptions());
    cell->show(sized(kept), video);
    if (!kept && !isUnreadable(asset->localIdentifier())) requestThumbnail(asset);
    return cell;
}

void ImagePickerGridController::didSelectItemAtIndexPath(UICollectionView& view, NSIndexPath path) {
    view.deselectItemAtIndexPath(path, false);
    auto picker = picker_.lock();
    if (!picker || path.row >= picker->assets().size()) return;
    // A grey photo is tried again: the picker says why it cannot be opened (gone, or unreadable),
    // or picks it if it has become readable since its thumbnail failed.
    picker->pickAssetAtIndex(path.row);
}

void ImagePickerGridController::libraryDidChange(const PHFetchResultChangeDetails& details) {
    // What went is no longer waited for; what changed is read afresh (its new date asks the cache
    // for a new picture), even where the old file could not be read.
    for (const auto* assets : {&details.removedObjects(), &details.changedObjects()})
        for (const auto& asset : *assets) {
            const std::string& id = asset->localIdentifier();
            unreadable_.erase(id);
            auto request = requests_.find(id);
            if (request == requests_.end()) continue;
            manager_->cancelImageRequest(request->second);
            requests_.erase(request);
        }
    if (!collection_) return;  // not loaded: the first layout reads the picker's assets
    auto picker = picker_.lock();
    emptyLabel_->setHidden(picker && !picker->assets().empty());
    collection_->reloadData();
}

void ImagePickerGridController::didEndDisplayingCell(UICollectionView&, UICollectionViewCell& cell, NSIndexPath) {
    auto* shown = dynamic_cast<ImagePickerCell*>(&cell);
    if (!shown) return;
    // A thumbnail nobody waits for any more is not made.
    auto request = requests_.find(shown->localIdentifier);
    if (request == requests_.end()) return;
    manager_->cancelImageRequest(request->second);
    requests_.erase(request);
}

void ImagePickerGridController::requestThumbnail(const std::shared_ptr<PHAsset>& asset) {
    const std::string id = asset->localIdentifier();
    if (requests_.count(id)) return;
    std::weak_ptr<ImagePickerGridController> weak = self<ImagePickerGridController>();
    requests_[id] =
        manager_->requestImageForAsset(asset, thumbnailTarget(), PHImageContentMode::AspectFill, thumbnailOptions(),
                                       [weak, id](std::shared_ptr<UIImage> image, const ValueDictionary&) {
                                           auto me = weak.lock();
                                           if (!me) return;
                                           me->requests_.erase(id);
                                           if (!image) me->unreadable_.insert(id);
                                           me->showThumbnail(id, me->sized(std::move(image)));
                                       });
}

void ImagePickerGridController::showThumbnail(const std::string& id, const std::shared_ptr<UIImage>& image) {
    if (!collection_) return;
    for (const auto& c : collection_->visibleCells()) {
        auto cell = std::dynamic_pointer_cast<ImagePickerCell>(c);
        if (cell && cell->localIdentifier == id) cell->setThumbnail(image);
    }
}
