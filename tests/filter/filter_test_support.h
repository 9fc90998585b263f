// Small images and record lookups shared by the filter tests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/runtime/value.h"

// A solid RGBA image without a colour space (values used as they are).
inline std::shared_ptr<CIImage> solidImage(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < px.size(); i += 4) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
        px[i + 3] = 255;
    }
    return CIImage::imageWithBitmapData(std::move(px), static_cast<std::size_t>(w) * 4, w, h, CIFormat::RGBA8,
                                        CIAlphaMode::Premultiplied, nullptr);
}

inline std::shared_ptr<CIContext> unmanagedContext(ValueDictionary extra = {}) {
    ValueDictionary options{{kCIContextWorkingColorSpace, Value("kCGColorSpaceNULL")}};
    for (const auto& [k, v] : extra) options.set(k, v);
    return CIContext::contextWithOptions(options);
}

// The first pixel of the image's extent, rendered as RGBA.
inline std::vector<int> firstPixel(CIContext& context, const std::shared_ptr<CIImage>& image) {
    CGRect e = image->extent();
    auto bitmap = context.createCGImage(image, CGRectMake(e.origin.x, e.origin.y, 1, 1),
                                        CGImagePixelLayout::RGBA8Premultiplied, nullptr);
    if (!bitmap) return {};
    const std::uint8_t* p = bitmap->data();
    return {p[0], p[1], p[2], p[3]};
}

// The pixel at (x, y) of image space, rendered as RGBA.
inline std::vector<int> pixelAt(CIContext& context, const std::shared_ptr<CIImage>& image, double x, double y) {
    auto bitmap = context.createCGImage(image, CGRectMake(x, y, 1, 1), CGImagePixelLayout::RGBA8Premultiplied, nullptr);
    if (!bitmap) return {};
    const std::uint8_t* p = bitmap->data();
    return {p[0], p[1], p[2], p[3]};
}

inline const Value& recordOf(const Value& tree, const char* key) {
    return tree["value"][key];
}
