// Helpers for image tests: small random bitmaps, rendering to bytes, filter shortcuts.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/image/ci_context.h"
#include "platform/image/ci_filter.h"
#include "platform/image/ci_image.h"
#include "platform/image/ci_vector.h"

namespace imagetest {

struct Bitmap {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // rows top to bottom
    const std::uint8_t* at(int x, int yFromTop) const {
        return &rgba[(static_cast<std::size_t>(yFromTop) * width + x) * 4];
    }
};

inline Bitmap randomBitmap(int w, int h, unsigned seed, bool opaque = true) {
    Bitmap b{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4)};
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < b.rgba.size(); ++i) b.rgba[i] = static_cast<std::uint8_t>(rng() & 0xFF);
    if (opaque)
        for (std::size_t i = 3; i < b.rgba.size(); i += 4) b.rgba[i] = 255;
    return b;
}

// An unmanaged image of the bitmap (values used as stored).
inline std::shared_ptr<CIImage> imageOf(const Bitmap& b) {
    return CIImage::imageWithBitmapData(b.rgba, static_cast<std::size_t>(b.width) * 4, b.width, b.height,
                                        CIFormat::RGBA8, CIAlphaMode::Premultiplied, nullptr);
}

// A context without colour management; threads 0 = the whole pool.
inline std::shared_ptr<CIContext> plainContext(int threads = 0) {
    return CIContext::contextWithOptions(
        {{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}, {kCIContextThreadCount, Value(threads)}});
}

// Renders rect (image coordinates) to RGBA8 premultiplied bytes; empty on failure.
inline Bitmap render(const std::shared_ptr<CIContext>& context, const std::shared_ptr<CIImage>& image, CGRect rect) {
    Bitmap b{static_cast<int>(rect.size.width), static_cast<int>(rect.size.height), {}};
    b.rgba.resize(static_cast<std::size_t>(b.width) * b.height * 4);
    if (!context->render(image, b.rgba.data(), static_cast<std::size_t>(b.width) * 4, rect, CIFormat::RGBA8, nullptr))
        return {};
    return b;
}

inline std::shared_ptr<CIImage> filtered(const std::string& name, const std::shared_ptr<CIImage>& image,
                                         const ValueDictionary& params = {}) {
    auto filter = CIFilter::filterWithName(name, params);
    if (!filter) return nullptr;
    filter->setValue(Value(image), kCIInputImageKey);
    return filter->outputImage();
}

inline Value floatsData(const std::vector<float>& floats) {
    Bytes bytes(floats.size() * sizeof(float));
    std::memcpy(bytes.data(), floats.data(), bytes.size());
    return Value::data(std::move(bytes));
}

}  // namespace imagetest
