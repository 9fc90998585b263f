// The "libcamera[:ID]" source: cameras of the Linux camera stack (USB webcams and phone sensors
// alike). Exposure time and analogue gain, colour gains, lens position and the autofocus modes
// map onto the device model (libcamera_mapping.h); the stack's reports of its automatic modes
// drive the adjusting flags. What a camera lacks reads as unsupported; zoom is digital.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/av_capture_device.h"
#include "platform/runtime/result.h"

// Every camera the stack lists, or the one with the given id.
Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openLibcameraCameras(const std::string& id);
