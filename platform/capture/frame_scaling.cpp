// Aspect-fill scaling with zoom.
#include "platform/capture/frame_scaling.h"

#include <algorithm>
#include <cmath>
#include <vector>

void fillFrameFrom(const BGRAView& src, CVPixelBuffer& frame, double zoom) {
    const int fw = int(frame.width()), fh = int(frame.height());
    if (!src.pixels || src.width <= 0 || src.height <= 0 || fw <= 0 || fh <= 0) return;
    zoom = std::max(1.0, zoom);
    // Source pixels per frame pixel: cover the frame, then magnify.
    double scale = std::min(double(src.width) / fw, double(src.height) / fh) / zoom;
    double x0 = (src.width - fw * scale) / 2, y0 = (src.height - fh * scale) / 2;

    std::vector<int> xa(fw), xb(fw);
    std::vector<int> xw(fw);
    for (int x = 0; x < fw; ++x) {
        double sx = std::clamp(x0 + (x + 0.5) * scale - 0.5, 0.0, double(src.width - 1));
        xa[x] = int(sx);
        xb[x] = std::min(xa[x] + 1, src.width - 1);
        xw[x] = int((sx - xa[x]) * 256);
    }
    for (int y = 0; y < fh; ++y) {
        double sy = std::clamp(y0 + (y + 0.5) * scale - 0.5, 0.0, double(src.height - 1));
        int ya = int(sy), yb = std::min(ya + 1, src.height - 1), yw = int((sy - ya) * 256);
        const std::uint8_t* ra = src.pixels + std::size_t(ya) * src.bytesPerRow;
        const std::uint8_t* rb = src.pixels + std::size_t(yb) * src.bytesPerRow;
        std::uint8_t* out = frame.row(y);
        for (int x = 0; x < fw; ++x) {
            for (int c = 0; c < 4; ++c) {
                int top = ra[xa[x] * 4 + c] * (256 - xw[x]) + ra[xb[x] * 4 + c] * xw[x];
                int bottom = rb[xa[x] * 4 + c] * (256 - xw[x]) + rb[xb[x] * 4 + c] * xw[x];
                out[x * 4 + c] = std::uint8_t((top * (256 - yw) + bottom * yw + (1 << 15)) >> 16);
            }
        }
    }
}

BGRAView bgraView(const CVPixelBuffer& picture) {
    return {picture.baseAddress(), int(picture.width()), int(picture.height()), picture.bytesPerRow()};
}

Result<CVPixelBufferRef> makeStillFrom(const CVPixelBuffer& picture, CMVideoDimensions size, double zoom) {
    if (size.width <= 0 || size.height <= 0) return fail("empty photo size");
    auto still = CVPixelBuffer::make(std::size_t(size.width), std::size_t(size.height));
    fillFrameFrom(bgraView(picture), *still, zoom);
    return still;
}
