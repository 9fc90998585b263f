// The Exif dictionary a camera hands with each photo: when it was taken (with the sub-second and
// the time zone, so that photo managers can date and order it), the exposure and ISO the device
// used, the lens's f-number and focal length where the source knows them, white balance and flash.
#pragma once

#include "platform/capture/av_capture_types.h"
#include "platform/capture/cv_pixel_buffer.h"
#include "platform/runtime/value.h"

class AVCaptureDevice;

// "yyyy:MM:dd HH:mm:ss" of a time (seconds since 2001) in the local time zone.
std::string exifDateTime(double absoluteTime);

// `flashMode` is the mode the photo was taken with; `flashFired` whether the flash lit it.
Value captureExifDictionary(const AVCaptureDevice& device, double absoluteTime, AVCaptureFlashMode flashMode,
                            bool flashFired);

// The exposure a frame's pixels were made with, stamped on the frame by its source as it makes
// them: a dictionary holding ExposureTime and ISOSpeedRatings as the Exif dictionary has them. The
// device may have moved on by the time the frame becomes a photo; the photo states the frame's.
inline constexpr const char* kCaptureFrameExposureAttachment = "KorvaFrameExposure";
void stampFrameExposure(CVPixelBuffer& frame, CMTime duration, float iso);
// Puts a stamped exposure (when `stamp` is one) into an Exif dictionary, in place of its own.
void takeFrameExposure(const Value& exif, const Value& stamp);
