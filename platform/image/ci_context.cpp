// Render contexts: checks, the writers for each destination, and encoding.
#include "platform/image/ci_context.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/image/ci_vector.h"
#include "platform/image/codec/icc.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/jpeg_strip_encoder.h"
#include "platform/image/codec/png.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/engine/render_arena.h"
#include "platform/image/engine/render_pool.h"
#include "platform/image/engine/renderer.h"
#include "platform/runtime/log.h"

namespace {

const char* kLog = "image";

// Default limits: the software context accepts larger images than the drawing context.
constexpr CGSize kCPUMaximum{kMaxPhotoSide, kMaxPhotoSide};
constexpr CGSize kGPUMaximum{kCIDrawingContextMaximumSide, kCIDrawingContextMaximumSide};

// JPEG representations are rendered and encoded this many rows at a time (a whole number of the
// encoder's 16-row blocks), through this many band buffers.
constexpr int kJpegBandRows = 128;
constexpr int kJpegBandSlots = 3;

CGSize sizeOption(const ValueDictionary& options, const char* key, CGSize fallback) {
    if (auto v = options.get(key).objectAs<CIVector>()) return {v->X(), v->Y()};
    return fallback;
}

// A working colour space option: a colour space, a name, or kCGColorSpaceNULL (off).
bool spaceOption(const ValueDictionary& options, const char* key, std::shared_ptr<CGColorSpace>& out) {
    const Value* v = options.find(key);
    if (!v) return false;
    if (auto space = v->objectAs<CGColorSpace>()) {
        out = space;
        return true;
    }
    if (v->isString()) {
        out = CGColorSpace::createWithName(*v->string());
        return true;
    }
    return false;
}

// The pixel rectangle of a rendering of `r`: its origin taken down, its size rounded. Empty for
// rectangles beyond any bitmap (their numbers would not fit the pixel grid).
PixelRect outputPixels(const CGRect& r) {
    CGRect s = CGRectStandardize(r);
    constexpr double kFar = 1073741824.0;  // 2^30
    for (double v : {s.origin.x, s.origin.y, s.size.width, s.size.height})
        if (!std::isfinite(v) || std::fabs(v) > kFar) return {};
    return {static_cast<long>(std::floor(s.origin.x)), static_cast<long>(std::floor(s.origin.y)),
            std::lround(s.size.width), std::lround(s.size.height)};
}

}  // namespace

CIContext::CIContext(Kind kind, const ValueDictionary& options)
    : kind_(kind), fallbackArena_(std::make_unique<RenderArena>()) {
    const CGSize limit = kind == Kind::GPU ? kGPUMaximum : kCPUMaximum;
    maxInput_ = sizeOption(options, kCIContextMaximumInputSize, limit);
    maxOutput_ = sizeOption(options, kCIContextMaximumOutputSize, limit);
    working_ = CGColorSpace::createWithName(kCGColorSpaceExtendedLinearSRGB);
    output_ = CGColorSpace::createWithName(kCGColorSpaceSRGB);
    spaceOption(options, kCIContextWorkingColorSpace, working_);
    spaceOption(options, kCIContextOutputColorSpace, output_);
    if (!working_) output_ = nullptr;  // without a working space nothing is converted
    threads_ = static_cast<int>(std::max<std::int64_t>(0, options.get(kCIContextThreadCount).integerValue()));
}

CIContext::~CIContext() = default;

std::shared_ptr<CIContext> CIContext::contextWithOptions(const ValueDictionary& options) {
    return make(Kind::CPU, options);
}

std::shared_ptr<CIContext> CIContext::gpuContextWithOptions(const ValueDictionary& options) {
    return make(Kind::GPU, options);
}

void CIContext::clearCaches() {
    std::lock_guard lock(fallbackMutex_);
    fallbackArena_ = std::make_unique<RenderArena>();
}

std::size_t CIContext::scratchAllocations() {
    std::lock_guard lock(fallbackMutex_);
    return fallbackArena_->systemAllocations();
}

Result<void> CIContext::check(const std::shared_ptr<CIImage>& image, const PixelRect& region) const {
    if (!image) return fail("no image");
    if (region.empty()) return fail("the rectangle to render is empty");
    if (region.w > maxOutput_.width || region.h > maxOutput_.height)
        return fail("the rectangle to render (" + std::to_string(region.w) + "x" + std::to_string(region.h) +
                    ") is larger than the context's maximum output size");
    CGSize source = largestSource(*image->node());
    if (source.width > maxInput_.width || source.height > maxInput_.height)
        return fail("an input image is larger than the context's maximum input size");
    return {};
}

