// PHCachingImageManager: an asset's photo as a picture of a requested size. It lives beside the
// image picker because it answers with images of the UI layer. A request decodes the file on one of
// a few background workers, all processors but one, which the main thread keeps for drawing (the
// newest request first, so that what a scrolled grid shows now comes before what it showed a
// moment ago) and answers on the main queue; an opportunistic
// request may first answer with a small, degraded picture (PHImageResultIsDegradedKey yes) and
// then with the final one. Final pictures are kept in the shared SizedImageCache and given again
// without reading the file; pictures come in the display's own pixel layout, so that drawing them
// converts nothing.
#pragma once

#include <functional>
#include <memory>

#include "platform/photos/ph_image_manager.h"
#include "platform/runtime/geometry.h"

class UIImage;

enum class PHImageContentMode : std::int64_t { AspectFit = 0, AspectFill = 1, Default = 0 };
enum class PHImageRequestOptionsDeliveryMode : std::int64_t {
    Opportunistic = 0,
    HighQualityFormat = 1,
    FastFormat = 2
};

enum class PHImageRequestOptionsResizeMode : std::int64_t { None = 0, Fast = 1, Exact = 2 };

struct PHImageSizedRequestOptions {
    PHImageRequestOptionsDeliveryMode deliveryMode = PHImageRequestOptionsDeliveryMode::Opportunistic;
    // Exact: the picture has the target's own size and shape, cut from the middle of the photo
    // when it fills (a thumbnail drawn pixel for pixel), and smaller only where the photo has fewer
    // pixels. Otherwise it keeps the photo's shape at the size that fits or fills the target.
    PHImageRequestOptionsResizeMode resizeMode = PHImageRequestOptionsResizeMode::Fast;
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
    // The final picture such a request gives, when it is already made: nothing is read or decoded.
    std::shared_ptr<UIImage> cachedImageForAsset(const std::shared_ptr<PHAsset>& asset, CGSize targetSize,
                                                 PHImageContentMode contentMode,
                                                 const PHImageSizedRequestOptions& options) const;
    // The request's handler is not called after this (on the main thread); a request whose file
    // has not been read yet is dropped.
    void cancelImageRequest(PHImageRequestID request);

    std::string className() const override { return "PHCachingImageManager"; }

protected:
    PHCachingImageManager() = default;
};
