// The still-picture camera source.
#include "platform/capture/image_file_camera.h"

#include <cstring>

#include "platform/capture/capture_device_registry.h"
#include "platform/capture/clocked_stream.h"
#include "platform/capture/file_camera_capabilities.h"
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

Result<std::shared_ptr<AVCaptureDevice>> makeImageFileCamera(const std::string& path) {
    if (path.empty()) return fail("image: needs a file path");
    ImageDecodeOptions options;
    options.applyOrientation = true;
    options.maxPixels = 64'000'000;
    auto decoded = decodeImageFile(path, options);
    if (!decoded) return fail("cannot read the picture " + path + ": " + decoded.error());
    const RasterRGBA8& r = decoded->raster;
    // The sensor reads landscape; a portrait picture is stored turned so that a portrait
    // connection shows it upright.
    CVPixelBufferRef picture = convertRGBAToBGRA(r);
    if (r.height > r.width) {
        auto turned = CVPixelBuffer::make(picture->height(), picture->width());
        for (std::size_t y = 0; y < turned->height(); ++y)
            for (std::size_t x = 0; x < turned->width(); ++x)
                std::memcpy(turned->row(y) + x * 4, picture->row(x) + (picture->width() - 1 - y) * 4, 4);
        picture = turned;
    }
    int w = int(picture->width()), h = int(picture->height());

    // Photos at the picture's size; the Photo preset's frames stay 4:3.
    auto c = fileCameraCapabilities("korva.image:" + path, "Picture Camera", w, h, {1440, 1080});
    return AVCaptureDevice::make(c, std::make_unique<ImageFileCameraDriver>(picture));
}

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openImageCamera(const std::string& argument) {
    auto device = makeImageFileCamera(argument);
    if (!device) return fail(device.error());
    return std::vector<std::shared_ptr<AVCaptureDevice>>{*device};
}
