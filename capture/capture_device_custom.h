// Device lookup and device limits on capture devices, and the orientation of a capture connection.
#pragma once

#include <memory>
#include <utility>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/av_capture_output.h"

// The built-in wide-angle camera of the media type at the position (1 back, 2 front), or null.
std::shared_ptr<AVCaptureDevice> deviceWithMediaType(AVMediaType type, std::int64_t position);
// The microphone the host's audio input uses, or null.
std::shared_ptr<AVCaptureDevice> defaultMicrophone();

// (temperature, tint) of the neutral gains (1, 1, 1) and of the largest equal gains.
std::pair<float, float> minTemperatureAndTint(const AVCaptureDevice& device);
std::pair<float, float> maxTemperatureAndTint(const AVCaptureDevice& device);
// The smaller of 6 and the active format's largest zoom factor (1 without a format).
double maxZoom(const AVCaptureDevice& device);
bool isLockedFocus(const AVCaptureDevice& device);
bool isLockedExposure(const AVCaptureDevice& device);
bool isLockedWhiteBalance(const AVCaptureDevice& device);

// Sets the connection's orientation and mirroring as shot: orientations 1 and 2 pass, 3 and 4 are
// exchanged; automatic mirroring goes off and the front camera (position other than 1) is mirrored
// when frontMirrored is set.
void adjustOrientation(AVCaptureConnection& connection, std::int64_t orientation, std::int64_t position,
                       bool frontMirrored);
