// Aspect-fill scaling with zoom.
#include "platform/capture/frame_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/image/pixel_resample.h"

void fillFrameFrom(const BGRAView& src, CVPixelBuffer& frame, double zoom) {
    const int fw = int(frame.width()), fh = int(frame.height());
    if (!src.pixels || src.width <= 0 || src.height <= 0 || fw <= 0 || fh <= 0) return;
    zoom = std::max(1.0, zoom);
    if (src.width == fw && src.height == fh && zoom == 1.0) {
        // The same size: the rows as they are.
        const std::size_t bytes = std::size_t(fw) * 4;
        for (int y = 0; y < fh; ++y)
            std::memcpy(frame.row(std::size_t(y)), src.pixels + std::size_t(y) * src.bytesPerRow, bytes);
        return;
    }
    // Source pixels per frame pixel: cover the frame, then magnify.
    const double step = std::min(double(src.width) / fw, double(src.height) / fh) / zoom;
    const double x0 = (src.width - fw * step) / 2, y0 = (src.height - fh * step) / 2;
    resampleRGBA8Clamped(src.pixels, src.width, src.height, src.bytesPerRow, frame.baseAddress(), fw, fh,
                         frame.bytesPerRow(), x0, y0, step);
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
