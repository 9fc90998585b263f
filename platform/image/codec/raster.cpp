// Raster helpers: allocation, alpha modes and EXIF orientation.
#include "platform/image/codec/raster.h"

#include <algorithm>

bool RasterRGBA8::isValid() const {
    return width > 0 && height > 0 && pixels.size() == rowBytes() * static_cast<std::size_t>(height);
}

RasterRGBA8 makeRaster(int width, int height, AlphaMode alpha) {
    RasterRGBA8 raster;
    raster.width = std::max(width, 0);
    raster.height = std::max(height, 0);
    raster.alpha = alpha;
    raster.pixels.assign(raster.rowBytes() * static_cast<std::size_t>(raster.height), 0);
    return raster;
}

void premultiplyAlpha(RasterRGBA8& raster) {
    if (raster.alpha == AlphaMode::Premultiplied) return;
    for (std::size_t i = 0; i + 3 < raster.pixels.size(); i += 4) {
        unsigned a = raster.pixels[i + 3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c)
            raster.pixels[i + c] = static_cast<std::uint8_t>((raster.pixels[i + c] * a + 127) / 255);
    }
    raster.alpha = AlphaMode::Premultiplied;
}

void unpremultiplyAlpha(RasterRGBA8& raster) {
    if (raster.alpha == AlphaMode::Straight) return;
    for (std::size_t i = 0; i + 3 < raster.pixels.size(); i += 4) {
        unsigned a = raster.pixels[i + 3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c) {
            unsigned v = a == 0 ? 0 : (raster.pixels[i + c] * 255u + a / 2) / a;
            raster.pixels[i + c] = static_cast<std::uint8_t>(std::min(v, 255u));
        }
    }
    raster.alpha = AlphaMode::Straight;
}

RasterRGBA8 orientRaster(const RasterRGBA8& raster, int exifOrientation) {
    if (exifOrientation < 2 || exifOrientation > 8 || !raster.isValid()) return raster;
    const int w = raster.width, h = raster.height;
    const bool swaps = exifOrientation >= 5;
    RasterRGBA8 out = makeRaster(swaps ? h : w, swaps ? w : h, raster.alpha);
    // For each stored pixel (x, y), where it lands in the upright image.
    auto target = [&](int x, int y) -> std::pair<int, int> {
        switch (exifOrientation) {
            case 2: return {w - 1 - x, y};
            case 3: return {w - 1 - x, h - 1 - y};
            case 4: return {x, h - 1 - y};
            case 5: return {y, x};
            case 6: return {h - 1 - y, x};
            case 7: return {h - 1 - y, w - 1 - x};
            default: return {y, w - 1 - x};  // 8
        }
    };
    const std::size_t outRow = out.rowBytes();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = raster.pixels.data() + static_cast<std::size_t>(y) * raster.rowBytes();
        for (int x = 0; x < w; ++x) {
            auto [tx, ty] = target(x, y);
            std::copy_n(src + static_cast<std::size_t>(x) * 4, 4,
                        out.pixels.data() + static_cast<std::size_t>(ty) * outRow + static_cast<std::size_t>(tx) * 4);
        }
    }
    return out;
}
