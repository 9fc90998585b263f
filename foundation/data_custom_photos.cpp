// Photo-library saving and image-property access for encoded photos.
#include "foundation/data_custom_photos.h"

#include <memory>

#include "platform/dispatch/queue.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_photo_library.h"

void saveToPhotos(const Bytes& data, std::function<void(bool success)> handler) {
    // The handler is shared so that it survives the copies of the completion and runs at most once.
    auto once = std::make_shared<std::function<void(bool)>>(std::move(handler));
    auto report = [once](bool success) {
        dispatch_async(dispatch_get_main_queue(), [once, success] {
            auto h = std::move(*once);
            *once = nullptr;
            if (h) h(success);
        });
    };
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    if (!library) return report(false);
    library->performChanges(
        [data] {
            auto request = PHAssetCreationRequest::creationRequestForAsset();
            if (request) request->addResourceWithType(PHAssetResourceType::Photo, data);
        },
        [report](bool success, const std::shared_ptr<NSError>&) { report(success); });
}

Value getMetadata(const Bytes& data) {
    if (data.empty()) return {};
    auto properties = readImageProperties(data);
    if (!properties || !properties->isDictionary()) return {};
    return *properties;
}

std::optional<Bytes> setMetadata(const Bytes& data, const Value& properties) {
    if (data.empty() || detectImageFormat(data) == ImageFormat::Unknown) return std::nullopt;
    if (!properties.isNull() && !properties.isDictionary()) return std::nullopt;
    auto replaced = replaceImageProperties(data, properties.isNull() ? Value::dictionary() : properties);
    if (!replaced) return std::nullopt;
    return std::move(replaced.value());
}
