// Bitmap contexts: Cairo draws in its own layout; other layouts go through a working copy.
#include "platform/ui/draw/bitmap_context.h"

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <optional>

#include "platform/image/cg_image.h"
#include "platform/image/color_space.h"
#include "platform/ui/draw/cairo_support.h"

struct CGBitmapContext::Layout {
    int r, g, b, a;  // byte index of each channel; a is the skipped byte when there is no alpha
    bool alpha;
};

namespace {

std::optional<CGBitmapContext::Layout> layoutFor(std::uint32_t info) {
    std::uint32_t alpha = info & kCGBitmapAlphaInfoMask, order = info & kCGBitmapByteOrderMask;
    bool little = order == kCGBitmapByteOrder32Little;
    if (order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Big && !little) return std::nullopt;
    switch (alpha) {
        case kCGImageAlphaPremultipliedLast:
            return little ? CGBitmapContext::Layout{3, 2, 1, 0, true} : CGBitmapContext::Layout{0, 1, 2, 3, true};
        case kCGImageAlphaPremultipliedFirst:
            return little ? CGBitmapContext::Layout{2, 1, 0, 3, true} : CGBitmapContext::Layout{1, 2, 3, 0, true};
        case kCGImageAlphaNoneSkipLast:
            return little ? CGBitmapContext::Layout{3, 2, 1, 0, false} : CGBitmapContext::Layout{0, 1, 2, 3, false};
        case kCGImageAlphaNoneSkipFirst:
            return little ? CGBitmapContext::Layout{2, 1, 0, 3, false} : CGBitmapContext::Layout{1, 2, 3, 0, false};
        default: return std::nullopt;
    }
}

}  // namespace

std::shared_ptr<CGBitmapContext> CGBitmapContextCreate(void* data, std::size_t width, std::size_t height,
                                                       std::size_t bitsPerComponent, std::size_t bytesPerRow,
                                                       std::shared_ptr<CGColorSpace> space, std::uint32_t bitmapInfo) {
    if (bitsPerComponent != 8 || width == 0 || height == 0) return nullptr;
    if (width > (1u << 15) || height > (1u << 15) || width * height > (std::size_t(1) << 28)) return nullptr;
    bool gray = space && space->model() == CGColorSpaceModel::Monochrome;
    std::size_t bytesPerPixel = gray ? 1 : 4;
    if (gray && (bitmapInfo & kCGBitmapAlphaInfoMask) != kCGImageAlphaNone) return nullptr;
    std::optional<CGBitmapContext::Layout> layout;
    if (!gray) {
        layout = layoutFor(bitmapInfo);
        if (!layout) return nullptr;
    }
    if (bytesPerRow == 0) bytesPerRow = width * bytesPerPixel;
    if (bytesPerRow < width * bytesPerPixel) return nullptr;

    std::vector<std::uint8_t> owned;
    if (!data) {
        owned.assign(bytesPerRow * height, 0);
        data = owned.data();
    }
    bool hasAlpha = !gray && layout->alpha;
    cairo_format_t format = hasAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    // Cairo's own layout is BGRA in memory on this (little-endian) machine.
    bool native = !gray && layout->b == 0 && layout->g == 1 && layout->r == 2 && layout->a == 3 && bytesPerRow % 4 == 0;
    cairo_surface_t* surface = native ? cairo_image_surface_create_for_data(static_cast<unsigned char*>(data), format,
                                                                            int(width), int(height), int(bytesPerRow))
                                      : cairo_image_surface_create(format, int(width), int(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_t* cr = cairo_create(surface);
    // y up: user (0, 0) is the bottom-left corner.
    CGAffineTransform flip = {1, 0, 0, -1, 0, double(height)};
    cairo_matrix_t m = toCairoMatrix(flip);
    cairo_set_matrix(cr, &m);
    auto context = make<CGBitmapContext>(cr, surface, data, std::move(owned), width, height, bytesPerRow, bytesPerPixel,
                                         bitmapInfo, !native, gray);
    cairo_destroy(cr);
    if (!native) context->copyIn();
    return context;
}

CGBitmapContext::CGBitmapContext(cairo_t* cr, cairo_surface_t* surface, void* data, std::vector<std::uint8_t> owned,
                                 std::size_t width, std::size_t height, std::size_t bytesPerRow,
                                 std::size_t bytesPerPixel, std::uint32_t info, bool converted, bool gray)
    : CGContext(cr, {1, 0, 0, -1, 0, double(height)}),
      surface_(surface),
      data_(data),
      owned_(std::move(owned)),
      width_(width),
      height_(height),
      bytesPerRow_(bytesPerRow),
      bytesPerPixel_(bytesPerPixel),
      info_(info),
      converted_(converted),
      gray_(gray) {
    if (!owned_.empty()) data_ = owned_.data();
}

// Converted pixels are already written back after every drawing, so the caller's memory is not
// touched here (it may be gone by the time the last reference goes).
CGBitmapContext::~CGBitmapContext() {
    cairo_surface_destroy(surface_);
}

void CGBitmapContext::flush() {
    cairo_surface_flush(surface_);
    if (converted_) copyOut();
}

void CGBitmapContext::didDraw() {
    cairo_surface_flush(surface_);
    if (converted_) copyOut();
}

void CGBitmapContext::copyIn() {
    cairo_surface_flush(surface_);
    unsigned char* dst = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    auto layout = layoutFor(info_);
    for (std::size_t y = 0; y < height_; ++y) {
        const auto* src = static_cast<const std::uint8_t*>(data_) + y * bytesPerRow_;
        unsigned char* out = dst + y * stride;
        for (std::size_t x = 0; x < width_; ++x) {
            if (gray_) {
                std::uint8_t v = src[x];
                out[x * 4 + 0] = out[x * 4 + 1] = out[x * 4 + 2] = v;
                out[x * 4 + 3] = 255;
                continue;
            }
            const std::uint8_t* p = src + x * 4;
            out[x * 4 + 0] = p[layout->b];
            out[x * 4 + 1] = p[layout->g];
            out[x * 4 + 2] = p[layout->r];
            out[x * 4 + 3] = layout->alpha ? p[layout->a] : 255;
        }
    }
    cairo_surface_mark_dirty(surface_);
}

void CGBitmapContext::copyOut() {
    const unsigned char* src = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    auto layout = layoutFor(info_);
    for (std::size_t y = 0; y < height_; ++y) {
        const unsigned char* in = src + y * stride;
        auto* out = static_cast<std::uint8_t*>(data_) + y * bytesPerRow_;
        for (std::size_t x = 0; x < width_; ++x) {
            const unsigned char* p = in + x * 4;
            if (gray_) {
                double v = 0.2126 * p[2] + 0.7152 * p[1] + 0.0722 * p[0];
                out[x] = static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
                continue;
            }
            std::uint8_t* q = out + x * 4;
            q[layout->r] = p[2];
            q[layout->g] = p[1];
            q[layout->b] = p[0];
            q[layout->a] = layout->alpha ? p[3] : 255;
        }
    }
}

std::shared_ptr<CGImage> CGBitmapContext::makeImage() {
    cairo_surface_flush(surface_);
    return imageFromSurface(surface_);
}
