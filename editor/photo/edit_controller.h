// EditController: the photo editor. It applies a preset of the catalogue to one library photo,
// shows the filtered preview in a zoomable image view with the catalogue along the bottom, shows
// the photo's metadata, and saves the filtered photo at full size as a new library JPEG, after
// which the newest library photo flies into the save button.
//
// The photo's bytes are kept as they came from the library; the preview and thumbnail copies and
// the full-size source are decoded from them upright, away from the main thread, with the busy
// indicator showing until the copies are ready. The element and its records are used on the
// main thread only: a save builds its lazy recipe there and hands only that to its "save" queue,
// which renders and encodes it a strip at a time. Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "app/base/my_view_controller.h"
#include "editor/browser/edit_filter_host_view.h"
#include "editor/photo/edit_controller_delegate.h"
#include "editor/photo/edit_photo_loader.h"
#include "editor/photo/my_photos.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/control/ui_scroll_view.h"

class CIImage;
class FilterContext;
class FilterMyElement;
class PopExifView;
class UIButton;
class UIImageView;

class EditController : public MyViewController,
                       public AssetEditor,
                       public MyPhotosDelegate,
                       public FilterAttrDelegate,
                       public EditFilterHostViewDelegate,
                       public UIScrollViewDelegate {
public:
    KORVA_MAKE(EditController)

    static constexpr const char* kStoryboardIdentifier = "EditController";
    static constexpr const char* kNotAccessible = "UNABLE TO EDIT. SELECTED MEDIA IS NOT ACCESSIBLE";
    static constexpr const char* kNoFilter = "NO FILTER SELECTED";
    static constexpr const char* kNotSaved = "UNABLE TO SAVE THE PHOTO";
    static constexpr const char* kSaveQueue = "save";
    static constexpr const char* kLoadQueue = "load";

    // Set by the opener before the screen is shown.
    void setDelegate(std::weak_ptr<EditControllerDelegate> delegate) override { delegate_ = std::move(delegate); }
    void setAsset(std::shared_ptr<PHAsset> asset) override { asset_ = std::move(asset); }

    // The screen's own rendering context, made on first use.
    const std::shared_ptr<FilterContext>& context();
    // The serial queue the photo is read and decoded on, made on first use.
    const dispatch_queue_t& loadQueue();
    const std::shared_ptr<PopExifView>& exifView();

    bool isAdEnabled() const override { return true; }
    bool shouldAutorotate() const override { return true; }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    bool prefersStatusBarHidden() const override { return false; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void didRotateOrResizeInterface() override;
    void updateView() override;
    Value tutorialGetDictionary() override;

    // The catalogue host.
    std::shared_ptr<CIImage> onFilterSourceGetImage() override { return imageFilter_; }
    std::shared_ptr<FilterContext> onFilterSourceGetContext() override { return context(); }
    void onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) override;
    void onFilterAttrBeforeInitialize(const std::string&, const std::string&, const Value&) override {}
    void onEditFilterHostViewFilterSelected(EditFilterHostView& panel,
                                            const std::shared_ptr<FilterPersistElement>& element) override;
    void onMyPhotosChanged(MyPhotos& photos) override;
    // A web image of the filter description landed: the preview is filtered again to show it.
    void onWebImageArrived(const std::shared_ptr<NSNotification>& notification);

    // Actions.
    void onDone();
    void done();
    void onInfo(const std::shared_ptr<NSObject>& sender);
    void onSave();
    void onImageLongPress(UIGestureRecognizer& recognizer);
    void onImageSwipeDown(UIGestureRecognizer& recognizer);
    void onImageDoubleTap(UIGestureRecognizer& recognizer);

    // Zooming the preview.
    std::shared_ptr<UIView> viewForZoomingInScrollView(UIScrollView&) override;
    void scrollViewWillBeginZooming(UIScrollView&, const std::shared_ptr<UIView>&) override;
    void scrollViewDidEndZooming(UIScrollView&, const std::shared_ptr<UIView>&, CGFloat scale) override;

    // Renders the preview: the unfiltered photo when asked or without a filter.
    void updateResult(bool showUnfiltered);
    void updateFilterView();
    void updateScrollViewLayout(bool zooming);
    void updateImageViewLayout();
    // The saved photo flying from the preview into the save button.
    void showResultImage(const std::shared_ptr<UIImage>& image);

    const std::shared_ptr<PHAsset>& asset() const { return asset_; }
    const std::shared_ptr<MyPhotos>& photos() const { return photos_; }
    const std::shared_ptr<FilterMyElement>& currentElement() const { return currentElement_; }
    const std::optional<Bytes>& data() const { return data_; }
    CGSize imageSize() const { return imageSize_; }
    const std::shared_ptr<CIImage>& imageBuffer() const { return imageBuffer_; }
    const std::shared_ptr<CIImage>& imageFilter() const { return imageFilter_; }
    const std::shared_ptr<UIView>& ui() const { return ui_; }
    const std::shared_ptr<EditFilterHostView>& filterView() const { return filterView_; }
    const std::shared_ptr<UIScrollView>& scrollView() const { return scrollView_; }
    const std::shared_ptr<UIImageView>& imageView() const { return imageView_; }
    const std::shared_ptr<UIButton>& btnDone() const { return btnDone_; }
    const std::shared_ptr<UIButton>& btnInfo() const { return btnInfo_; }
    const std::shared_ptr<UIButton>& btnSave() const { return btnSave_; }
    bool actShowResultImage() const { return actShowResultImage_; }
    // Whether a save is being rendered or written.
    bool isSaving() const { return saving_; }
    // Whether the photo is being read and decoded (the busy indicator shows meanwhile).
    bool isLoading() const { return loading_; }

    std::string className() const override { return "EditController"; }

protected:
    EditController() = default;

private:
    void buildButtons();
    void loadPhoto();
    // Takes the photo's bytes as they came and the copies decoded from them.
    void finishLoading(std::optional<Bytes> data, Result<EditPhotoCopies> copies);
    void failLoading(const std::string& why);
    void leaveUnreadable();
    // A save's news on the main queue, for the editor if it is still there: the photo rendered and
    // on its way to the library, or why it was not saved (logged either way).
    static void saveRendered(const std::weak_ptr<EditController>& weak);
    static void saveFailed(const std::weak_ptr<EditController>& weak, const std::string& why);

    std::weak_ptr<EditControllerDelegate> delegate_;
    std::shared_ptr<PHAsset> asset_;
    std::shared_ptr<FilterContext> context_;
    dispatch_queue_t loadQueue_;
    std::shared_ptr<MyPhotos> photos_;
    std::shared_ptr<UIView> ui_;
    std::shared_ptr<EditFilterHostView> filterView_;
    std::shared_ptr<FilterMyElement> currentElement_;
    std::optional<Bytes> data_;
    CGSize imageSize_{};
    std::shared_ptr<UIScrollView> scrollView_;
    std::shared_ptr<UIImageView> imageView_;
    std::shared_ptr<CIImage> imageBuffer_, imageFilter_;
    std::shared_ptr<UIButton> btnDone_, btnInfo_, btnSave_;
    std::shared_ptr<PopExifView> exifView_;
    bool actShowResultImage_ = false;
    bool saving_ = false;
    bool loading_ = false;
    bool zooming_ = false;
    float scrollViewTop_ = 50, scrollViewBottom_ = 0;
};
