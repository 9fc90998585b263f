// PHCachingImageManager: an asset's photo as a picture of a requested size. It lives beside the
// image picker because it answers with images of the UI layer. A request decodes the file on a
// background queue and answers on the main queue; an opportunistic request may first answer with
// a small, degraded picture (PHImageResultIsDegradedKey yes) and then with the final one.
#pragma once

#include <functional>
#include <memory>

#include "platform/photos/ph_image_manager.h"
#include "platform/runtime/geometry.h"

class UIImage;

enum class PHImageContentMode : std::int64_t { AspectFit = 0, AspectFill = 1, Default = 0 };
enum class PHImageRequestOptionsDeliveryMode : std::int64_t { Opportunistic = 0, HighQualityFormat = 1, FastFormat = 2 };

struct PHImageSizedRequestOptions {
    PHImageRequestOptionsDeliveryMode deliveryMode = PHImageRequestOptionsDeliveryMode::Opportunistic;
};

// The size (whole pixels, at least 1) a picture of the given size gets to fit or fill the target;
// never larger than the picture itself.
CGSize sizedImagePixels(CGSize picture, CGSize target, PHImageContentMode mode);

class PHCachingImageManager : public PHImageManager {
public:
    KORVA_MAKE(PHCachingImageManager)
    using ImageHandler = std::function<void(std::shared_ptr<UIImage> image, const ValueDictionary& info)>;

    // A target size with a non-positive side asks for the full size. The handler gets none (with
    // PHImageErrorKey) when the file cannot be read or decoded.
    PHImageRequestID requestImageForAsset(const std::shared_ptr<PHAsset>& asset, CGSize targetSize,
                                          PHImageContentMode contentMode, const PHImageSizedRequestOptions& options,
                                          ImageHandler handler);

    std::string className() const override { return "PHCachingImageManager"; }

protected:
    PHCachingImageManager() = default;
};
