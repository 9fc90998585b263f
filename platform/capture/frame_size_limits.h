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

// What the log says of a file source's frames that are not the file's own size: "the KIND PATH is
// WxH; frames are WxH". A file too large for the preview is a warning, so that it is said whatever
// the level; a picture only brought down to its own bound is information.
void logFileFrameSize(const std::string& kind, const std::string& path, CMVideoDimensions own,
                      CMVideoDimensions frames);
