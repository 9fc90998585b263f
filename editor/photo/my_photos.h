// MyPhotos: a screen's access to the photo library. It checks and asks for authorisation, keeps a
// fetch of every asset with a caching image manager, tells its delegate after authorisation and
// after each change that touches the fetch (only while the screen is visible), and offers image,
// thumbnail, property, deletion and picker operations. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"
#include "platform/ui/controller/ui_image_picker_controller.h"

class MyPhotos;
class MyViewController;
class PHCachingImageManager;
class PHFetchResult;
class UIImage;

class MyPhotosDelegate {
public:
    virtual ~MyPhotosDelegate() = default;
    virtual void onMyPhotosChanged(MyPhotos& photos) = 0;
};

class MyPhotos : public NSObject, public PHPhotoLibraryChangeObserver, public UIImagePickerControllerDelegate {
public:
    KORVA_MAKE(MyPhotos)
    using ImageBlock = std::function<void(std::shared_ptr<UIImage>)>;

    static constexpr const char* kAuthorizationAlert = "Photos Authorization Required";

    // Stores the delegate and starts the first authorisation check. An alert due now has no
    // screen to show on; the check when the screen appears repeats it.
    static std::shared_ptr<MyPhotos> initWithDelegate(const std::weak_ptr<MyPhotosDelegate>& delegate);

    // The owning screen is about to appear: it shows alerts, pickers and the HUD from now on;
    // authorisation is checked again and library changes are observed until viewDidDisappear.
    void viewWillAppear(const std::shared_ptr<MyViewController>& screen);
    void viewDidDisappear();

    std::size_t count() const;
    std::shared_ptr<PHAsset> atAscending(std::size_t index) const;

    // The asset's full image (none without data), in the image manager's handler.
    void getImage(const std::shared_ptr<PHAsset>& asset, ImageBlock completion);
    // Aspect-filled pictures of the target size on the main queue; possibly more than one.
    void getThumbImage(const std::shared_ptr<PHAsset>& asset, CGSize size, ImageBlock completion);
    // The image properties of the asset's full-size file on the main queue (an empty dictionary
    // when the file is gone).
    void getProperty(const std::shared_ptr<PHAsset>& asset, std::function<void(const Value&)> completion);
    // One change deleting the assets; the block gets whether it succeeded, on the main queue.
    void deleteAssets(const std::vector<std::shared_ptr<PHAsset>>& assets, std::function<void(bool)> completion);
    void deleteAsset(const std::shared_ptr<PHAsset>& asset, std::function<void(bool)> completion);
    // A library picker on the screen; the block gets the picked image, or none when the picked
    // item is no longer in the library.
    void picker(ImageBlock completion);

    const std::shared_ptr<PHFetchResult>& fetch() const { return fetch_; }
    const std::shared_ptr<PHCachingImageManager>& manager() const { return manager_; }
    std::shared_ptr<MyViewController> lastVC() const { return lastVC_.lock(); }
    bool isObserving() const { return observing_; }

    void photoLibraryDidChange(const std::shared_ptr<PHChange>& change) override;
    void didFinishPickingMediaWithInfo(UIImagePickerController& picker, const ValueDictionary& info) override;
    void imagePickerControllerDidCancel(UIImagePickerController& picker) override;

    std::string className() const override { return "MyPhotos"; }

protected:
    MyPhotos() = default;

private:
    void authPhotosInitial();
    void authPhotosUpdate();
    void authChanged();
    void showAuthorizationAlert();
    void finishPicking(const std::string& referenceURL);

    std::weak_ptr<MyPhotosDelegate> delegate_;
    std::shared_ptr<PHCachingImageManager> manager_;
    std::shared_ptr<PHFetchResult> fetch_;
    std::weak_ptr<MyViewController> lastVC_;
    ImageBlock onPicker_;
    bool observing_ = false;
};
