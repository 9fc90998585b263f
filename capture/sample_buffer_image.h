// A video frame as an image recipe, for the screens' last sample and still capture.
#pragma once

#include <memory>

#include "platform/capture/cm_sample_buffer.h"
#include "platform/image/ci_image.h"

// The frame's BGRA pixels, shared (the image keeps the pixel buffer alive), used as they are
// without colour management; none for a buffer without pixels.
std::shared_ptr<CIImage> imageWithPixelBuffer(const CVPixelBufferRef& pixels);
std::shared_ptr<CIImage> imageWithSampleBuffer(const CMSampleBufferRef& sampleBuffer);
