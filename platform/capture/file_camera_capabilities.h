// What a camera made from a file (a picture or a video) can do: digital zoom up to 8x, photos at
// the file's own size, and focus, exposure and white balance locked. It is positioned as an
// external back camera.
#pragma once

#include <string>

#include "platform/capture/av_capture_device.h"

// The formats are 1920x1080, 3840x2160, the file's own size, 1280x720 and 640x480; the Photo
// preset uses the file's size format and writes frames of `photoPresetSize`.
AVCaptureDeviceCapabilities fileCameraCapabilities(std::string uniqueID, std::string localizedName, int width,
                                                   int height, CMVideoDimensions photoPresetSize);
