// The image picker over the photo library (its grid) or the configured camera.
#include "platform/ui/controller/ui_image_picker_controller.h"

#include <algorithm>
#include <filesystem>

#include "platform/dispatch/queue.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/controller/image_picker_grid_controller.h"
#include "platform/ui/controller/stand_in_panel_view.h"
#include "platform/runtime/log.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/draw/graphics.h"

namespace {
constexpr const char* kReferencePrefix = "korva-photos://asset/";
bool& cameraAvailable() {
    static bool available = false;
    return available;
}

// The camera source: a panel whose button "takes" a generated picture.
class PickerCameraController : public UIViewController {
public:
    KORVA_MAKE(PickerCameraController)
    std::weak_ptr<UIImagePickerController> picker;
    void loadView() override {
        auto panel = StandInPanelView::make(UIScreen::mainScreen()->bounds());
        panel->setTitle("Camera");
        panel->setButtons({"Cancel", "Take Photo"});
        std::weak_ptr<UIImagePickerController> weak = picker;
        panel->setOnButton([weak](std::size_t i) {
            auto p = weak.lock();
            if (!p) return;
            if (i == 0) p->cancel();
            else p->takePicture();
        });
        setView(panel);
    }

protected:
    PickerCameraController() = default;
};
}  // namespace

std::string imagePickerReferenceURL(const std::string& id) { return kReferencePrefix + id; }

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
        auto camera = PickerCameraController::make();
        camera->picker = weak;
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
}

bool UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType type) {
    return type == UIImagePickerControllerSourceType::Camera ? cameraAvailable() : true;
}

void UIImagePickerController::setCameraAvailable(bool available) { cameraAvailable() = available; }

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
        if (!movies) options->mediaType = PHAssetMediaType::Image;
        else if (!images) options->mediaType = PHAssetMediaType::Video;
        if (auto result = PHAsset::fetchAssetsWithOptions(options)) {
            for (const auto& a : result->assets())
                if (a->mediaType() == PHAssetMediaType::Image || a->mediaType() == PHAssetMediaType::Video)
                    assets_.push_back(a);
        }
    }
    return assets_;
}

void UIImagePickerController::deliver(const ValueDictionary& info) {
    auto keep = self<UIImagePickerController>();
    if (auto d = pickerDelegate()) d->didFinishPickingMediaWithInfo(*this, info);
    else dismissViewControllerAnimated(true);
}

bool UIImagePickerController::pickAssetAtIndex(std::size_t index) {
    if (finished_ || picking_ || source_ == UIImagePickerControllerSourceType::Camera) return false;
    const auto& list = assets();
    if (index >= list.size()) return false;
    auto asset = list[index];
    std::weak_ptr<UIImagePickerController> weak = self<UIImagePickerController>();
    if (asset->mediaType() == PHAssetMediaType::Video) {
        if (!std::filesystem::exists(asset->filePath())) {
            Log::warning("photos", "the picked video's file is gone: " + asset->filePath());
            return false;
        }
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
    // A photo that cannot be read is not picked: the grid stays for another choice.
    if (!image) {
        Log::warning("photos", "the picked photo cannot be read: " + asset->filePath());
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

bool UIImagePickerController::takePicture(CGSize size) {
    if (finished_ || source_ != UIImagePickerControllerSourceType::Camera || size.width < 1 || size.height < 1)
        return false;
    finished_ = true;
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    if (auto* ctx = UIGraphicsGetCurrentContext()) {
        ctx->setFillColorWithColor(CGColor::rgb(0.35, 0.45, 0.55, 1));
        UIRectFill(CGRectMake(0, 0, size.width, size.height));
        ctx->setFillColorWithColor(CGColor::rgb(0.9, 0.8, 0.4, 1));
        ctx->addEllipseInRect(CGRectMake(size.width * 0.35, size.height * 0.3, size.width * 0.3, size.width * 0.3));
        ctx->fillPath();
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ValueDictionary info;
    info.set(UIImagePickerControllerMediaType, Value(kUTTypeImage));
    if (image) info.set(UIImagePickerControllerOriginalImage, Value(image));
    deliver(info);
    return true;
}

void UIImagePickerController::cancel() {
    if (finished_) return;
    finished_ = true;
    auto keep = self<UIImagePickerController>();
    if (auto d = pickerDelegate()) d->imagePickerControllerDidCancel(*this);
    else dismissViewControllerAnimated(true);
}
