// The photo editor's sizing, context and metadata rules, apart from the screen.
#pragma once

#include <string>

#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

inline constexpr CGFloat kEditPreviewLimit = 1000;

// The bound of the preview copy: the limit on each side (less where the context takes less), or
// the photo's own size when it fits within that.
CGSize editPreviewBound(CGSize photo, CGSize maximumInput);
// The photo's shape fitted to a bound: a wider photo takes the bound's width, any other its
// height; whole pixels, at least one.
CGSize editRatioSize(CGSize photo, CGSize bound);
// Whether a save renders on the GPU context: only when both sides are strictly below its
// maximum input size.
bool editSavesOnGPU(CGSize imageSize, CGSize maximumInput);
// The metadata a saved photo carries: the original's top-level entries and its TIFF, Exif and GPS
// dictionaries, upright (Orientation 1), with the new pixel size, and in the TIFF dictionary (when
// there is one) the software's name and the time of the save ("yyyy:MM:dd HH:mm:ss").
Value editSavedMetadata(const Value& original, CGSize pixelSize, const std::string& software,
                        const std::string& dateTime);
