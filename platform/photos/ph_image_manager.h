// PHImageManager: the encoded data of an asset's photo, with its orientation and properties.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/photos/ph_asset.h"
#include "platform/runtime/value.h"

inline constexpr const char* PHImageErrorKey = "PHImageErrorKey";
inline constexpr const char* PHImageResultIsDegradedKey = "PHImageResultIsDegradedKey";
inline constexpr const char* PHImageResultRequestIDKey = "PHImageResultRequestIDKey";
// The image properties of the data ("{TIFF}", "{Exif}", "{GPS}", "Orientation", sizes).
inline constexpr const char* PHImageResultPropertiesKey = "KorvaImageProperties";

using PHImageRequestID = std::int32_t;

struct PHImageRequestOptions {
    // Answer on the calling thread before returning, instead of on the main queue later.
    bool synchronous = false;
};

class PHImageManager : public NSObject {
public:
    KORVA_MAKE(PHImageManager)
    static std::shared_ptr<PHImageManager> defaultManager();

    // The handler gets the data (none on failure, with PHImageErrorKey in info), its type
    // ("public.jpeg" or "public.png"), the EXIF orientation and an info dictionary.
    using DataHandler = std::function<void(std::optional<Bytes> data, const std::string& dataUTI, int orientation,
                                           const ValueDictionary& info)>;
    PHImageRequestID requestImageDataAndOrientationForAsset(const std::shared_ptr<PHAsset>& asset,
                                                            const PHImageRequestOptions& options, DataHandler handler);

protected:
    PHImageManager() = default;
};
