// Photo library access for a screen: authorisation, the fetch, change observation and the asset
// operations.
#include "editor/photo/my_photos.h"

#include "app/base/my_view_controller.h"
#include "editor/photo/ph_fetch_result_custom.h"
#include "platform/dispatch/queue.h"
#include "platform/image/ci_image.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_content_editing_input.h"
#include "platform/photos/ph_fetch_result_change_details.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/runtime/log.h"
#include "platform/ui/controller/ph_caching_image_manager.h"
#include "platform/ui/draw/image.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controller/view_controller_presentation.h"
#include "ui/popup/hud_view.h"

namespace {
constexpr const char* kLog = "photos";
}

std::shared_ptr<MyPhotos> MyPhotos::initWithDelegate(const std::weak_ptr<MyPhotosDelegate>& delegate) {
    auto photos = MyPhotos::make();
    photos->delegate_ = delegate;
    photos->authPhotosInitial();
    return photos;
}

void MyPhotos::viewWillAppear(const std::shared_ptr<MyViewController>& screen) {
    lastVC_ = screen;
    authPhotosUpdate();
    if (!observing_) {
        PHPhotoLibrary::sharedPhotoLibrary()->registerChangeObserver(self<MyPhotos>());
        observing_ = true;
    }
}

void MyPhotos::viewDidDisappear() {
    PHPhotoLibrary::sharedPhotoLibrary()->unregisterChangeObserver(self<MyPhotos>());
    observing_ = false;
}

void MyPhotos::authPhotosInitial() {
    if (PHPhotoLibrary::authorizationStatus() != PHAuthorizationStatus::NotDetermined) {
        authPhotosUpdate();
        return;
    }
    std::weak_ptr<MyPhotos> weak = self<MyPhotos>();
    PHPhotoLibrary::requestAuthorization([weak](PHAuthorizationStatus status) {
        dispatch_async(dispatch_get_main_queue(), [weak, status] {
            auto me = weak.lock();
            if (!me) return;
            if (status == PHAuthorizationStatus::Authorized)
                me->authChanged();
            else
                me->showAuthorizationAlert();
        });
    });
}

void MyPhotos::authPhotosUpdate() {
    switch (PHPhotoLibrary::authorizationStatus()) {
        case PHAuthorizationStatus::Restricted:
        case PHAuthorizationStatus::Denied:
            authChanged();
            showAuthorizationAlert();
            break;
        case PHAuthorizationStatus::Authorized: authChanged(); break;
        case PHAuthorizationStatus::NotDetermined:
        case PHAuthorizationStatus::Limited: break;
    }
}

void MyPhotos::authChanged() {
    manager_ = PHCachingImageManager::make();
    fetch_ = PHAsset::fetchAssetsWithOptions(nullptr);
    if (auto d = delegate_.lock()) d->onMyPhotosChanged(*this);
}

void MyPhotos::showAuthorizationAlert() {
    auto vc = lastVC_.lock();
    if (!vc) {
        Log::info(kLog, "photo library not authorized; no screen to say so yet");
        return;
    }
    alert(vc, kAuthorizationAlert, [] { openDeviceSettings(); });
}

std::size_t MyPhotos::count() const {
    return fetch_ ? fetch_->count() : 0;
}

std::shared_ptr<PHAsset> MyPhotos::atAscending(std::size_t index) const {
    return fetch_ ? ::atAscending(*fetch_, index) : nullptr;
}

void MyPhotos::getImage(const std::shared_ptr<PHAsset>& asset, ImageBlock completion) {
    if (!completion) return;
    PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
        asset, PHImageRequestOptions{},
        [completion = std::move(completion)](std::optional<Bytes> data, const std::string&, int,
                                             const ValueDictionary&) {
            completion(data ? UIImage::imageWithData(*data) : nullptr);
        });
}

void MyPhotos::getThumbImage(const std::shared_ptr<PHAsset>& asset, CGSize size, ImageBlock completion) {
    if (!completion) return;
    if (!manager_) manager_ = PHCachingImageManager::make();
    // The manager answers on the main queue already.
    manager_->requestImageForAsset(asset, size, PHImageContentMode::AspectFill, PHImageSizedRequestOptions{},
                                   [completion = std::move(completion)](std::shared_ptr<UIImage> image,
                                                                        const ValueDictionary&) { completion(image); });
}

