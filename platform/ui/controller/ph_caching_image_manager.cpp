// Sized pictures of assets: decoded upright at the smallest JPEG scale that keeps the size, then
// averaged down to it by a few background workers, newest request first; kept for the next asker.
#include "platform/ui/controller/ph_caching_image_manager.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/image/cg_image.h"
#include "platform/image/codec/image_data.h"
#include "platform/photos/image_file_check.h"
#include "platform/runtime/error.h"
#include "platform/ui/controller/sized_image_cache.h"
#include "platform/ui/draw/image.h"

namespace {

std::atomic<PHImageRequestID> nextSizedRequest{1 << 20};
// The degraded first answer is this fraction of the final size.
constexpr double kDegradedFraction = 0.25;

// The part of the upright photo a picture is made from, in the photo's pixels.
struct SourceRect {
    double x = 0, y = 0, width = 0, height = 0;
};

// Box average of the source pixels each destination pixel covers, within the source rectangle (in
// the raster's pixels); premultiplied BGRA out, the display's own layout.
std::shared_ptr<CGImage> averaged(const RasterRGBA8& src, SourceRect from, int w, int h) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * 4);
    const double stepX = from.width / w, stepY = from.height / h;
    auto span = [](double start, double step, int i, int limit) {
        int a = std::clamp(static_cast<int>(std::floor(start + step * i + 1e-9)), 0, limit - 1);
        int b = std::clamp(static_cast<int>(std::floor(start + step * (i + 1) + 1e-9)), a + 1, limit);
        return std::pair{a, b};
    };
    std::vector<std::pair<int, int>> columns(w);
    for (int x = 0; x < w; ++x) columns[x] = span(from.x, stepX, x, src.width);
    std::vector<std::uint32_t> sum(static_cast<std::size_t>(w) * 4);
    for (int y = 0; y < h; ++y) {
        auto [y0, y1] = span(from.y, stepY, y, src.height);
        std::fill(sum.begin(), sum.end(), 0);
        for (int x = 0; x < w; ++x) {
            auto [x0, x1] = columns[x];
            std::uint32_t* acc = &sum[static_cast<std::size_t>(x) * 4];
            for (int sy = y0; sy < y1; ++sy) {
                const std::uint8_t* p = &src.pixels[(static_cast<std::size_t>(sy) * src.width + x0) * 4];
                for (int sx = x0; sx < x1; ++sx, p += 4) {
                    // Premultiplied on the way in, rounded to the byte as the display holds it.
                    const std::uint32_t a = p[3];
                    acc[0] += (p[2] * a + 127) / 255;
                    acc[1] += (p[1] * a + 127) / 255;
                    acc[2] += (p[0] * a + 127) / 255;
                    acc[3] += a;
                }
            }
            const std::uint32_t n = static_cast<std::uint32_t>((x1 - x0) * (y1 - y0));
            std::uint8_t* d = &out[(static_cast<std::size_t>(y) * w + x) * 4];
            for (int c = 0; c < 4; ++c) d[c] = static_cast<std::uint8_t>((acc[c] + n / 2) / n);
        }
    }
    return CGImage::create(w, h, static_cast<std::size_t>(w) * 4, std::move(out), nullptr,
                           CGImagePixelLayout::BGRA8Premultiplied);
}

struct SizedAnswer {
    std::shared_ptr<CGImage> degraded, final;
    std::string error;
};

struct SizedRequest {
    PHImageRequestID id = 0;
    std::string path, key;
    CGSize target;
    PHImageContentMode mode = PHImageContentMode::Default;
    bool exact = false, withDegraded = false;
    PHCachingImageManager::ImageHandler handler;
};

// The picture's size and the part of the upright photo it shows.
std::pair<CGSize, SourceRect> plan(CGSize upright, CGSize target, PHImageContentMode mode, bool exact) {
    if (!exact || target.width <= 0 || target.height <= 0)
        return {sizedImagePixels(upright, target, mode), SourceRect{0, 0, upright.width, upright.height}};
    SourceRect from{0, 0, upright.width, upright.height};
    const double aspect = target.width / target.height;
    if (mode == PHImageContentMode::AspectFill) {
        from.width = std::min<double>(upright.width, upright.height * aspect);
        from.height = from.width / aspect;
        from.x = (upright.width - from.width) / 2;
        from.y = (upright.height - from.height) / 2;
    }
    // Fewer pixels than asked for where the part shown has fewer.
    const double scale = std::min({1.0, from.width / target.width, from.height / target.height});
    CGSize size{std::max<CGFloat>(1, std::round(target.width * scale)),
                std::max<CGFloat>(1, std::round(target.height * scale))};
    if (mode != PHImageContentMode::AspectFill) size = sizedImagePixels(upright, target, mode);
    return {size, from};
}

SizedAnswer load(const SizedRequest& request) {
    SizedAnswer a;
    if (request.path.empty()) {
        a.error = "no asset";
        return a;
    }
    auto bytes = readLibraryFile(request.path);
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
    auto [size, from] = plan(upright, request.target, request.mode, request.exact);
    // The decoder's smallest scale that still gives the part shown all the pixels it needs.
    const double needX = size.width / from.width, needY = size.height / from.height;
    const int minUprightWidth = static_cast<int>(std::ceil(upright.width * needX));
    const int minUprightHeight = static_cast<int>(std::ceil(upright.height * needY));
    ImageDecodeOptions options;
    options.applyOrientation = true;
    options.minWidth = turned ? minUprightHeight : minUprightWidth;
    options.minHeight = turned ? minUprightWidth : minUprightHeight;
    auto decoded = decodeImage(*bytes, options);
    if (!decoded) {
        a.error = decoded.error();
        return a;
    }
    const RasterRGBA8& r = decoded->raster;
    const double kx = r.width / upright.width, ky = r.height / upright.height;
    const SourceRect inRaster{from.x * kx, from.y * ky, from.width * kx, from.height * ky};
    a.final = averaged(r, inRaster, static_cast<int>(size.width), static_cast<int>(size.height));
    if (request.withDegraded) {
        int dw = std::max(1, static_cast<int>(size.width * kDegradedFraction));
        int dh = std::max(1, static_cast<int>(size.height * kDegradedFraction));
        a.degraded = averaged(r, inRaster, dw, dh);
    }
    return a;
}

