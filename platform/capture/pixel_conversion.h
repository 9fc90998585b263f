// Conversions of camera pixel formats into BGRA frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/capture/cv_pixel_buffer.h"
#include "platform/runtime/result.h"

struct RasterRGBA8;

// Packed 4:2:2 YUYV (BT.601, limited range) into a BGRA buffer of the same size.
bool convertYUYVToBGRA(std::span<const std::uint8_t> yuyv, int width, int height, std::size_t bytesPerLine,
                       CVPixelBuffer& out);
// A motion-JPEG frame into a new BGRA buffer.
Result<CVPixelBufferRef> convertMJPEGToBGRA(std::span<const std::uint8_t> jpeg);
// A decoded RGBA picture into a new opaque BGRA buffer of the same size.
CVPixelBufferRef convertRGBAToBGRA(const RasterRGBA8& raster);
