// Builds without FFmpeg: the video-file source reports that it is not there.
#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/runtime/result.h"

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openVideoFileCamera(const CameraSource&) {
    return fail("this build has no video-file support (FFmpeg's libraries are missing)");
}
