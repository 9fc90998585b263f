// The "image:PATH" camera: a still picture shown as a live camera, looped at the frame rate, the
// right way up at its own size.
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

// Decodes the picture and makes the device (positioned as the back camera); its frames are of the
// picture's size unless a size is given.
Result<std::shared_ptr<AVCaptureDevice>> makeImageFileCamera(const std::string& path,
                                                             std::optional<CMVideoDimensions> size = {});
