// Filling a BGRA frame from a larger or smaller picture: centred aspect fill with digital zoom.
#pragma once

#include <cstdint>

#include "platform/capture/av_capture_types.h"
#include "platform/capture/cv_pixel_buffer.h"
#include "platform/runtime/result.h"

// A source picture in BGRA rows.
struct BGRAView {
    const std::uint8_t* pixels = nullptr;
    int width = 0, height = 0;
    std::size_t bytesPerRow = 0;
};

// Scales the source to cover the frame (cropping the overflow, centred), magnified by zoom about
// the centre: rows copied as they are when the sizes match and there is no zoom, else bilinear
// samples (clamped to the source's edge) on the image engine's vectorised row kernel.
void fillFrameFrom(const BGRAView& source, CVPixelBuffer& frame, double zoom);

// The whole of a BGRA buffer as a source picture.
BGRAView bgraView(const CVPixelBuffer& picture);

// A new still of `size` filled from the picture as above; fails on an empty size.
Result<CVPixelBufferRef> makeStillFrom(const CVPixelBuffer& picture, CMVideoDimensions size, double zoom);
