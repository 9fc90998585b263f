// Photo-library saving and image-property access for encoded photos.
#include "foundation/data_custom_photos.h"

#include <memory>

#include "platform/dispatch/queue.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_photo_library.h"

void saveToPhotos(const Bytes& data, std::function<void(bool success)> handler) {
    savePhotoToLibrary(data, [handler = std::move(handler)](Result<void> saved) {
        if (handler) handler(saved.ok());
    });
}

void savePhotoToLibrary(const Bytes& data, std::function<void(Result<void> saved)> handler) {
    // The handler is shared so that it survives the copies of the completion and runs at most once.
    auto once = std::make_shared<std::function<void(Result<void>)>>(std::move(handler));
    auto report = [once](Result<void> saved) {
        dispatch_async(dispatch_get_main_queue(), [once, saved] {
            auto h = std::move(*once);
            *once = nullptr;
            if (h) h(saved);
        });
    };
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    if (!library) return report(fail("there is no photo library"));
    library->performChanges(
        [data] {
            auto request = PHAssetCreationRequest::creationRequestForAsset();
            if (request) request->addResourceWithType(PHAssetResourceType::Photo, data);
        },
        [report](bool success, const std::shared_ptr<NSError>& error) {
            if (success) return report({});
            report(fail(error ? error->localizedDescription() : std::string("the photo library did not take it")));
        });
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
