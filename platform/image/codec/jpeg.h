// JPEG encode and decode.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "platform/image/codec/raster.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// The quality used when the caller sets none.
inline constexpr double kDefaultJpegQuality = 0.8;

struct JpegEncodeOptions {
    double quality = kDefaultJpegQuality;  // 0...1 as the application gives it; clamped
    bool progressive = false;
    Bytes iccProfile{};  // embedded when not empty (see iccProfileForColorSpace)
    // An image-properties dictionary ("{TIFF}", "{Exif}", "{GPS}", "Orientation", ...) written into
    // the file; null for none. The orientation is recorded only: pixels are stored as given.
    Value properties{};
};

// Alpha is dropped: straight pixels keep their colour, premultiplied ones come out as over black.
Result<Bytes> encodeJpeg(const RasterRGBA8& raster, const JpegEncodeOptions& options = {});
// The same for a raster whose rows are still being written: before the encoder reads a row it
// calls rowsReady with the number of rows from the top it needs, which returns once they are
// written, or false to give up (the encode then fails).
using JpegRowsReady = std::function<bool(int rows)>;
Result<Bytes> encodeJpeg(const RasterRGBA8& raster, const JpegEncodeOptions& options, const JpegRowsReady& rowsReady);

// Decodes baseline and progressive files, grey, YCbCr, RGB, CMYK and YCCK, to RGBA8. CMYK is
// always converted, through its embedded profile to sRGB when it has one (convertedToSRGB is
// then set). Corrupt or truncated data gives a failure, never partial pixels.
Result<DecodedImage> decodeJpeg(std::span<const std::uint8_t> data, const ImageDecodeOptions& options = {});

// Size, components, orientation and profile presence from the headers alone.
Result<ImageInfo> readJpegInfo(std::span<const std::uint8_t> data);

// The scaled size decodeJpeg gives for a stored size and the minimum size asked for.
struct JpegScale {
    int numerator = 8;  // out of 8
    int width = 0;
    int height = 0;
};
JpegScale jpegDecodeScale(int storedWidth, int storedHeight, int minWidth, int minHeight);
