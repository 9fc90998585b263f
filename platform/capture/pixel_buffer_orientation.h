// Turning sensor frames (landscape, as the camera reads them out) into a connection's orientation.
#pragma once

#include "platform/capture/av_capture_types.h"
#include "platform/capture/cv_pixel_buffer.h"

// The size a frame of the given sensor size has after orienting.
CMVideoDimensions orientedDimensions(CMVideoDimensions sensor, AVCaptureVideoOrientation orientation);

// Writes `src` turned to `orientation` (LandscapeRight is the sensor's own) and then mirrored
// left-right into `dst`, whose size must be orientedDimensions() of the source. False when not.
bool orientPixelBuffer(const CVPixelBuffer& src, CVPixelBuffer& dst, AVCaptureVideoOrientation orientation,
                       bool mirrored);

// The EXIF orientation (1...8) that displays a sensor-oriented picture as the connection wants.
int exifOrientationFor(AVCaptureVideoOrientation orientation, bool mirrored);
