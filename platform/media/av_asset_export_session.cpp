#include "platform/media/av_asset_export_session.h"

#include <cmath>

#include "platform/dispatch/queue.h"
#include "platform/media/av_mutable_composition.h"
#include "platform/media/movie_export.h"
#include "platform/runtime/log.h"

namespace {

struct PresetFacts {
    const char* name;
    int crf;
    double boxWidth = 0, boxHeight = 0;  // 0: the source size
};

constexpr PresetFacts kPresets[] = {
    {AVAssetExportPresetPassthrough, 0},
    {AVAssetExportPresetHighestQuality, 18},
    {AVAssetExportPresetMediumQuality, 23},
    {AVAssetExportPresetLowQuality, 28},
    {AVAssetExportPreset640x480, 23, 640, 480},
    {AVAssetExportPreset960x540, 23, 960, 540},
    {AVAssetExportPreset1280x720, 23, 1280, 720},
    {AVAssetExportPreset1920x1080, 23, 1920, 1080},
    {AVAssetExportPreset3840x2160, 23, 3840, 2160},
};

const PresetFacts* presetNamed(const std::string& name) {
    for (auto& p : kPresets)
        if (name == p.name) return &p;
    return nullptr;
}

bool isPassthrough(const std::string& name) {
    return name == AVAssetExportPresetPassthrough;
}

// The pieces of a track: a composition track's segments, or the whole of a file's track.
std::vector<AVCompositionTrackSegment> segmentsOf(const std::shared_ptr<AVAssetTrack>& track) {
    if (!track) return {};
    if (auto composed = std::dynamic_pointer_cast<AVMutableCompositionTrack>(track)) return composed->segments();
    return {{track, track->timeRange(), kCMTimeZero}};
}

ExportPlan::Piece pieceOf(const AVCompositionTrackSegment& s) {
    double start = CMTimeGetSeconds(s.sourceRange.start);
    return {s.sourceTrack->facts().sourcePath, start, start + CMTimeGetSeconds(s.sourceRange.duration),
            CMTimeGetSeconds(s.targetStart), 0};
}

std::vector<std::pair<std::string, std::string>> fileTags(const std::vector<std::shared_ptr<AVMetadataItem>>& items) {
    std::vector<std::pair<std::string, std::string>> tags;
    for (auto& item : items) {
        std::string key = item->commonKey();
        std::string value = item->stringValue();
        if (value.empty()) continue;
        if (key == AVMetadataCommonKeySoftware)
            tags.emplace_back("software", value);
        else if (key == AVMetadataCommonKeyCreationDate)
            tags.emplace_back("date", value);
        else if (key == AVMetadataCommonKeyTitle)
            tags.emplace_back("title", value);
        else if (key == AVMetadataCommonKeyArtist)
            tags.emplace_back("artist", value);
        else if (key == AVMetadataCommonKeyAlbumName)
            tags.emplace_back("album", value);
    }
    return tags;
}

}  // namespace

struct AVAssetExportSession::Job {
    std::shared_ptr<NSURL> url;
    std::string fileType;
    bool network = false;
    std::shared_ptr<AVMutableVideoComposition> videoComposition;
    std::vector<std::shared_ptr<AVMetadataItem>> metadata;
};

std::shared_ptr<AVAssetExportSession> AVAssetExportSession::exportSessionWithAsset(std::shared_ptr<AVAsset> asset,
                                                                                   const std::string& presetName) {
    if (!asset || !presetNamed(presetName)) return nullptr;
    return make(std::move(asset), presetName);
}

std::vector<std::string> AVAssetExportSession::allExportPresets() {
    std::vector<std::string> out;
    for (auto& p : kPresets) out.emplace_back(p.name);
    return out;
}

