// The still-picture camera source.
#include "platform/capture/image_file_camera.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/capture/capture_device_registry.h"
#include "platform/capture/clocked_stream.h"
#include "platform/capture/file_camera_capabilities.h"
#include "platform/capture/frame_size_limits.h"
#include "platform/capture/pixel_conversion.h"
#include "platform/image/codec/image_data.h"

Result<std::unique_ptr<CaptureStream>> ImageFileCameraDriver::startVideo(CMVideoDimensions size, double frameRate,
                                                                         CaptureVideoSink sink) {
    if (size.width <= 0 || size.height <= 0 || !(frameRate > 0)) return fail("invalid stream size or rate");
    return startClockedVideo(
        "korva.capture.image.stream", size, frameRate,
        [this](CVPixelBuffer& frame, double) { fillFrameFrom(bgraView(*picture_), frame, zoomFactor()); },
        std::move(sink));
}

Result<CVPixelBufferRef> ImageFileCameraDriver::captureStill(const CaptureStillRequest& request) {
    return makeStillFrom(*picture_, request.dimensions, zoomFactor());
}

std::optional<CMVideoDimensions> boundedFrameSize(int width, int height) {
    CMVideoDimensions size{width, height};
    bool bounded = false;
    if (const double pixels = double(width) * height; pixels > kLargestOwnFramePixels) {
        const double scale = std::sqrt(kLargestOwnFramePixels / pixels);
        // Floored (a hair's rounding error aside), so that the result never passes the bound.
        auto side = [scale](int n) { return std::max(1, int(std::floor(n * scale + 1e-6))); };
        size = {side(width), side(height)};
        bounded = true;
    }
    // A long, narrow picture may hold few pixels and still be too wide to show.
    if (auto shown = shownFrameSize(size)) {
        size = *shown;
        bounded = true;
    }
    return bounded ? std::optional(size) : std::nullopt;
}

Result<std::shared_ptr<AVCaptureDevice>> makeImageFileCamera(const std::string& path,
                                                             std::optional<CMVideoDimensions> size) {
    if (path.empty()) return fail("image: needs a file path");
    ImageDecodeOptions options;
    options.applyOrientation = true;
    options.maxPixels = 64'000'000;
    auto decoded = decodeImageFile(path, options);
    if (!decoded) return fail("cannot read the picture " + path + ": " + decoded.error());
    // The picture is kept as it stands, the right way up: frames and photos take its size and
    // shape (or the size asked for) and are not turned to a connection's orientation.
    CVPixelBufferRef picture = convertRGBAToBGRA(decoded->raster);
    if (!size) {
        if (auto bounded = boundedFrameSize(int(picture->width()), int(picture->height()))) {
            auto scaled = makeStillFrom(*picture, *bounded, 1);
            if (!scaled) return fail("cannot scale the picture " + path + ": " + scaled.error());
            logFileFrameSize("picture", path, {int(picture->width()), int(picture->height())}, *bounded);
            picture = std::move(*scaled);
        }
    }
    CMVideoDimensions own = size.value_or(CMVideoDimensions{int(picture->width()), int(picture->height())});
    auto c = fileCameraCapabilities("korva.image:" + path, "Picture Camera", own.width, own.height);
    return AVCaptureDevice::make(c, std::make_unique<ImageFileCameraDriver>(picture));
}

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openImageCamera(const CameraSource& source) {
    auto device = makeImageFileCamera(source.argument, source.size);
    if (!device) return fail(device.error());
    return std::vector<std::shared_ptr<AVCaptureDevice>>{*device};
}
