// Reading an asset's photo data.
#include "platform/photos/ph_image_manager.h"

#include <atomic>

#include "platform/dispatch/queue.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/photos/image_file_check.h"
#include "platform/runtime/error.h"

namespace {

std::atomic<PHImageRequestID> nextRequest{1};

struct Answer {
    std::optional<Bytes> data;
    std::string uti;
    int orientation = 1;
    ValueDictionary info;
};

Answer load(const std::shared_ptr<PHAsset>& asset, PHImageRequestID id) {
    Answer a;
    a.info.set(PHImageResultRequestIDKey, Value(id));
    a.info.set(PHImageResultIsDegradedKey, Value(false));
    auto fail = [&](const std::string& text) {
        a.info.set(PHImageErrorKey, Value(NSError::withDescription("PHPhotosErrorDomain", -1, text)));
        return a;
    };
    if (!asset) return fail("no asset");
    auto bytes = readLibraryFile(asset->filePath());
    if (!bytes) return fail(bytes.error());
    auto info = readImageInfo(*bytes);
    if (!info) return fail(info.error());
    a.uti = info->format == ImageFormat::PNG ? "public.png" : "public.jpeg";
    a.orientation = info->orientation;
    if (auto props = readImageProperties(*bytes)) a.info.set(PHImageResultPropertiesKey, *props);
    a.data = std::move(bytes.value());
    return a;
}

}  // namespace

std::shared_ptr<PHImageManager> PHImageManager::defaultManager() {
    static auto manager = PHImageManager::make();
    return manager;
}

PHImageRequestID PHImageManager::requestImageDataAndOrientationForAsset(const std::shared_ptr<PHAsset>& asset,
                                                                        const PHImageRequestOptions& options,
                                                                        DataHandler handler) {
    PHImageRequestID id = nextRequest++;
    if (!handler) return id;
    if (options.synchronous) {
        Answer a = load(asset, id);
        handler(std::move(a.data), a.uti, a.orientation, a.info);
        return id;
    }
    dispatch_get_global_queue()->async([asset, id, handler = std::move(handler)] {
        auto a = std::make_shared<Answer>(load(asset, id));
        dispatch_get_main_queue()->async(
            [a, handler] { handler(std::move(a->data), a->uti, a->orientation, a->info); });
    });
    return id;
}
