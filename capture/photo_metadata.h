// What a photo says about itself: the TIFF additions (software, date-time, make) the photo
// output's road writes into its buffer, and the whole set a photo made from a live frame carries.
#pragma once

#include <string>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/cm_sample_buffer.h"
#include "platform/runtime/value.h"
#include "platform/sensors/cl_location.h"

inline constexpr const char* kPhotoMake = "Quillon";

// "yyyy:MM:dd HH:mm:ss" of a time (seconds since 2001) in the device's time zone.
std::string tiffDateTime(double absoluteTime);
// Writes Software, DateTime and Make into a copy of the buffer's TIFF attachment (an empty one
// when it has none) and sets the copy back, to be propagated; the TIFF's other entries stay.
void addTiffAdditions(const CMSampleBufferRef& sampleBuffer, const std::string& software, double absoluteTime);

// The properties of a photo made from a live frame (the silent road), for setMetadata: the same
// TIFF additions as the photo output's road plus the camera's model, the camera's Exif dictionary
// as the photo output hands it (when the camera is given), the GPS dictionary when a location is
// given, and an upright orientation, since its pixels are already turned.
Value framePhotoProperties(const std::string& software, const AVCaptureDevice* camera, double absoluteTime,
                           const CLLocation* location);
