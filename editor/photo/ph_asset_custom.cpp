// The newest asset and an asset's image, through the platform's photo library.
#include "editor/photo/ph_asset_custom.h"

#include "platform/dispatch/queue.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/ui/draw/image.h"

std::shared_ptr<PHAsset> recent() {
    auto options = PHFetchOptions::make();
    options->sortDescriptors = {{"modificationDate", false}};
    auto result = PHAsset::fetchAssetsWithOptions(options);
    return result ? result->firstObject() : nullptr;
}

void request(const std::shared_ptr<PHAsset>& asset, std::function<void(std::shared_ptr<UIImage>)> block) {
    if (!block) return;
    auto deliver = [block = std::move(block)](std::shared_ptr<UIImage> image) mutable {
        dispatch_async(dispatch_get_main_queue(),
                       [block = std::move(block), image = std::move(image)] { block(image); });
    };
    if (!asset) {
        deliver(nullptr);
        return;
    }
    // The data comes on the main thread; a large photo is decoded away from it.
    PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
        asset, PHImageRequestOptions{},
        [deliver](std::optional<Bytes> data, const std::string&, int, const ValueDictionary&) mutable {
            auto bytes = std::make_shared<std::optional<Bytes>>(std::move(data));
            dispatch_get_global_queue()->async([deliver = std::move(deliver), bytes]() mutable {
                deliver(*bytes ? UIImage::imageWithData(**bytes) : nullptr);
            });
        });
}
