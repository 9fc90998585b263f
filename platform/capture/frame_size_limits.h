// The frame sizes a camera source may give: every frame goes through the preview, whose drawing
// context takes pictures of at most kCIDrawingContextMaximumSide on a side.
#pragma once

#include <optional>
#include <string>

#include "platform/capture/av_capture_types.h"
#include "platform/image/ci_context.h"

inline constexpr int kLargestShownFrameSide = kCIDrawingContextMaximumSide;

// The largest size of the same shape whose sides the preview can show; none when `size` fits.
std::optional<CMVideoDimensions> shownFrameSize(CMVideoDimensions size);

// "WIDTHxHEIGHT".
std::string frameSizeText(CMVideoDimensions size);
