// Fitting frame sizes to what the preview can show.
#include "platform/capture/frame_size_limits.h"

#include <algorithm>
#include <cmath>

#include "platform/runtime/log.h"

std::optional<CMVideoDimensions> shownFrameSize(CMVideoDimensions size) {
    const int longest = std::max(size.width, size.height);
    if (longest <= kLargestShownFrameSide) return std::nullopt;
    const double scale = double(kLargestShownFrameSide) / longest;
    // Floored (a hair's rounding error aside), so that neither side passes the limit.
    auto side = [scale](int n) { return std::clamp(int(std::floor(n * scale + 1e-6)), 1, kLargestShownFrameSide); };
    return CMVideoDimensions{side(size.width), side(size.height)};
}

std::string frameSizeText(CMVideoDimensions size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

void logFileFrameSize(const std::string& kind, const std::string& path, CMVideoDimensions own,
                      CMVideoDimensions frames) {
    const std::string line = "the " + kind + " " + path + " is " + frameSizeText(own);
    if (shownFrameSize(own))
        Log::warning("camera", line + ", larger than the preview can show (" + std::to_string(kLargestShownFrameSide) +
                                   " pixels on a side at most); frames are " + frameSizeText(frames));
    else
        Log::info("camera", line + "; frames are " + frameSizeText(frames));
}
