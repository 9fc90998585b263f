// The image picker's library screen: the picker's assets as a grid of square thumbnails, newest
// first, in the platform's collection view. Thumbnails are made off the main thread by the
// caching image manager at the cells' own pixel size (as the host draws them), so that drawing one
// scales and converts nothing; they are kept in the manager's shared cache and given again to a
// cell that scrolls back, and a cell scrolled away cancels what it asked for. An asset whose file
// cannot be read or decoded stays a grey cell, and so does one whose file has gone, until the
// library's notice takes the cell away; a tap on either has the picker say why it cannot open it. The
// library's changes add, remove and redraw cells. Videos carry their length in a corner. An empty
// library shows "No Photos". A tap asks the picker to pick the asset. Main thread only.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/ui/controller/ph_caching_image_manager.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/table/ui_collection_view.h"

class PHFetchResultChangeDetails;
class UIImagePickerController;
class UILabel;

class ImagePickerGridController : public UIViewController,
                                  public UICollectionViewDataSource,
                                  public UICollectionViewDelegate {
public:
    KORVA_MAKE(ImagePickerGridController)
    // Thumbnails still asked for are not made once the screen is gone.
    ~ImagePickerGridController() override;

    // Thumbnails per line: at least four, more as the screen widens; one point between them.
    static constexpr CGFloat kTargetCell = 96;
    static constexpr CGFloat kSpacing = 1;
    static constexpr std::size_t kMinimumColumns = 4;
    // The columns for a grid of the given width.
    static std::size_t columnsForWidth(CGFloat width);

    void setPicker(const std::weak_ptr<UIImagePickerController>& picker) { picker_ = picker; }

    const std::shared_ptr<UICollectionView>& collectionView() const { return collection_; }
    const std::shared_ptr<UILabel>& emptyLabel() const { return emptyLabel_; }
    // The thumbnail made for an asset at the grid's cell size (none while loading or when it
    // could not be made).
    std::shared_ptr<UIImage> thumbnailFor(const std::string& localIdentifier) const;
    // The pixels of a thumbnail (one side of its square).
    CGFloat thumbnailPixels() const;
    // Whether the asset's thumbnail could not be made (its cell stays grey).
    bool isUnreadable(const std::string& localIdentifier) const { return unreadable_.count(localIdentifier) > 0; }

    // The picker's assets changed so: cells come, go and are drawn again (once for the lot).
    void libraryDidChange(const PHFetchResultChangeDetails& details);

    void loadView() override;
    void viewDidLayoutSubviews() override;

    std::size_t numberOfItemsInSection(UICollectionView&, std::size_t) override;
    std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView&, NSIndexPath path) override;
    void didSelectItemAtIndexPath(UICollectionView&, NSIndexPath path) override;
    void didEndDisplayingCell(UICollectionView&, UICollectionViewCell& cell, NSIndexPath path) override;

    std::string className() const override { return "ImagePickerGridController"; }

protected:
    ImagePickerGridController() = default;

private:
    PHImageSizedRequestOptions thumbnailOptions() const;
    CGSize thumbnailTarget() const;
    std::shared_ptr<UIImage> sized(std::shared_ptr<UIImage> thumbnail) const;
    void requestThumbnail(const std::shared_ptr<PHAsset>& asset);
    void showThumbnail(const std::string& localIdentifier, const std::shared_ptr<UIImage>& image);

    std::weak_ptr<UIImagePickerController> picker_;
    std::shared_ptr<UICollectionView> collection_;
    std::shared_ptr<UICollectionViewFlowLayout> layout_;
    std::shared_ptr<UILabel> emptyLabel_;
    std::shared_ptr<PHCachingImageManager> manager_;
    // Requests under way, by asset; each is cancelled when no cell shows its asset any more.
    std::map<std::string, PHImageRequestID> requests_;
    std::set<std::string> unreadable_;
    CGFloat laidOutWidth_ = -1, laidOutScale_ = -1;
};
