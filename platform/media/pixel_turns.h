// Turning a picture by clockwise quarter turns, as a movie's preferred transform asks.
#pragma once

#include "platform/capture/cv_pixel_buffer.h"

// A new buffer, or the same one for zero turns.
CVPixelBufferRef turnPixelBuffer(const CVPixelBufferRef& src, int quarterTurns);
