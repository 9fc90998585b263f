// Exports of any asset or composition to a movie file: with a chosen preset, with the best
// quality preset that fits, and a resize that makes the shorter side of the picture fit a limit.
// Every export stamps the application's name and the creation date into the file.
//
// Completions run once on the main queue, except the resize's immediate YES when nothing needs
// doing, which comes on the caller's thread before the call returns. Start exports on the main
// thread (the metadata reads the application's name).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/av_asset_export_session.h"

using ExportCompletion = std::function<void(bool success)>;

void exportToURL(const std::shared_ptr<AVAsset>& asset, const std::shared_ptr<NSURL>& url, const std::string& preset,
                 const std::string& format, std::shared_ptr<AVMutableVideoComposition> videoComposition,
                 std::shared_ptr<AVAudioMix> audioMix, ExportCompletion completion);
// The preset chosen by quality, as MPEG-4; NO when no quality preset fits the asset.
void exportToURL(const std::shared_ptr<AVAsset>& asset, const std::shared_ptr<NSURL>& url,
                 std::shared_ptr<AVMutableVideoComposition> videoComposition, std::shared_ptr<AVAudioMix> audioMix,
                 ExportCompletion completion);
// Replaces the merged movie with this asset resized so that the picture's shorter side is `limit`.
// NO when the export or the replacement fails; the merged movie then stays as it was.
void resizeToLimit(const std::shared_ptr<AVAsset>& asset, double limit, ExportCompletion completion);

// The first of highest, medium and low quality that is among the compatible presets.
std::optional<std::string> qualityPresetAmong(const std::vector<std::string>& compatible);

struct ResizePlan {
    double scale = 1;
    CGSize renderSize{0, 0};
};
// None when the track's shorter side already fits the limit. The sizes are those of the picture
// as shown (after the preferred transform).
std::optional<ResizePlan> resizePlanFor(CGSize naturalSize, const CGAffineTransform& preferredTransform, double limit);

// The session's metadata becomes the application's name and the creation date.
void addMetadata(AVAssetExportSession& session);
// "yyyy-MM-dd'T'HH:mm:ssZZZZZ" in a fixed POSIX locale and the Gregorian calendar; the zone by
// name, empty for the device's.
std::string creationDateString(double secondsSinceReferenceDate, const std::string& timeZone = "");
