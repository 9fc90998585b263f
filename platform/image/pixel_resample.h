// Bilinear resampling of 8-bit four-channel bitmaps on the engine's vectorised row kernel, for
// callers that move whole frames (camera frames scaled to a stream, stills).
#pragma once

#include <cstddef>
#include <cstdint>

// Fills the destination (dw x dh pixels, rows top first) by sampling the source (sw x sh) at
// (x0 + (x + 0.5) * step - 0.5, y0 + (y + 0.5) * step - 0.5) for destination pixel (x, y): source
// pixels per destination pixel `step`, the offsets in source pixels. Positions past the source's
// edge take its edge pixels. The four channels are carried as they are, in the order they come.
void resampleRGBA8Clamped(const std::uint8_t* src, int sw, int sh, std::size_t srcStride, std::uint8_t* dst, int dw,
                          int dh, std::size_t dstStride, double x0, double y0, double step);
