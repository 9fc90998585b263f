#include "capture/av_asset_custom.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "capture/path_base.h"
#include "foundation/global.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/log.h"
#include "platform/text/date_formatter.h"

namespace {

// Seconds between the Unix epoch and the platform's reference date (2001-01-01 UTC).
constexpr double kReferenceDateOffset = 978307200;

// Puts `from` in the place of `to` in one step, durably: the file's contents reach the disk before
// the rename, and the folder's entry after it. On failure `to` is untouched and `from` is removed.
Result<void> replaceDurably(const std::string& from, const std::string& to) {
    auto abandon = [&](const std::string& what) -> Result<void> {
        int error = errno;
        ::unlink(from.c_str());
        return fail(what + ": " + std::strerror(error));
    };
    int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return abandon("cannot open " + from);
    bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced) return abandon("cannot flush " + from);
    if (::rename(from.c_str(), to.c_str()) != 0) return abandon("cannot move " + from + " to " + to);
    std::string folder = std::filesystem::path(to).parent_path().string();
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return fail("cannot open " + folder + ": " + std::strerror(errno));
    bool folderSynced = ::fsync(dir) == 0;
    int error = errno;
    ::close(dir);
    if (!folderSynced) return fail("cannot flush " + folder + ": " + std::strerror(error));
    return {};
}

void onMainOnce(ExportCompletion completion, bool ok) {
    dispatch_async(dispatch_get_main_queue(), [completion = std::move(completion), ok] {
        if (completion) completion(ok);
    });
}

}  // namespace

void exportToURL(const std::shared_ptr<AVAsset>& asset, const std::shared_ptr<NSURL>& url, const std::string& preset,
                 const std::string& format, std::shared_ptr<AVMutableVideoComposition> videoComposition,
                 std::shared_ptr<AVAudioMix> audioMix, ExportCompletion completion) {
    auto session = AVAssetExportSession::exportSessionWithAsset(asset, preset);
    if (!session) return onMainOnce(std::move(completion), false);
    session->setOutputURL(url);
    session->setOutputFileType(format);
    session->setShouldOptimizeForNetworkUse(true);
    session->setVideoComposition(std::move(videoComposition));
    session->setAudioMix(std::move(audioMix));
    addMetadata(*session);
    session->exportAsynchronouslyWithCompletionHandler([session, completion = std::move(completion)]() mutable {
        dispatch_async(dispatch_get_main_queue(), [session, completion = std::move(completion)] {
            if (completion) completion(session->status() == AVAssetExportSessionStatus::Completed);
        });
    });
}

std::optional<std::string> qualityPresetAmong(const std::vector<std::string>& compatible) {
    for (const char* preset :
         {AVAssetExportPresetHighestQuality, AVAssetExportPresetMediumQuality, AVAssetExportPresetLowQuality})
        if (std::find(compatible.begin(), compatible.end(), preset) != compatible.end()) return preset;
    return std::nullopt;
}

void exportToURL(const std::shared_ptr<AVAsset>& asset, const std::shared_ptr<NSURL>& url,
                 std::shared_ptr<AVMutableVideoComposition> videoComposition, std::shared_ptr<AVAudioMix> audioMix,
                 ExportCompletion completion) {
    auto preset = qualityPresetAmong(AVAssetExportSession::exportPresetsCompatibleWithAsset(asset));
    if (!preset) return onMainOnce(std::move(completion), false);
    exportToURL(asset, url, *preset, AVFileTypeMPEG4, std::move(videoComposition), std::move(audioMix),
                std::move(completion));
}

std::optional<ResizePlan> resizePlanFor(CGSize naturalSize, const CGAffineTransform& preferredTransform, double limit) {
    CGSize shown = naturalSize;
    if (quarterTurnsOf(preferredTransform) % 2) std::swap(shown.width, shown.height);
    double w = shown.width, h = shown.height;
    if (float(std::min(w, h)) <= float(limit)) return std::nullopt;
    ResizePlan plan;
    plan.scale = limit / (w > h ? h : w);
    if (w > h)
        plan.renderSize = {std::round(w * plan.scale), limit};
    else if (h > w)
        plan.renderSize = {limit, std::round(h * plan.scale)};
    else
        plan.renderSize = {limit, limit};
    return plan;
}

void resizeToLimit(const std::shared_ptr<AVAsset>& asset, double limit, ExportCompletion completion) {
    auto tracks = asset ? asset->tracksWithMediaType(AVMediaTypeVideo) : std::vector<std::shared_ptr<AVAssetTrack>>{};
    if (tracks.empty()) {
        if (completion) completion(true);
        return;
    }
    auto track = tracks.front();
    auto plan = resizePlanFor(track->naturalSize(), track->preferredTransform(), limit);
    if (!plan) {
        if (completion) completion(true);
        return;
    }
    auto instruction = AVMutableVideoCompositionInstruction::make();
    instruction->timeRange = CMTimeRangeMake(kCMTimeZero, asset->duration());
    auto layer = AVMutableVideoCompositionLayerInstruction::videoCompositionLayerInstructionWithAssetTrack(track);
    layer->setTransform(
        CGAffineTransformConcat(track->preferredTransform(), CGAffineTransformMakeScale(plan->scale, plan->scale)),
        kCMTimeZero);
    instruction->layerInstructions = {layer};
    auto composition = AVMutableVideoComposition::make();
    composition->instructions = {instruction};
    composition->frameDuration = CMTimeMake(1, 30);
    composition->renderSize = plan->renderSize;

    auto paths = recordingPaths();
    std::string temp = paths->temp(), merged = paths->make();
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    // The resized movie replaces the merged one in one rename, so the merged movie is never missing;
    // when that fails, the original stays and the answer is NO.
    exportToURL(asset, NSURL::fileURLWithPath(temp), composition, nullptr,
                [temp, merged, completion = std::move(completion)](bool ok) {
                    if (ok) {
                        if (auto r = replaceDurably(temp, merged); !r) {
                            Log::warning("capture", "the resized movie cannot replace " + merged + ": " + r.error());
                            ok = false;
                        }
                    }
                    if (completion) completion(ok);
                });
}

std::string creationDateString(double secondsSinceReferenceDate, const std::string& timeZone) {
    NSDateFormatter formatter;
    formatter.setLocaleIdentifier("en_US_POSIX");
    formatter.setTimeZoneName(timeZone);
    formatter.setDateFormat("yyyy-MM-dd'T'HH:mm:ssZZZZZ");
    return formatter.stringFromDate(secondsSinceReferenceDate);
}

void addMetadata(AVAssetExportSession& session) {
    double now = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count() -
                 kReferenceDateOffset;
    session.setMetadata({AVMetadataItem::make(AVMetadataKeySpaceCommon, AVMetadataCommonKeySoftware,
                                              Value(Global::shared()->appName())),
                         AVMetadataItem::make(AVMetadataKeySpaceCommon, AVMetadataCommonKeyCreationDate,
                                              Value(creationDateString(now)))});
}
