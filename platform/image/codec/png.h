// PNG encode and decode.
#pragma once

#include <cstdint>
#include <span>

#include "platform/image/codec/raster.h"
#include "platform/runtime/result.h"

struct PngEncodeOptions {
    int compressionLevel = 6;  // zlib level 0...9
    Bytes iccProfile{};        // embedded as an iCCP chunk when not empty
};

// Writes 8-bit RGBA (straight alpha; premultiplied rasters are converted on the way).
Result<Bytes> encodePng(const RasterRGBA8& raster, const PngEncodeOptions& options = {});

// Decodes every PNG colour type and depth (grey, palette, 16-bit, with or without alpha and
// transparency chunks) to straight RGBA8. Interlaced files are accepted.
Result<DecodedImage> decodePng(std::span<const std::uint8_t> data, const ImageDecodeOptions& options = {});

Result<ImageInfo> readPngInfo(std::span<const std::uint8_t> data);
