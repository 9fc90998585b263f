// The TIFF additions a photo gets before its JPEG is made: software, date-time and make.
#pragma once

#include <string>

#include "platform/capture/cm_sample_buffer.h"

inline constexpr const char* kPhotoMake = "Quillon";

// "yyyy:MM:dd HH:mm:ss" of a time (seconds since 2001) in the device's time zone.
std::string tiffDateTime(double absoluteTime);
// Writes Software, DateTime and Make into a copy of the buffer's TIFF attachment (an empty one
// when it has none) and sets the copy back, to be propagated; the TIFF's other entries stay.
void addTiffAdditions(const CMSampleBufferRef& sampleBuffer, const std::string& software, double absoluteTime);
