// The "image:PATH" camera: a still picture shown as a live camera, looped at the frame rate, the
// right way up at its own size (scaled down to twelve megapixels, and to the sides the preview can
// show, when larger).
// It offers only what a picture can: zoom (digital) and photos at the picture's own size; focus,
// exposure and white balance read as locked and unsupported otherwise.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_device_driver.h"
#include "platform/capture/frame_scaling.h"

class ImageFileCameraDriver : public CaptureDeviceDriver {
public:
    explicit ImageFileCameraDriver(CVPixelBufferRef picture) : picture_(std::move(picture)) {}

    Result<std::unique_ptr<CaptureStream>> startVideo(CMVideoDimensions size, double frameRate,
                                                      CaptureVideoSink sink) override;
    Result<CVPixelBufferRef> captureStill(const CaptureStillRequest& request) override;

private:
    CVPixelBufferRef picture_;
};

// A picture of more pixels than this is scaled down to it (keeping its shape) when no size is
// asked: every frame is filled from the picture and goes through the preview and the photo road,
// and twelve megapixels (a 4032x3024 sensor) keep the frame rate.
inline constexpr double kLargestOwnFramePixels = 4032.0 * 3024.0;
// The size a picture's frames take when none is asked, within kLargestOwnFramePixels and the sides
// the preview can show: none when the picture's own size is used.
std::optional<CMVideoDimensions> boundedFrameSize(int width, int height);

// Decodes the picture and makes the device (positioned as the back camera); its frames are of the
// picture's size (bounded as above) unless a size is given.
Result<std::shared_ptr<AVCaptureDevice>> makeImageFileCamera(const std::string& path,
                                                             std::optional<CMVideoDimensions> size = {});
