// The "v4l2:/dev/videoN" camera: a webcam read directly through Video4Linux2 (memory-mapped
// streaming of YUYV or motion-JPEG frames). The camera's own controls are mapped onto the device
// model where it has them: automatic and manual exposure (duration, gain as ISO), white balance
// (automatic, or a temperature from locked gains), focus (automatic, or an absolute position as
// the lens position) and a torch LED. What it lacks reads as unsupported; zoom is digital.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/av_capture_device.h"
#include "platform/runtime/result.h"

// Opens one device ("/dev/video0"), or with an empty path every capture device found.
Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openV4l2Cameras(const std::string& path);
