#include "capture/camera_video_host.h"

#include <filesystem>

#include "capture/av_asset_custom.h"
#include "capture/path_base.h"
#include "platform/media/av_mutable_composition.h"
#include "platform/media/cm_time_range.h"
#include "platform/runtime/log.h"

std::vector<std::string> CameraVideoHost::segs() const {
    std::lock_guard lock(segsMutex_);
    return segs_;
}

void CameraVideoHost::setSegs(std::vector<std::string> segs) {
    std::lock_guard lock(segsMutex_);
    segs_ = std::move(segs);
}

void CameraVideoHost::appendSeg(std::string path) {
    std::lock_guard lock(segsMutex_);
    segs_.push_back(std::move(path));
}

void CameraVideoHost::save(RecordCompletion completion) {
    auto composition = AVMutableComposition::make();
    auto video = composition->addMutableTrackWithMediaType(AVMediaTypeVideo, kCMPersistentTrackID_Invalid);
    auto audio = composition->addMutableTrackWithMediaType(AVMediaTypeAudio, kCMPersistentTrackID_Invalid);
    CMTime cursor = kCMTimeZero;
    for (auto& path : segs()) {
        auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(path));
        CMTime duration = asset ? asset->duration() : kCMTimeZero;
        // A segment missing a kind of track adds what it has; the cursor still moves by its length.
        for (auto [track, type] : {std::pair{video, AVMediaTypeVideo}, std::pair{audio, AVMediaTypeAudio}}) {
            auto sources = asset ? asset->tracksWithMediaType(type) : std::vector<std::shared_ptr<AVAssetTrack>>{};
            if (sources.empty()) continue;
            CMTimeRange fitting =
                CMTimeRangeMake(kCMTimeZero, CMTimeMinimum(duration, sources.front()->timeRange().duration));
            if (auto r = track->insertTimeRange(fitting, sources.front(), cursor); !r)
                Log::warning("capture", "segment " + path + " not merged: " + r.error());
        }
        cursor = CMTimeAdd(cursor, duration);
    }
    std::string merged = recordingPaths()->make();
    std::error_code ignored;
    std::filesystem::remove(merged, ignored);
    exportToURL(composition, NSURL::fileURLWithPath(merged), nullptr, nullptr, std::move(completion));
}

void CameraVideoHost::adjustTimeAdd(std::vector<CMSampleTimingInfo>& timing, std::size_t count, CMTime delta) {
    for (std::size_t i = 0; i < count && i < timing.size(); ++i) {
        timing[i].presentationTimeStamp = CMTimeAdd(timing[i].presentationTimeStamp, delta);
        timing[i].decodeTimeStamp = CMTimeAdd(timing[i].decodeTimeStamp, delta);
    }
}

void CameraVideoHost::adjustTimeSub(std::vector<CMSampleTimingInfo>& timing, std::size_t count, CMTime delta) {
    for (std::size_t i = 0; i < count && i < timing.size(); ++i) {
        timing[i].presentationTimeStamp = CMTimeSubtract(timing[i].presentationTimeStamp, delta);
        timing[i].decodeTimeStamp = CMTimeSubtract(timing[i].decodeTimeStamp, delta);
    }
}

CMSampleBufferRef CameraVideoHost::adjustTime(const CMSampleBufferRef& sample, CMTime delta, bool add) {
    auto timing = CMSampleBufferGetSampleTimingInfoArray(sample);
    // The scratch buffer grows only when a buffer carries more records than any before.
    if (lastTimings_.size() < timing.size()) lastTimings_.resize(timing.size());
    std::copy(timing.begin(), timing.end(), lastTimings_.begin());
    if (add)
        adjustTimeAdd(lastTimings_, timing.size(), delta);
    else
        adjustTimeSub(lastTimings_, timing.size(), delta);
    return CMSampleBufferCreateCopyWithNewTiming(
        sample,
        std::vector<CMSampleTimingInfo>(lastTimings_.begin(), lastTimings_.begin() + std::ptrdiff_t(timing.size())));
}