std::vector<std::string> AVAssetExportSession::exportPresetsCompatibleWithAsset(const std::shared_ptr<AVAsset>& asset) {
    if (!asset) return {};
    // A track counts when it holds something (an empty composition track does not).
    auto holds = [&](const char* type) {
        for (auto& t : asset->tracksWithMediaType(type))
            if (CMTimeCompare(t->timeRange().duration, kCMTimeZero) > 0) return true;
        return false;
    };
    bool picture = holds(AVMediaTypeVideo);
    bool sound = holds(AVMediaTypeAudio);
    std::vector<std::string> out;
    for (auto& p : kPresets) {
        if (isPassthrough(p.name)) {
            if (std::dynamic_pointer_cast<AVURLAsset>(asset) && (picture || sound)) out.emplace_back(p.name);
        } else if (p.boxWidth > 0) {
            if (picture) out.emplace_back(p.name);
        } else if (picture || sound) {
            out.emplace_back(p.name);
        }
    }
    return out;
}

void AVAssetExportSession::determineCompatibilityOfExportPreset(const std::string& presetName,
                                                                std::shared_ptr<AVAsset> asset,
                                                                const std::string& outputFileType,
                                                                std::function<void(bool)> handler) {
    dispatch_async(dispatch_get_global_queue(), [presetName, asset = std::move(asset), outputFileType,
                                                 handler = std::move(handler)] {
        bool typeKnown = outputFileType == AVFileTypeMPEG4 || outputFileType == AVFileTypeQuickTimeMovie;
        auto compatible = exportPresetsCompatibleWithAsset(asset);
        bool ok = typeKnown && std::find(compatible.begin(), compatible.end(), presetName) != compatible.end();
        if (handler) handler(ok);
    });
}

std::shared_ptr<NSURL> AVAssetExportSession::outputURL() const {
    std::lock_guard lock(mutex_);
    return outputURL_;
}
void AVAssetExportSession::setOutputURL(std::shared_ptr<NSURL> url) {
    std::lock_guard lock(mutex_);
    outputURL_ = std::move(url);
}
std::string AVAssetExportSession::outputFileType() const {
    std::lock_guard lock(mutex_);
    return fileType_;
}
void AVAssetExportSession::setOutputFileType(std::string type) {
    std::lock_guard lock(mutex_);
    fileType_ = std::move(type);
}
bool AVAssetExportSession::shouldOptimizeForNetworkUse() const {
    std::lock_guard lock(mutex_);
    return network_;
}
void AVAssetExportSession::setShouldOptimizeForNetworkUse(bool on) {
    std::lock_guard lock(mutex_);
    network_ = on;
}
std::shared_ptr<AVMutableVideoComposition> AVAssetExportSession::videoComposition() const {
    std::lock_guard lock(mutex_);
    return videoComposition_;
}
void AVAssetExportSession::setVideoComposition(std::shared_ptr<AVMutableVideoComposition> c) {
    std::lock_guard lock(mutex_);
    videoComposition_ = std::move(c);
}
std::shared_ptr<AVAudioMix> AVAssetExportSession::audioMix() const {
    std::lock_guard lock(mutex_);
    return audioMix_;
}
void AVAssetExportSession::setAudioMix(std::shared_ptr<AVAudioMix> m) {
    std::lock_guard lock(mutex_);
    audioMix_ = std::move(m);
}
std::vector<std::shared_ptr<AVMetadataItem>> AVAssetExportSession::metadata() const {
    std::lock_guard lock(mutex_);
    return metadata_;
}
void AVAssetExportSession::setMetadata(std::vector<std::shared_ptr<AVMetadataItem>> items) {
    std::lock_guard lock(mutex_);
    metadata_ = std::move(items);
}
std::shared_ptr<NSError> AVAssetExportSession::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void AVAssetExportSession::cancelExport() {
    cancelled_ = true;
}

void AVAssetExportSession::exportAsynchronouslyWithCompletionHandler(std::function<void()> handler) {
    auto expected = AVAssetExportSessionStatus::Unknown;
    if (!status_.compare_exchange_strong(expected, AVAssetExportSessionStatus::Exporting)) return;
    Job job;
    {
        std::lock_guard lock(mutex_);
        job = {outputURL_, fileType_, network_, videoComposition_, metadata_};
    }
    auto queue = DispatchQueue::serial("korva.media.export");
    queue->async([self = self<AVAssetExportSession>(), job = std::move(job), handler = std::move(handler), queue] {
        auto result = self->run(job);
        if (!result) {
            Log::warning("media", "export failed: " + result.error());
            std::lock_guard lock(self->mutex_);
            self->error_ = NSError::withDescription("AVFoundationErrorDomain", -11800, result.error());
        }
        self->status_ =
            result ? AVAssetExportSessionStatus::Completed
                   : (self->cancelled_ ? AVAssetExportSessionStatus::Cancelled : AVAssetExportSessionStatus::Failed);
        if (handler) handler();
    });
}

