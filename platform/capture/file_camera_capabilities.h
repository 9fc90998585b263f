// What a camera made from a file (a picture or a video) can do: digital zoom up to 8x, frames and
// photos at the file's own size (or the size the source was given), and focus, exposure and white
// balance locked. It is positioned as an external back camera whose frames come upright.
#pragma once

#include <string>

#include "platform/capture/av_capture_device.h"

AVCaptureDeviceCapabilities fileCameraCapabilities(std::string uniqueID, std::string localizedName, int width,
                                                   int height);

// Narrows a camera to a source of one frame size: a single format of that size (its other facts
// taken from the camera's first format, photos at that size), Photo and High at that size, and
// only the presets whose frames fit within it, turned to the source's orientation (4K only when it
// is the source's own size, so that photos keep the source's size).
void fitCapabilitiesToSource(AVCaptureDeviceCapabilities& capabilities, CMVideoDimensions size);
