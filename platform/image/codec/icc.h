// ICC profiles of the named colour spaces, and colour conversions between spaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/image/codec/raster.h"
#include "platform/runtime/value.h"

// The ICC profile of a platform colour-space name ("kCGColorSpaceDisplayP3", ...); none for an
// unknown name and for kCGColorSpaceNULL. Profiles are made once and shared.
std::optional<Bytes> iccProfileForColorSpace(std::string_view name);

// The description a profile carries (its "desc" tag), none when the data is no valid profile.
std::optional<std::string> iccProfileDescription(std::span<const std::uint8_t> profile);

// A conversion between two colour spaces. Immutable and safe to use from several threads.
// Grey spaces read the red channel and write the grey value to red, green and blue. Alpha is
// kept; premultiplied pixels are unpremultiplied around the conversion. Exact rather than fast
// (roughly 15 ns per 8-bit pixel, 190 ns per float pixel): meant for decoded files, colours and
// small buffers, not for every frame.
class ColorConversion {
public:
    virtual ~ColorConversion() = default;
    virtual bool isIdentity() const = 0;
    virtual void convert(std::uint8_t* rgba, std::size_t pixelCount, AlphaMode alpha) const = 0;
    virtual void convert(float* rgba, std::size_t pixelCount, AlphaMode alpha) const = 0;
    void convert(RasterRGBA8& raster) const;
};

// The conversion between two named spaces; none when either name is unknown (kCGColorSpaceNULL
// included). The same name twice gives an identity conversion. Conversions are cached.
std::shared_ptr<const ColorConversion> colorConversion(std::string_view fromName, std::string_view toName);

// Converts CMYK pixels in place (four bytes each as stored; `inverted` when 255 means no ink, as
// in most CMYK JPEG files) through a CMYK profile into opaque sRGB RGBA. False, with the pixels
// untouched, when the profile is not a usable CMYK profile.
bool convertCmykToSRGB(std::span<const std::uint8_t> profile, std::uint8_t* pixels, std::size_t count, bool inverted);

// The conversion from an embedded profile to a named space; none when the profile is invalid,
// is not RGB or grey, or the name is unknown.
std::shared_ptr<const ColorConversion> colorConversionFromProfile(std::span<const std::uint8_t> profile,
                                                                  std::string_view toName);
