// The EXIF orientation tag read straight from the bytes. Private to the codec.
#pragma once

#include <cstdint>
#include <span>

// Of a JPEG APP1 payload ("Exif\0\0" then a TIFF block); 1 when absent or invalid.
int exifOrientationOfApp1(std::span<const std::uint8_t> payload);
// Of a bare TIFF block (a PNG eXIf chunk); 1 when absent or invalid.
int exifOrientationOfTiff(std::span<const std::uint8_t> block);
