// Rotation and mirroring of BGRA frames.
#include "platform/capture/pixel_buffer_orientation.h"

#include <cstdint>
#include <cstring>

CMVideoDimensions orientedDimensions(CMVideoDimensions sensor, AVCaptureVideoOrientation orientation) {
    bool turned = orientation == AVCaptureVideoOrientation::Portrait ||
                  orientation == AVCaptureVideoOrientation::PortraitUpsideDown;
    return turned ? CMVideoDimensions{sensor.height, sensor.width} : sensor;
}

bool orientPixelBuffer(const CVPixelBuffer& src, CVPixelBuffer& dst, AVCaptureVideoOrientation orientation,
                       bool mirrored) {
    const int sw = int(src.width()), sh = int(src.height());
    auto want = orientedDimensions({sw, sh}, orientation);
    if (int(dst.width()) != want.width || int(dst.height()) != want.height) return false;
    const int dw = want.width, dh = want.height;
    for (int y = 0; y < dh; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(dst.row(y));
        // Source coordinates of destination pixel (x, y) before mirroring.
        switch (orientation) {
            case AVCaptureVideoOrientation::LandscapeRight: std::memcpy(out, src.row(y), std::size_t(dw) * 4); break;
            case AVCaptureVideoOrientation::LandscapeLeft: {  // half a turn
                auto* in = reinterpret_cast<const std::uint32_t*>(src.row(sh - 1 - y));
                for (int x = 0; x < dw; ++x) out[x] = in[sw - 1 - x];
                break;
            }
            case AVCaptureVideoOrientation::Portrait:  // a quarter turn clockwise
                for (int x = 0; x < dw; ++x) out[x] = reinterpret_cast<const std::uint32_t*>(src.row(sh - 1 - x))[y];
                break;
            case AVCaptureVideoOrientation::PortraitUpsideDown:  // a quarter turn anticlockwise
                for (int x = 0; x < dw; ++x) out[x] = reinterpret_cast<const std::uint32_t*>(src.row(x))[sw - 1 - y];
                break;
        }
        if (mirrored)
            for (int a = 0, b = dw - 1; a < b; ++a, --b) std::swap(out[a], out[b]);
    }
    return true;
}

int exifOrientationFor(AVCaptureVideoOrientation orientation, bool mirrored) {
    switch (orientation) {
        case AVCaptureVideoOrientation::LandscapeRight: return mirrored ? 2 : 1;
        case AVCaptureVideoOrientation::LandscapeLeft: return mirrored ? 4 : 3;
        case AVCaptureVideoOrientation::Portrait: return mirrored ? 5 : 6;
        case AVCaptureVideoOrientation::PortraitUpsideDown: return mirrored ? 7 : 8;
    }
    return 1;
}
