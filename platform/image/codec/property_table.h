// The mapping between property dictionaries and EXIF tags. Private to the codec.
#pragma once

#include "platform/runtime/value.h"

namespace Exiv2 {
class ExifData;
}

// The "{TIFF}", "{Exif}" and "{GPS}" dictionaries and the top-level Orientation and DPI keys that
// the EXIF data holds, added to `properties` (a dictionary).
void exifToProperties(const Exiv2::ExifData& exif, const Value& properties);

// Writes the keys of a properties dictionary over the EXIF data; unknown keys are skipped.
// Pixel dimensions are set to the real size whenever Exif tags are present, and the tags a
// conforming JPEG block requires are filled in when missing.
void propertiesToExif(const Value& properties, Exiv2::ExifData& exif, int pixelWidth, int pixelHeight, bool isJpeg);