void MyPhotos::getProperty(const std::shared_ptr<PHAsset>& asset, std::function<void(const Value&)> completion) {
    if (!completion) return;
    if (!asset) {
        dispatch_async(dispatch_get_main_queue(), [completion] { completion(Value::dictionary()); });
        return;
    }
    PHContentEditingInputRequestOptions options;
    options.networkAccessAllowed = true;
    asset->requestContentEditingInputWithOptions(options, [completion](std::shared_ptr<PHContentEditingInput> input,
                                                                       const ValueDictionary&) {
        std::shared_ptr<CIImage> image = input ? CIImage::imageWithContentsOfURL(input->fullSizeImageURL()) : nullptr;
        if (!image) Log::warning(kLog, "no properties: the photo's file cannot be read");
        completion(image && image->properties().isDictionary() ? image->properties() : Value::dictionary());
    });
}

void MyPhotos::deleteAssets(const std::vector<std::shared_ptr<PHAsset>>& assets, std::function<void(bool)> completion) {
    PHPhotoLibrary::sharedPhotoLibrary()->performChanges(
        [assets] { PHAssetChangeRequest::deleteAssets(assets); },
        [completion = std::move(completion)](bool success, const std::shared_ptr<NSError>&) {
            if (!completion) return;
            dispatch_async(dispatch_get_main_queue(), [completion, success] { completion(success); });
        });
}

void MyPhotos::deleteAsset(const std::shared_ptr<PHAsset>& asset, std::function<void(bool)> completion) {
    deleteAssets({asset}, std::move(completion));
}

void MyPhotos::picker(ImageBlock completion) {
    auto vc = lastVC_.lock();
    if (!vc) return;
    auto p = UIImagePickerController::make();
    p->setSourceType(UIImagePickerControllerSourceType::PhotoLibrary);
    p->setPickerDelegate(self<MyPhotos>());
    onPicker_ = std::move(completion);
    present(
        vc, p, [] {}, true);
}

void MyPhotos::didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary& info) {
    auto vc = lastVC_.lock();
    const Value* url = info.find(UIImagePickerControllerReferenceURL);
    std::string reference = url && url->isString() ? url->stringValue() : std::string();
    if (!vc) {
        finishPicking(reference);
        return;
    }
    vc->hudView()->show();
    std::weak_ptr<MyPhotos> weak = self<MyPhotos>();
    std::weak_ptr<MyViewController> weakVC = vc;
    dismiss(
        vc,
        [weak, weakVC, reference] {
            if (auto screen = weakVC.lock()) screen->hudView()->hide();
            if (auto me = weak.lock()) me->finishPicking(reference);
        },
        false);
}

void MyPhotos::finishPicking(const std::string& referenceURL) {
    auto block = std::move(onPicker_);
    onPicker_ = nullptr;
    if (!block) return;
    auto id = assetIdentifierFromReferenceURL(referenceURL);
    auto found = id ? PHAsset::fetchAssetsWithLocalIdentifiers({*id}) : nullptr;
    auto asset = found ? found->firstObject() : nullptr;
    if (!asset) {
        Log::warning(kLog, "the picked item is no longer in the library");
        block(nullptr);
        return;
    }
    getImage(asset, std::move(block));
}

void MyPhotos::imagePickerControllerDidCancel(UIImagePickerController&) {
    onPicker_ = nullptr;
    if (auto vc = lastVC_.lock())
        dismiss(
            vc, [] {}, true);
}

void MyPhotos::photoLibraryDidChange(const std::shared_ptr<PHChange>& change) {
    auto details = change ? change->changeDetailsForFetchResult(fetch_) : nullptr;
    if (!details) return;
    std::weak_ptr<MyPhotos> weak = self<MyPhotos>();
    dispatch_async(dispatch_get_main_queue(), [weak, details] {
        auto me = weak.lock();
        if (!me) return;
        me->fetch_ = details->fetchResultAfterChanges();
        if (auto d = me->delegate_.lock()) d->onMyPhotosChanged(*me);
    });
}
