// The image picker over the photo library (its grid) or the host's camera.
#include "platform/ui/controller/ui_image_picker_controller.h"

#include <algorithm>
#include <filesystem>

#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/queue.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_fetch_result_change_details.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/log.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/controller/image_picker_camera_controller.h"
#include "platform/ui/controller/image_picker_grid_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"

namespace {

constexpr const char* kReferencePrefix = "korva-photos://asset/";

// The photos and videos of a fetch, as the picker offers them.
std::vector<std::shared_ptr<PHAsset>> offered(const PHFetchResult& result) {
    std::vector<std::shared_ptr<PHAsset>> assets;
    for (const auto& a : result.assets())
        if (a->mediaType() == PHAssetMediaType::Image || a->mediaType() == PHAssetMediaType::Video) assets.push_back(a);
    return assets;
}

bool fileIsGone(const PHAsset& asset) {
    std::error_code error;
    return !std::filesystem::exists(asset.filePath(), error) && !error;
}

}  // namespace

std::string imagePickerReferenceURL(const std::string& id) {
    return kReferencePrefix + id;
}

std::optional<std::string> assetIdentifierFromReferenceURL(const std::string& url) {
    std::string prefix = kReferencePrefix;
    if (url.size() <= prefix.size() || url.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return url.substr(prefix.size());
}

void UIImagePickerController::init() {
    UINavigationController::init();
    showSourceScreen();
}

void UIImagePickerController::showSourceScreen() {
    std::weak_ptr<UIImagePickerController> weak = self<UIImagePickerController>();
    std::shared_ptr<UIViewController> screen;
    if (source_ == UIImagePickerControllerSourceType::Camera) {
        auto camera = ImagePickerCameraController::make();
        camera->setPicker(weak);
        camera->setTitle("Camera");
        screen = camera;
    } else {
        auto grid = ImagePickerGridController::make();
        grid->setPicker(weak);
        grid->setTitle("Photos");
        screen = grid;
    }
    screen->navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Cancel, [weak](UIBarButtonItem&) {
            if (auto p = weak.lock()) p->cancel();
        }));
    setViewControllers({screen}, false);
    // The camera's own bar holds its buttons; its picture fills the screen.
    setNavigationBarHidden(source_ == UIImagePickerControllerSourceType::Camera);
}

bool UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType type) {
    if (type != UIImagePickerControllerSourceType::Camera) return true;
    return !AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty();
}

bool UIImagePickerController::setSourceType(UIImagePickerControllerSourceType type) {
    if (!isSourceTypeAvailable(type)) return false;
    if (type == source_) return true;
    source_ = type;
    showSourceScreen();
    return true;
}

const std::vector<std::shared_ptr<PHAsset>>& UIImagePickerController::assets() {
    if (!fetched_) {
        fetched_ = true;
        auto options = PHFetchOptions::make();
        options->sortDescriptors = {{"creationDate", false}};
        // Videos only when the caller takes movies too.
        bool movies = std::find(mediaTypes_.begin(), mediaTypes_.end(), kUTTypeMovie) != mediaTypes_.end();
        bool images = std::find(mediaTypes_.begin(), mediaTypes_.end(), kUTTypeImage) != mediaTypes_.end();
        if (!movies)
            options->mediaType = PHAssetMediaType::Image;
        else if (!images)
            options->mediaType = PHAssetMediaType::Video;
        fetch_ = PHAsset::fetchAssetsWithOptions(options);
        if (fetch_) assets_ = offered(*fetch_);
    }
    return assets_;
}

void UIImagePickerController::viewWillAppear(bool animated) {
    UINavigationController::viewWillAppear(animated);
    if (source_ == UIImagePickerControllerSourceType::Camera || observed_.lock()) return;
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    library->registerChangeObserver(self<UIImagePickerController>());
    observed_ = library;
}

void UIImagePickerController::viewDidDisappear(bool animated) {
    UINavigationController::viewDidDisappear(animated);
    if (auto library = observed_.lock()) library->unregisterChangeObserver(self<UIImagePickerController>());
    observed_.reset();
}

void UIImagePickerController::photoLibraryDidChange(const std::shared_ptr<PHChange>& change) {
    // Not fetched yet: the first look fetches what is there then.
    if (!fetched_ || !fetch_ || !change) return;
    auto details = change->changeDetailsForFetchResult(fetch_);
    if (!details) return;
    fetch_ = details->fetchResultAfterChanges();
    assets_ = offered(*fetch_);
    if (viewControllers().empty()) return;
    if (auto grid = std::dynamic_pointer_cast<ImagePickerGridController>(viewControllers().front()))
        grid->libraryDidChange(*details);
}