Result<void> AVAssetExportSession::run(const Job& job) {
    if (cancelled_) return fail("cancelled");
    if (!job.url || !job.url->isFileURL()) return fail("the output is not a file URL");
    if (job.fileType != AVFileTypeMPEG4 && job.fileType != AVFileTypeQuickTimeMovie)
        return fail("unknown file type \"" + job.fileType + "\"");
    auto compatible = exportPresetsCompatibleWithAsset(asset_);
    if (std::find(compatible.begin(), compatible.end(), preset_) == compatible.end())
        return fail(preset_ + " does not fit this asset");
    ExportPlan plan;
    plan.outputPath = job.url->path();
    plan.settings.container = job.fileType;
    plan.settings.fastStart = job.network;
    plan.settings.metadata = fileTags(job.metadata);
    if (isPassthrough(preset_)) {
        if (job.videoComposition) return fail("a passthrough export cannot apply a video composition");
        return remuxMovie(std::static_pointer_cast<AVURLAsset>(asset_)->path(), plan, cancelled_);
    }
    const PresetFacts& facts = *presetNamed(preset_);
    plan.settings.crf = facts.crf;
    auto videoTracks = asset_->tracksWithMediaType(AVMediaTypeVideo);
    auto audioTracks = asset_->tracksWithMediaType(AVMediaTypeAudio);
    auto video = videoTracks.empty() ? nullptr : videoTracks.front();
    auto audio = audioTracks.empty() ? nullptr : audioTracks.front();
    for (auto& s : segmentsOf(video)) {
        auto piece = pieceOf(s);
        std::optional<CGAffineTransform> layer;
        if (job.videoComposition) layer = job.videoComposition->transformForTrack(video->trackID());
        piece.quarterTurns = quarterTurnsOf(layer ? *layer : s.sourceTrack->preferredTransform());
        plan.video.push_back(piece);
    }
    for (auto& s : segmentsOf(audio)) plan.audio.push_back(pieceOf(s));
    if (plan.video.empty() && plan.audio.empty()) return fail("nothing to export");
    if (!plan.video.empty()) {
        CGSize size = segmentsOf(video).front().sourceTrack->naturalSize();
        if (plan.video.front().quarterTurns % 2) std::swap(size.width, size.height);
        if (job.videoComposition && job.videoComposition->renderSize.width > 0) size = job.videoComposition->renderSize;
        // A composition sets the movie's frame rate: pictures repeat or drop to fit it.
        if (job.videoComposition) {
            double step = CMTimeGetSeconds(job.videoComposition->frameDuration);
            if (std::isfinite(step) && step > 0) plan.settings.frameDuration = step;
        }
        if (facts.boxWidth > 0) {
            double boxW = facts.boxWidth, boxH = facts.boxHeight;
            if (size.height > size.width) std::swap(boxW, boxH);
            double scale = std::min({1.0, boxW / size.width, boxH / size.height});
            size = {size.width * scale, size.height * scale};
        }
        plan.settings.width = int(std::lround(size.width));
        plan.settings.height = int(std::lround(size.height));
        if (plan.settings.width < 2 || plan.settings.height < 2) return fail("the picture is too small to encode");
    }
    if (!plan.audio.empty()) {
        auto source = segmentsOf(audio).front().sourceTrack->facts();
        plan.settings.sampleRate = source.sampleRate > 0 ? int(source.sampleRate) : 44100;
        plan.settings.channels = source.channels > 0 ? source.channels : 1;
    }
    return encodeMovie(plan, cancelled_);
}
