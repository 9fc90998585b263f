// Sized pictures of assets: decoded upright at the smallest JPEG scale that keeps the size, then
// averaged down to it.
#include "platform/ui/controller/ph_caching_image_manager.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/dispatch/queue.h"
#include "platform/image/cg_image.h"
#include "platform/image/codec/image_data.h"
#include "platform/photos/image_file_check.h"
#include "platform/runtime/error.h"
#include "platform/ui/draw/image.h"

namespace {

std::atomic<PHImageRequestID> nextSizedRequest{1 << 20};
// The degraded first answer is this fraction of the final size.
constexpr double kDegradedFraction = 0.25;

// Box average of the source pixels each destination pixel covers (premultiplied output).
std::shared_ptr<CGImage> averaged(const RasterRGBA8& src, int w, int h) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        int y0 = static_cast<int>(static_cast<long long>(y) * src.height / h);
        int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * src.height / h));
        for (int x = 0; x < w; ++x) {
            int x0 = static_cast<int>(static_cast<long long>(x) * src.width / w);
            int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * src.width / w));
            double sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const std::uint8_t* p = &src.pixels[(static_cast<std::size_t>(sy) * src.width + sx) * 4];
                    double a = p[3] / 255.0;
                    for (int c = 0; c < 3; ++c) sum[c] += p[c] * a;
                    sum[3] += p[3];
                }
            double n = static_cast<double>(x1 - x0) * (y1 - y0);
            std::uint8_t* d = &out[(static_cast<std::size_t>(y) * w + x) * 4];
            for (int c = 0; c < 4; ++c) d[c] = static_cast<std::uint8_t>(std::lround(sum[c] / n));
        }
    }
    return CGImage::create(w, h, static_cast<std::size_t>(w) * 4, std::move(out));
}

struct SizedAnswer {
    std::shared_ptr<CGImage> degraded, final;
    std::string error;
};

SizedAnswer load(const std::string& path, CGSize target, PHImageContentMode mode, bool withDegraded) {
    SizedAnswer a;
    auto bytes = readLibraryFile(path);
    if (!bytes) {
        a.error = bytes.error();
        return a;
    }
    auto info = readImageInfo(*bytes);
    if (!info) {
        a.error = info.error();
        return a;
    }
    bool turned = info->orientation >= 5 && info->orientation <= 8;
    CGSize upright{static_cast<CGFloat>(turned ? info->height : info->width),
                   static_cast<CGFloat>(turned ? info->width : info->height)};
    CGSize size = sizedImagePixels(upright, target, mode);
    ImageDecodeOptions options;
    options.applyOrientation = true;
    options.minWidth = static_cast<int>(turned ? size.height : size.width);
    options.minHeight = static_cast<int>(turned ? size.width : size.height);
    auto decoded = decodeImage(*bytes, options);
    if (!decoded) {
        a.error = decoded.error();
        return a;
    }
    const RasterRGBA8& r = decoded->raster;
    a.final = averaged(r, static_cast<int>(size.width), static_cast<int>(size.height));
    if (withDegraded) {
        int dw = std::max(1, static_cast<int>(size.width * kDegradedFraction));
        int dh = std::max(1, static_cast<int>(size.height * kDegradedFraction));
        a.degraded = averaged(r, dw, dh);
    }
    return a;
}

}  // namespace

CGSize sizedImagePixels(CGSize picture, CGSize target, PHImageContentMode mode) {
    if (picture.width <= 0 || picture.height <= 0) return CGSize{1, 1};
    if (target.width <= 0 || target.height <= 0) return picture;
    double sx = target.width / picture.width, sy = target.height / picture.height;
    double s = mode == PHImageContentMode::AspectFill ? std::max(sx, sy) : std::min(sx, sy);
    s = std::min(s, 1.0);
    return CGSize{std::max<CGFloat>(1, std::round(picture.width * s)),
                  std::max<CGFloat>(1, std::round(picture.height * s))};
}

PHImageRequestID PHCachingImageManager::requestImageForAsset(const std::shared_ptr<PHAsset>& asset, CGSize targetSize,
                                                             PHImageContentMode contentMode,
                                                             const PHImageSizedRequestOptions& options,
                                                             ImageHandler handler) {
    PHImageRequestID id = nextSizedRequest++;
    if (!handler) return id;
    std::string path = asset ? asset->filePath() : std::string();
    bool withDegraded = options.deliveryMode == PHImageRequestOptionsDeliveryMode::Opportunistic;
    dispatch_get_global_queue()->async([=] {
        auto a = std::make_shared<SizedAnswer>(path.empty() ? SizedAnswer{nullptr, nullptr, "no asset"}
                                                            : load(path, targetSize, contentMode, withDegraded));
        dispatch_get_main_queue()->async([a, id, handler] {
            auto answer = [&](const std::shared_ptr<CGImage>& image, bool degraded) {
                ValueDictionary info;
                info.set(PHImageResultRequestIDKey, Value(id));
                info.set(PHImageResultIsDegradedKey, Value(degraded));
                if (!image)
                    info.set(PHImageErrorKey, Value(NSError::withDescription(PHPhotosErrorDomain, -1, a->error)));
                handler(image ? UIImage::imageWithCGImage(image) : nullptr, info);
            };
            if (a->degraded) answer(a->degraded, true);
            answer(a->final, false);
        });
    });
    return id;
}