void UIImagePickerController::sayCannotOpen(const char* why) {
    if (presentedViewController()) return;
    const std::string heading = viewControllers().empty() ? title() : viewControllers().front()->title();
    auto alert = UIAlertController::make(heading, why, UIAlertControllerStyle::Alert);
    // Choosing the action takes the alert away; the library's notice takes the cell.
    alert->addAction(UIAlertAction::make("OK", UIAlertActionStyle::Default, nullptr));
    presentViewController(alert, true);
}

void UIImagePickerController::deliver(const ValueDictionary& info) {
    auto keep = self<UIImagePickerController>();
    if (auto d = pickerDelegate())
        d->didFinishPickingMediaWithInfo(*this, info);
    else
        dismissViewControllerAnimated(true);
}

bool UIImagePickerController::pickAssetAtIndex(std::size_t index) {
    if (finished_ || picking_ || source_ == UIImagePickerControllerSourceType::Camera) return false;
    const auto& list = assets();
    if (index >= list.size()) return false;
    auto asset = list[index];
    std::weak_ptr<UIImagePickerController> weak = self<UIImagePickerController>();
    if (fileIsGone(*asset)) {
        Log::warning("photos", "the picked photo's file is gone: " + asset->filePath());
        sayCannotOpen(kPhotoGone);
        return false;
    }
    if (asset->mediaType() == PHAssetMediaType::Video) {
        finished_ = true;
        ValueDictionary info;
        info.set(UIImagePickerControllerMediaType, Value(kUTTypeMovie));
        info.set(UIImagePickerControllerReferenceURL, Value(imagePickerReferenceURL(asset->localIdentifier())));
        info.set(UIImagePickerControllerPHAsset, Value(asset->localIdentifier()));
        info.set(UIImagePickerControllerMediaURL, Value("file://" + asset->filePath()));
        deliver(info);
        return true;
    }
    setPicking(true);
    // Read and decoded away from the main thread, which shows the busy indicator meanwhile.
    PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
        asset, PHImageRequestOptions{},
        [weak, asset](std::optional<Bytes> data, const std::string&, int, const ValueDictionary&) {
            auto bytes = std::make_shared<std::optional<Bytes>>(std::move(data));
            dispatch_get_global_queue()->async([weak, asset, bytes] {
                std::shared_ptr<UIImage> image = *bytes ? UIImage::imageWithData(**bytes) : nullptr;
                bytes->reset();
                dispatch_async(dispatch_get_main_queue(), [weak, asset, image] {
                    if (auto me = weak.lock()) me->finishPick(asset, image);
                });
            });
        });
    return true;
}

void UIImagePickerController::setPicking(bool picking) {
    picking_ = picking;
    if (picking && !busy_) {
        busy_ = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::Large);
        busy_->setHidesWhenStopped(true);
    }
    if (!busy_) return;
    if (picking) {
        CGRect b = view()->bounds();
        busy_->setCenter(CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)));
        view()->addSubview(busy_);
        busy_->startAnimating();
    } else {
        busy_->stopAnimating();
        busy_->removeFromSuperview();
    }
}

void UIImagePickerController::finishPick(const std::shared_ptr<PHAsset>& asset, const std::shared_ptr<UIImage>& image) {
    setPicking(false);
    // A photo that cannot be read is not picked: the alert says so, the grid stays for another choice.
    if (!image && fileIsGone(*asset)) {
        Log::warning("photos", "the picked photo's file is gone: " + asset->filePath());
        sayCannotOpen(kPhotoGone);
        return;
    }
    if (!image) {
        Log::warning("photos", "the picked photo cannot be read: " + asset->filePath());
        sayCannotOpen(kPhotoUnreadable);
        return;
    }
    if (finished_) return;
    finished_ = true;
    ValueDictionary info;
    info.set(UIImagePickerControllerMediaType, Value(kUTTypeImage));
    info.set(UIImagePickerControllerReferenceURL, Value(imagePickerReferenceURL(asset->localIdentifier())));
    info.set(UIImagePickerControllerPHAsset, Value(asset->localIdentifier()));
    info.set(UIImagePickerControllerOriginalImage, Value(image));
    deliver(info);
}

bool UIImagePickerController::takePicture() {
    if (finished_ || source_ != UIImagePickerControllerSourceType::Camera || viewControllers().empty()) return false;
    auto camera = std::dynamic_pointer_cast<ImagePickerCameraController>(viewControllers().front());
    return camera && camera->takePhoto();
}

void UIImagePickerController::didTakePicture(std::shared_ptr<UIImage> image) {
    if (finished_ || !image) return;
    finished_ = true;
    ValueDictionary info;
    info.set(UIImagePickerControllerMediaType, Value(kUTTypeImage));
    info.set(UIImagePickerControllerOriginalImage, Value(std::move(image)));
    deliver(info);
}

void UIImagePickerController::cancel() {
    if (finished_) return;
    finished_ = true;
    auto keep = self<UIImagePickerController>();
    if (auto d = pickerDelegate())
        d->imagePickerControllerDidCancel(*this);
    else
        dismissViewControllerAnimated(true);
}
