// The still-picture camera source.
#include "platform/capture/image_file_camera.h"

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
    CMVideoDimensions own = size.value_or(CMVideoDimensions{int(picture->width()), int(picture->height())});
    auto c = fileCameraCapabilities("korva.image:" + path, "Picture Camera", own.width, own.height);
    return AVCaptureDevice::make(c, std::make_unique<ImageFileCameraDriver>(picture));
}

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openImageCamera(const CameraSource& source) {
    auto device = makeImageFileCamera(source.argument, source.size);
    if (!device) return fail(device.error());
    return std::vector<std::shared_ptr<AVCaptureDevice>>{*device};
}