void CIContext::run(const ImageNode& root, const PixelRect& region, const CGAffineTransform& toRequest,
                    const std::shared_ptr<CGColorSpace>& output, const std::function<void(const Tile&)>& write,
                    bool sampled, const RenderBytes* bytes) {
    RenderRequest request;
    request.region = region;
    request.toRequest = toRequest;
    request.working = working_;
    request.output = working_ ? output : nullptr;
    request.threads = static_cast<std::size_t>(threads_);
    request.write = write;
    request.sampled = sampled;
    if (bytes) request.bytes = *bytes;
    // The calling thread's scratch: the context's own, or a temporary one when another thread
    // is rendering with this context at the same time.
    std::unique_lock lock(fallbackMutex_, std::try_to_lock);
    if (lock.owns_lock()) {
        renderRecipe(root, request, *fallbackArena_);
    } else {
        RenderArena temporary;
        renderRecipe(root, request, temporary);
    }
}

Result<void> CIContext::renderInto(const std::shared_ptr<CIImage>& image, void* bitmap, std::size_t rowBytes,
                                   const CGRect& bounds, CIFormat format,
                                   const std::shared_ptr<CGColorSpace>& colorSpace, bool straight) {
    if (!bitmap) return fail("no bitmap to render into");
    if (CGRectIsNull(bounds) || CGRectIsInfinite(bounds) || !std::isfinite(bounds.size.width) ||
        !std::isfinite(bounds.size.height))
        return fail("the rectangle to render is infinite or null");
    PixelRect region = outputPixels(bounds);
    if (auto ok = check(image, region); !ok) return ok;
    const std::size_t bpp = CIFormatBytesPerPixel(format);
    if (rowBytes < static_cast<std::size_t>(region.w) * bpp) return fail("the bitmap's rows are too short");
    auto* base = static_cast<std::uint8_t*>(bitmap);
    const long top = region.y + region.h - 1;
    RenderBytes bytes;
    if (format != CIFormat::RGBAf) bytes = {base, rowBytes, region.x, top, format == CIFormat::BGRA8};
    run(
        *image->node(), region, CGAffineTransformIdentity, colorSpace,
        [&](const Tile& tile) {
            for (long j = 0; j < tile.rect.h; ++j) {
                const float* p[4] = {tile.row(0, j), tile.row(1, j), tile.row(2, j), tile.row(3, j)};
                std::size_t n = static_cast<std::size_t>(tile.rect.w);
                if (straight) kernels::unpremultiply(tile.row(0, j), tile.row(1, j), tile.row(2, j), p[3], n);
                std::uint8_t* row = base + static_cast<std::size_t>(top - (tile.rect.y + j)) * rowBytes +
                                    static_cast<std::size_t>(tile.rect.x - region.x) * bpp;
                if (format == CIFormat::RGBAf)
                    kernels::storeRGBAf(p[0], p[1], p[2], p[3], n, reinterpret_cast<float*>(row));
                else
                    kernels::storeRGBA8(p[0], p[1], p[2], p[3], n, row, format == CIFormat::BGRA8);
            }
        },
        false, &bytes);
    return {};
}

Result<void> CIContext::render(const std::shared_ptr<CIImage>& image, void* bitmap, std::size_t rowBytes,
                               const CGRect& bounds, CIFormat format, const std::shared_ptr<CGColorSpace>& colorSpace) {
    auto result = renderInto(image, bitmap, rowBytes, bounds, format, colorSpace, false);
    if (!result) Log::warning(kLog, "render failed: " + result.error());
    return result;
}

Result<void> CIContext::renderStraight(const std::shared_ptr<CIImage>& image, void* bitmap, std::size_t rowBytes,
                                       const CGRect& bounds, CIFormat format,
                                       const std::shared_ptr<CGColorSpace>& colorSpace) {
    auto result = renderInto(image, bitmap, rowBytes, bounds, format, colorSpace, true);
    if (!result) Log::warning(kLog, "render failed: " + result.error());
    return result;
}

std::shared_ptr<CGImage> CIContext::createCGImage(const std::shared_ptr<CIImage>& image, const CGRect& fromRect) {
    return createCGImage(image, fromRect, CGImagePixelLayout::RGBA8Premultiplied, output_);
}

std::shared_ptr<CGImage> CIContext::createCGImage(const std::shared_ptr<CIImage>& image, const CGRect& fromRect,
                                                  CGImagePixelLayout layout,
                                                  const std::shared_ptr<CGColorSpace>& colorSpace) {
    if (CGRectIsNull(fromRect) || CGRectIsInfinite(fromRect) || CGRectIsEmpty(fromRect)) {
        Log::warning(kLog, "createCGImage failed: the rectangle is empty, null or infinite");
        return nullptr;
    }
    PixelRect region = outputPixels(fromRect);
    if (auto ok = check(image, region); !ok) {
        Log::warning(kLog, "createCGImage failed: " + ok.error());
        return nullptr;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(region.w) * 4;
    std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(region.h));
    CIFormat format = layout == CGImagePixelLayout::BGRA8Premultiplied ? CIFormat::BGRA8 : CIFormat::RGBA8;
    if (auto ok = renderInto(image, pixels.data(), rowBytes, fromRect, format, colorSpace, false); !ok) {
        Log::warning(kLog, "createCGImage failed: " + ok.error());
        return nullptr;
    }
    return CGImage::create(static_cast<int>(region.w), static_cast<int>(region.h), rowBytes, std::move(pixels),
                           working_ ? colorSpace : nullptr, layout);
}

