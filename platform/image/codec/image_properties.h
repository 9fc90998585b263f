// Image properties (orientation, sizes, TIFF, Exif and GPS dictionaries) of encoded images.
//
// Dictionaries use the keys of image_property_keys.h with the platform's value kinds: texts as
// strings, rationals as doubles, counts and codes as integers, ISOSpeedRatings and GPSVersion as
// arrays of integers, GPS coordinates as unsigned decimal degrees with their Ref letters, GPS
// TimeStamp as "HH:mm:ss.SS" (UTC) and DateStamp as "yyyy:MM:dd".
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// The properties of the first image of JPEG or PNG data: a dictionary with the top-level keys
// (PixelWidth, PixelHeight, Orientation, DPIWidth, DPIHeight, Depth, ColorModel, HasAlpha,
// ProfileName) and the "{TIFF}", "{Exif}" and "{GPS}" dictionaries that the data carries.
Result<Value> readImageProperties(std::span<const std::uint8_t> data);
Result<Value> readImagePropertiesFromFile(const std::string& path);

// New data with the given properties written over those the data carries (keys not given stay),
// the encoded pixels untouched. Keys the formats cannot store, and the read-only ones (pixel
// sizes, depth, colour model), are ignored; Exif pixel dimensions always state the real size.
Result<Bytes> replaceImageProperties(std::span<const std::uint8_t> data, const Value& properties);
