// Camera pixel-format conversions.
#include "platform/capture/pixel_conversion.h"

#include <algorithm>

#include "platform/image/codec/jpeg.h"

namespace {

inline std::uint8_t clamp8(int v) {
    return std::uint8_t(std::clamp(v, 0, 255));
}

inline void yuvToBGRA(int y, int u, int v, std::uint8_t* out) {
    int c = (y - 16) * 298, d = u - 128, e = v - 128;
    out[0] = clamp8((c + 516 * d + 128) >> 8);
    out[1] = clamp8((c - 100 * d - 208 * e + 128) >> 8);
    out[2] = clamp8((c + 409 * e + 128) >> 8);
    out[3] = 255;
}

}  // namespace

bool convertYUYVToBGRA(std::span<const std::uint8_t> yuyv, int width, int height, std::size_t bytesPerLine,
                       CVPixelBuffer& out) {
    if (width <= 0 || height <= 0 || width % 2 || int(out.width()) != width || int(out.height()) != height)
        return false;
    if (bytesPerLine < std::size_t(width) * 2 ||
        yuyv.size() < bytesPerLine * std::size_t(height - 1) + std::size_t(width) * 2)
        return false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = yuyv.data() + std::size_t(y) * bytesPerLine;
        std::uint8_t* o = out.row(std::size_t(y));
        for (int x = 0; x < width; x += 2, in += 4, o += 8) {
            yuvToBGRA(in[0], in[1], in[3], o);
            yuvToBGRA(in[2], in[1], in[3], o + 4);
        }
    }
    return true;
}

Result<CVPixelBufferRef> convertMJPEGToBGRA(std::span<const std::uint8_t> jpeg) {
    auto decoded = decodeJpeg(jpeg);
    if (!decoded) return fail(decoded.error());
    return convertRGBAToBGRA(decoded->raster);
}

CVPixelBufferRef convertRGBAToBGRA(const RasterRGBA8& r) {
    auto out = CVPixelBuffer::make(std::size_t(r.width), std::size_t(r.height));
    for (int y = 0; y < r.height; ++y) {
        const std::uint8_t* in = r.pixels.data() + std::size_t(y) * r.rowBytes();
        std::uint8_t* o = out->row(std::size_t(y));
        for (int x = 0; x < r.width; ++x, in += 4, o += 4) o[0] = in[2], o[1] = in[1], o[2] = in[0], o[3] = 255;
    }
    return out;
}