std::string cacheKey(const PHAsset& asset, CGSize target, PHImageContentMode mode,
                     const PHImageSizedRequestOptions& options) {
    char text[160];
    std::snprintf(text, sizeof text, "|%.17g|%dx%d|%.3fx%.3f|%d|%d", asset.modificationDate(), asset.pixelWidth(),
                  asset.pixelHeight(), static_cast<double>(target.width), static_cast<double>(target.height),
                  static_cast<int>(mode), static_cast<int>(options.resizeMode));
    return asset.filePath() + text;
}

// The requests waiting for a worker, newest last, and those neither cancelled nor answered.
struct Pending {
    std::mutex mutex;
    std::vector<SizedRequest> waiting;
    std::unordered_set<PHImageRequestID> live;
    int workers = 0;
};

Pending& pending() {
    static Pending p;
    return p;
}

// Workers that make pictures at once: one processor is left to the main thread, which draws them.
int workerLimit() {
    static const int limit = [] {
        cpu_set_t set;
        CPU_ZERO(&set);
        int processors = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 2;
        return std::clamp(processors - 1, 1, 4);
    }();
    return limit;
}

bool isLive(PHImageRequestID id) {
    std::lock_guard lock(pending().mutex);
    return pending().live.count(id) > 0;
}

void answer(const SizedRequest& request, const std::shared_ptr<CGImage>& image, bool degraded,
            const std::string& error) {
    ValueDictionary info;
    info.set(PHImageResultRequestIDKey, Value(request.id));
    info.set(PHImageResultIsDegradedKey, Value(degraded));
    if (!image) info.set(PHImageErrorKey, Value(NSError::withDescription(PHPhotosErrorDomain, -1, error)));
    request.handler(image ? UIImage::imageWithCGImage(image) : nullptr, info);
}

// A worker: makes the newest waiting picture and hands it to the main queue, until none waits.
void work() {
    for (;;) {
        SizedRequest request;
        {
            std::lock_guard lock(pending().mutex);
            if (pending().waiting.empty()) {
                --pending().workers;
                return;
            }
            request = std::move(pending().waiting.back());
            pending().waiting.pop_back();
        }
        auto made = std::make_shared<SizedAnswer>(load(request));
        if (made->final) SizedImageCache::shared().insert(request.key, made->final);
        dispatch_get_main_queue()->async([made, request = std::move(request)] {
            if (!isLive(request.id)) return;
            if (made->degraded) answer(request, made->degraded, true, made->error);
            // The handler may have cancelled the request on hearing the degraded picture.
            if (!isLive(request.id)) return;
            {
                std::lock_guard lock(pending().mutex);
                pending().live.erase(request.id);
            }
            answer(request, made->final, false, made->error);
        });
    }
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
    SizedRequest request;
    request.id = id;
    request.path = asset ? asset->filePath() : std::string();
    request.key = asset ? cacheKey(*asset, targetSize, contentMode, options) : std::string();
    request.target = targetSize;
    request.mode = contentMode;
    request.exact = options.resizeMode == PHImageRequestOptionsResizeMode::Exact;
    request.handler = std::move(handler);
    {
        std::lock_guard lock(pending().mutex);
        pending().live.insert(id);
    }
    // A picture made before is given again, still later on the main queue as every answer is.
    if (auto kept = request.key.empty() ? nullptr : SizedImageCache::shared().find(request.key)) {
        dispatch_get_main_queue()->async([request = std::move(request), kept] {
            {
                std::lock_guard lock(pending().mutex);
                if (!pending().live.erase(request.id)) return;
            }
            answer(request, kept, false, {});
        });
        return id;
    }
    request.withDegraded = options.deliveryMode == PHImageRequestOptionsDeliveryMode::Opportunistic;
    bool another = false;
    {
        std::lock_guard lock(pending().mutex);
        pending().waiting.push_back(std::move(request));
        another = pending().workers < workerLimit();
        if (another) ++pending().workers;
    }
    if (another) dispatch_get_global_queue()->async(work);
    return id;
}

std::shared_ptr<UIImage> PHCachingImageManager::cachedImageForAsset(const std::shared_ptr<PHAsset>& asset,
                                                                    CGSize targetSize, PHImageContentMode contentMode,
                                                                    const PHImageSizedRequestOptions& options) const {
    if (!asset) return nullptr;
    auto kept = SizedImageCache::shared().find(cacheKey(*asset, targetSize, contentMode, options));
    return kept ? UIImage::imageWithCGImage(std::move(kept)) : nullptr;
}

void PHCachingImageManager::cancelImageRequest(PHImageRequestID request) {
    std::lock_guard lock(pending().mutex);
    pending().live.erase(request);
    auto& waiting = pending().waiting;
    waiting.erase(
        std::remove_if(waiting.begin(), waiting.end(), [request](const SizedRequest& r) { return r.id == request; }),
        waiting.end());
}
