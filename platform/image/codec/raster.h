// Bitmaps and decode results that pass between the image engine and the file codecs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/runtime/value.h"

enum class AlphaMode { Straight, Premultiplied };

// Rows top to bottom, four bytes per pixel in R G B A order, no row padding.
struct RasterRGBA8 {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels{};
    AlphaMode alpha = AlphaMode::Straight;

    std::size_t rowBytes() const { return static_cast<std::size_t>(width > 0 ? width : 0) * 4; }
    // True when the sizes are positive and the buffer holds exactly width x height pixels.
    bool isValid() const;
};

// A zero-filled raster of the given size (no check on the size: callers bound it first).
RasterRGBA8 makeRaster(int width, int height, AlphaMode alpha = AlphaMode::Straight);

// Alpha conversions in place; a no-op when the raster already has the wanted mode.
void premultiplyAlpha(RasterRGBA8& raster);
void unpremultiplyAlpha(RasterRGBA8& raster);

// The raster turned upright for an EXIF orientation (1..8); other values give a copy.
RasterRGBA8 orientRaster(const RasterRGBA8& raster, int exifOrientation);

// Images declaring more pixels than this are refused before any pixel memory is allocated.
inline constexpr std::int64_t kDefaultMaxDecodePixels = 100'000'000;

// The longest side of a photo the software renderer takes whole.
inline constexpr int kMaxPhotoSide = 16384;
// The one size limit of photos: the library lists, the picker picks and the editor opens exactly
// the photos of this size (both sides positive and at most kMaxPhotoSide, at most
// kDefaultMaxDecodePixels pixels).
constexpr bool isOpenablePhotoSize(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPhotoSide && height <= kMaxPhotoSide &&
           width * height <= kDefaultMaxDecodePixels;
}

struct ImageDecodeOptions {
    // Limit on the stored image's width x height (a guard against decompression bombs).
    std::int64_t maxPixels = kDefaultMaxDecodePixels;
    // JPEG only: decode at the smallest scale (n/8) that keeps at least this size; 0 keeps full size.
    int minWidth = 0;
    int minHeight = 0;
    // Turn the pixels upright by the stored EXIF orientation; the result then reports orientation 1.
    bool applyOrientation = false;
    // Convert the pixels from an embedded ICC profile to sRGB (nothing happens without a profile).
    bool convertToSRGB = false;
};

enum class ImageFormat { Unknown, JPEG, PNG };

// What a file says about itself, without decoding pixels.
struct ImageInfo {
    ImageFormat format = ImageFormat::Unknown;
    int width = 0;  // as stored, before orientation
    int height = 0;
    int orientation = 1;  // EXIF orientation 1..8
    int components = 0;   // stored channels: 1 grey, 2 grey+alpha, 3 RGB/YCbCr, 4 RGBA or CMYK
    int bitsPerComponent = 8;
    bool hasAlpha = false;
    bool hasIccProfile = false;
};

struct DecodedImage {
    RasterRGBA8 raster{};  // straight alpha; opaque for JPEG
    ImageInfo info{};      // the stored image (sizes before downscale and orientation)
    int orientation = 1;   // orientation still to apply to raster (1 once applied)
    Bytes iccProfile{};    // the embedded profile as stored, empty when none
    bool convertedToSRGB = false;
};