bool CIContext::drawImage(const std::shared_ptr<CIImage>& image, const CGRect& inRect, const CGRect& fromRect,
                          const CIBitmapSurface& surface) {
    if (!image || !surface.data || surface.width <= 0 || surface.height <= 0) {
        Log::warning(kLog, "drawImage: no image or no surface");
        return false;
    }
    if (surface.format == CIFormat::RGBAf || surface.bytesPerRow < static_cast<std::size_t>(surface.width) * 4) {
        Log::warning(kLog, "drawImage: the surface must be 8-bit with rows of at least its width");
        return false;
    }
    CGRect from = CGRectStandardize(fromRect), in = CGRectStandardize(inRect);
    if (CGRectIsEmpty(from) || CGRectIsEmpty(in) || CGRectIsInfinite(from) || CGRectIsInfinite(in)) {
        Log::warning(kLog, "drawImage: empty or infinite rectangle");
        return false;
    }
    // fromRect (image space) onto inRect (surface pixels, origin at the bottom left).
    const double sx = in.size.width / from.size.width, sy = in.size.height / from.size.height;
    CGAffineTransform toSurface{sx, 0, 0, sy, in.origin.x - from.origin.x * sx, in.origin.y - from.origin.y * sy};
    PixelRect region = intersect(pixelsCovering(in), {0, 0, surface.width, surface.height});
    if (region.empty()) return false;
    if (region.w > maxOutput_.width || region.h > maxOutput_.height) {
        Log::warning(kLog, "drawImage: the target is larger than the context's maximum output size");
        return false;
    }
    CGSize source = largestSource(*image->node());
    if (source.width > maxInput_.width || source.height > maxInput_.height) {
        Log::warning(kLog, "drawImage: an input image is larger than the context's maximum input size");
        return false;
    }
    // Only the part of the image inside fromRect is drawn. The drawing context is the preview's:
    // it samples when it shrinks, so a frame costs what its output pixels cost.
    auto clipped = image->imageByCroppingToRect(from);
    const bool bgra = surface.format == CIFormat::BGRA8;
    run(
        *clipped->node(), region, toSurface, output_,
        [&](const Tile& tile) {
            for (long j = 0; j < tile.rect.h; ++j) {
                std::uint8_t* row =
                    surface.data +
                    static_cast<std::size_t>(surface.height - 1 - (tile.rect.y + j)) * surface.bytesPerRow +
                    static_cast<std::size_t>(tile.rect.x) * 4;
                kernels::blendOverRGBA8(tile.row(0, j), tile.row(1, j), tile.row(2, j), tile.row(3, j),
                                        static_cast<std::size_t>(tile.rect.w), row, bgra);
            }
        },
        kind_ == Kind::GPU);
    return true;
}

std::optional<PixelRect> CIContext::regionOf(const std::shared_ptr<CIImage>& image, const char* what) const {
    if (!image) return std::nullopt;
    CGRect e = image->extent();
    if (CGRectIsInfinite(e) || CGRectIsNull(e) || CGRectIsEmpty(e)) {
        Log::warning(kLog, std::string(what) + " failed: the image's extent is empty or infinite");
        return std::nullopt;
    }
    PixelRect region = outputPixels(e);
    if (auto ok = check(image, region); !ok) {
        Log::warning(kLog, std::string(what) + " failed: " + ok.error());
        return std::nullopt;
    }
    return region;
}

std::optional<RasterRGBA8> CIContext::rasterOf(const std::shared_ptr<CIImage>& image,
                                               const std::shared_ptr<CGColorSpace>& colorSpace, const char* what) {
    auto region = regionOf(image, what);
    if (!region) return std::nullopt;
    const CGRect e = CGRectMake(static_cast<double>(region->x), static_cast<double>(region->y),
                                static_cast<double>(region->w), static_cast<double>(region->h));
    RasterRGBA8 raster = makeRaster(static_cast<int>(region->w), static_cast<int>(region->h), AlphaMode::Straight);
    // Encoded files always hold display values: without a space given, the context's output space.
    const auto& space = colorSpace ? colorSpace : output_;
    if (auto ok = renderInto(image, raster.pixels.data(), raster.rowBytes(), e, CIFormat::RGBA8, space, true); !ok) {
        Log::warning(kLog, std::string(what) + " failed: " + ok.error());
        return std::nullopt;
    }
    return raster;
}

