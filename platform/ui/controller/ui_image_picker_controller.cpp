// Image picker stand-in over the photo library.
#include "platform/ui/controller/ui_image_picker_controller.h"

#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/controller/stand_in_panel_view.h"
#include "platform/ui/draw/graphics.h"

namespace {
constexpr const char* kReferencePrefix = "korva-photos://asset/";
bool& cameraAvailable() {
    static bool available = false;
    return available;
}

// The grid of library images: one line per asset, tapped by index.
class PickerGridController : public UIViewController {
public:
    KORVA_MAKE(PickerGridController)
    std::weak_ptr<UIImagePickerController> picker;
    void loadView() override {
        auto panel = StandInPanelView::make(UIScreen::mainScreen()->bounds());
        auto p = picker.lock();
        std::vector<std::string> lines;
        if (p) {
            if (p->sourceType() == UIImagePickerControllerSourceType::Camera) {
                lines.push_back("Camera");
            } else {
                for (const auto& a : p->assets())
                    lines.push_back(a->localIdentifier() + "  " + std::to_string(a->pixelWidth()) + "\u00D7" +
                                    std::to_string(a->pixelHeight()));
                if (lines.empty()) lines.push_back("No Photos");
            }
        }
        panel->setTitle("Photos");
        panel->setLines(lines);
        bool camera = p && p->sourceType() == UIImagePickerControllerSourceType::Camera;
        panel->setButtons(camera ? std::vector<std::string>{"Cancel", "Take Photo"} : std::vector<std::string>{"Cancel"});
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
    PickerGridController() = default;
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
    auto grid = PickerGridController::make();
    grid->picker = self<UIImagePickerController>();
    grid->setTitle("Photos");
    setViewControllers({grid}, false);
}

bool UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType type) {
    return type == UIImagePickerControllerSourceType::Camera ? cameraAvailable() : true;
}

void UIImagePickerController::setCameraAvailable(bool available) { cameraAvailable() = available; }

bool UIImagePickerController::setSourceType(UIImagePickerControllerSourceType type) {
    if (!isSourceTypeAvailable(type)) return false;
    source_ = type;
    return true;
}

const std::vector<std::shared_ptr<PHAsset>>& UIImagePickerController::assets() {
    if (!fetched_) {
        fetched_ = true;
        auto options = PHFetchOptions::make();
        options->sortDescriptors = {{"creationDate", false}};
        if (auto result = PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image, options)) assets_ = result->assets();
    }
    return assets_;
}

void UIImagePickerController::deliver(const ValueDictionary& info) {
    auto keep = self<UIImagePickerController>();
    if (auto d = pickerDelegate()) d->didFinishPickingMediaWithInfo(*this, info);
    else dismissViewControllerAnimated(true);
}

bool UIImagePickerController::pickAssetAtIndex(std::size_t index) {
    if (finished_ || source_ == UIImagePickerControllerSourceType::Camera) return false;
    const auto& list = assets();
    if (index >= list.size()) return false;
    finished_ = true;
    auto asset = list[index];
    std::weak_ptr<UIImagePickerController> weak = self<UIImagePickerController>();
    PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
        asset, PHImageRequestOptions{}, [weak, asset](std::optional<Bytes> data, const std::string&, int, const ValueDictionary&) {
            auto me = weak.lock();
            if (!me) return;
            ValueDictionary info;
            info.set(UIImagePickerControllerMediaType, Value(kUTTypeImage));
            info.set(UIImagePickerControllerReferenceURL, Value(imagePickerReferenceURL(asset->localIdentifier())));
            info.set(UIImagePickerControllerPHAsset, Value(asset->localIdentifier()));
            if (data) {
                if (auto image = UIImage::imageWithData(*data)) info.set(UIImagePickerControllerOriginalImage, Value(image));
            }
            me->deliver(info);
        });
    return true;
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
