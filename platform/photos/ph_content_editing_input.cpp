// Content-editing input: the asset's file checked on a background queue, answered on the main one.
#include "platform/photos/ph_content_editing_input.h"

#include <atomic>

#include "platform/dispatch/queue.h"
#include "platform/image/codec/image_data.h"
#include "platform/photos/image_file_check.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/runtime/error.h"

namespace {

std::atomic<std::int32_t> nextInputRequest{1};

}  // namespace

std::int32_t PHAsset::requestContentEditingInputWithOptions(const PHContentEditingInputRequestOptions&,
                                                            ContentEditingInputHandler handler) const {
    std::int32_t id = nextInputRequest++;
    if (!handler) return id;
    std::string path = filePath();
    dispatch_get_global_queue()->async([path, handler = std::move(handler)] {
        std::shared_ptr<PHContentEditingInput> input;
        ValueDictionary info;
        std::string error;
        if (auto bytes = readLibraryFile(path); !bytes) {
            error = bytes.error();
        } else if (auto decoded = readImageInfo(*bytes); !decoded) {
            error = decoded.error();
        } else {
            input = PHContentEditingInput::make("file://" + path, decoded->orientation);
        }
        if (!input) info.set(PHImageErrorKey, Value(NSError::withDescription(PHPhotosErrorDomain, -1, error)));
        dispatch_get_main_queue()->async([handler, input, info] { handler(input, info); });
    });
    return id;
}