std::optional<std::vector<std::uint8_t>> CIContext::JPEGRepresentationOfImage(
    const std::shared_ptr<CIImage>& image, const std::shared_ptr<CGColorSpace>& colorSpace,
    const ValueDictionary& options) {
    const char* what = "JPEG representation";
    auto region = regionOf(image, what);
    if (!region) return std::nullopt;
    JpegEncodeOptions jpeg;
    if (const Value* q = options.find(kCGImageDestinationLossyCompressionQuality)) jpeg.quality = q->doubleValue();
    Value properties = Value::dictionary();
    for (const auto& [key, value] : options)
        if (key != kCGImageDestinationLossyCompressionQuality) properties.set(key, value);
    if (properties.count() > 0) jpeg.properties = properties;
    const auto& space = colorSpace ? colorSpace : output_;
    if (working_ && space)
        if (auto profile = iccProfileForColorSpace(space->name())) jpeg.iccProfile = std::move(*profile);
    // The picture is rendered in bands of rows on a thread of its own, into a few band buffers
    // used in turn, while this thread encodes each band as soon as it is done: the encode overlaps
    // the render, and the whole picture is never held (nor its memory cleared first).
    const int width = static_cast<int>(region->w), height = static_cast<int>(region->h);
    auto encoder = JpegStripEncoder::start(width, height, jpeg);
    if (!encoder) {
        Log::warning(kLog, std::string(what) + " failed: " + encoder.error());
        return std::nullopt;
    }
    const int band = std::min(height, kJpegBandRows), bands = (height + band - 1) / band;
    const int slots = std::min(bands, kJpegBandSlots);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    const std::size_t slotBytes = rowBytes * static_cast<std::size_t>(band);
    auto buffers = std::make_unique_for_overwrite<std::uint8_t[]>(slotBytes * static_cast<std::size_t>(slots));
    auto slotOf = [&](int k) { return buffers.get() + static_cast<std::size_t>(k % slots) * slotBytes; };
    std::mutex mutex;
    std::condition_variable changed;
    int rendered = 0, encoded = 0;  // bands
    bool stop = false;
    std::optional<std::string> failure;
    std::thread renderer([&] {
        for (int k = 0; k < bands; ++k) {
            {
                // Band k takes the buffer of band k - slots once that band is encoded.
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || encoded > k - slots; });
                if (stop) return;
            }
            const int top = k * band, bottom = std::min(height, top + band);
            // Buffer rows run downwards, the image's y upwards.
            const CGRect rows =
                CGRectMake(static_cast<double>(region->x), static_cast<double>(region->y + height - bottom),
                           static_cast<double>(region->w), bottom - top);
            auto ok = renderInto(image, slotOf(k), rowBytes, rows, CIFormat::RGBA8, space, true);
            std::lock_guard lock(mutex);
            if (ok) {
                rendered = k + 1;
            } else {
                failure = ok.error();
                stop = true;
            }
            changed.notify_all();
            if (!ok) return;
        }
    });
    for (int k = 0; k < bands; ++k) {
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return stop || rendered > k; });
            if (rendered <= k) break;
        }
        const int count = std::min(band, height - k * band);
        if (auto written = (*encoder)->write(slotOf(k), rowBytes, count); !written) {
            std::lock_guard lock(mutex);
            if (!failure) failure = written.error();
            break;
        }
        std::lock_guard lock(mutex);
        encoded = k + 1;
        changed.notify_all();
    }
    {
        // A failed encode releases a renderer waiting for a buffer.
        std::lock_guard lock(mutex);
        stop = true;
        changed.notify_all();
    }
    renderer.join();
    if (failure) {
        Log::warning(kLog, std::string(what) + " failed: " + *failure);
        return std::nullopt;
    }
    auto file = (*encoder)->finish();
    if (!file.ok()) {
        Log::warning(kLog, std::string(what) + " failed: " + file.error());
        return std::nullopt;
    }
    return std::move(file).value();
}

std::optional<std::vector<std::uint8_t>> CIContext::PNGRepresentationOfImage(
    const std::shared_ptr<CIImage>& image, const std::shared_ptr<CGColorSpace>& colorSpace, const ValueDictionary&) {
    auto raster = rasterOf(image, colorSpace, "PNG representation");
    if (!raster) return std::nullopt;
    PngEncodeOptions png;
    if (const auto& space = colorSpace ? colorSpace : output_; working_ && space)
        if (auto profile = iccProfileForColorSpace(space->name())) png.iccProfile = std::move(*profile);
    auto encoded = encodePng(*raster, png);
    if (!encoded.ok()) {
        Log::warning(kLog, "PNG representation failed: " + encoded.error());
        return std::nullopt;
    }
    return std::move(encoded).value();
}
