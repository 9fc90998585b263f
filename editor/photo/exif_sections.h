// The rows the metadata pop-up lists: a "General" section with the top-level entries and one
// section per sub-dictionary (TIFF, Exif, GPS, ...), keys in case-insensitive order, each value
// as one line of text. Keys beginning with a digit are not listed.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/value.h"

struct ExifSections {
    std::vector<std::string> secLabels;
    // Per section, its rows as [key, value text].
    std::vector<std::vector<std::pair<std::string, std::string>>> arr;
};

// A value text longer than this is cut (the label shows far less anyway).
inline constexpr std::size_t kExifMaxValueText = 1000;

// Whether a key is left out: its first character is a decimal digit.
bool isInvalid(const std::string& key);
// The value's description on one line, cut to kExifMaxValueText bytes at a character boundary.
std::string exifValueText(const Value& value);
// Anything other than a dictionary gives "General" alone, with no rows.
ExifSections buildExifSections(const Value& properties);
