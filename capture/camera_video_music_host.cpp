#include "capture/camera_video_music_host.h"

#include <algorithm>
#include <filesystem>

#include "capture/audio_session.h"
#include "capture/av_asset_custom.h"
#include "capture/path_base.h"
#include "foundation/global.h"
#include "platform/runtime/log.h"

namespace {

// The first segment's opening, left out of the merge.
constexpr double kTrimmedStart = 0.2;
constexpr CMTimeScale kMergeTimescale = 600;

}  // namespace

MusicStretch musicStretch(float startAt, float musicSeconds, float videoSeconds) {
    MusicStretch m;
    m.start = std::min(startAt, std::max(0.0f, musicSeconds - videoSeconds));
    m.length = std::min(musicSeconds - m.start, videoSeconds);
    return m;
}

void CameraVideoMusicHost::init() {
    CameraVideoGeneralHost::init();
    setPosition(CameraSide::Front);
}

std::shared_ptr<NSURL> CameraVideoMusicHost::musicURL() const {
    const Value& url = music_.get("url");
    if (auto object = url.objectAs<NSURL>()) return object;
    if (auto text = url.string()) {
        if (text->starts_with("/")) return NSURL::fileURLWithPath(*text);
        return NSURL::URLWithString(*text);
    }
    return nullptr;
}

std::shared_ptr<AVAudioPlayer> CameraVideoMusicHost::player() {
    std::lock_guard lock(playerMutex_);
    if (!player_ && !playerTried_) {
        playerTried_ = true;
        auto made = AVAudioPlayer::playerWithContentsOfURL(musicURL());
        if (made)
            player_ = *made;
        else
            Log::warning("capture", "no music: " + made.error());
    }
    return player_;
}

void CameraVideoMusicHost::setPlayer(std::shared_ptr<AVAudioPlayer> player) {
    std::lock_guard lock(playerMutex_);
    player_ = std::move(player);
    playerTried_ = true;
}

void CameraVideoMusicHost::recordWillStart() {
    if (auto audio = Global::shared()->audioSession()) audio->setPlayback(true);
}

void CameraVideoMusicHost::recordDidStart() {
    if (auto p = player()) {
        p->setCurrentTime(CMTimeGetSeconds(durLast()));
        p->play();
    }
}

void CameraVideoMusicHost::recordWillPause() {
    if (auto p = player()) p->pause();
}

void CameraVideoMusicHost::segmentWillReport() {
    if (auto audio = Global::shared()->audioSession()) audio->setPlayback(false);
}

std::shared_ptr<AVMutableComposition> CameraVideoMusicHost::save0() {
    ValueDictionary options;
    options.set(AVURLAssetPreferPreciseDurationAndTimingKey, true);
    auto musicAsset = AVURLAsset::URLAssetWithURL(musicURL(), options);
    auto composition = AVMutableComposition::make();
    auto video = composition->addMutableTrackWithMediaType(AVMediaTypeVideo, kCMPersistentTrackID_Invalid);
    CMTime cursor = kCMTimeZero;
    auto segments = segs();
    for (std::size_t i = 0; i < segments.size(); ++i) {
        auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(segments[i]));
        if (!asset) continue;
        CMTimeRange range = CMTimeRangeMake(kCMTimeZero, asset->duration());
        if (i == 0) {
            double seconds = CMTimeGetSeconds(asset->duration());
            if (seconds <= kTrimmedStart) continue;
            range = CMTimeRangeMake(CMTimeMakeWithSeconds(kTrimmedStart, kMergeTimescale),
                                    CMTimeMakeWithSeconds(seconds - kTrimmedStart, kMergeTimescale));
        }
        auto pictures = asset->tracksWithMediaType(AVMediaTypeVideo);
        if (pictures.empty()) continue;
        // The range may pass the picture track's own end by a rounding; it is cut there.
        CMTime end = CMTimeMinimum(CMTimeRangeGetEnd(range), pictures.front()->timeRange().duration);
        range.duration = CMTimeSubtract(end, range.start);
        if (auto r = video->insertTimeRange(range, pictures.front(), cursor); !r) {
            Log::warning("capture", "segment " + segments[i] + " not merged: " + r.error());
            continue;
        }
        // The cursor moves by what was inserted, so no gap follows the trimmed first segment.
        cursor = CMTimeAdd(cursor, range.duration);
    }
    auto sound =
        musicAsset ? musicAsset->tracksWithMediaType(AVMediaTypeAudio) : std::vector<std::shared_ptr<AVAssetTrack>>{};
    if (sound.empty()) {
        Log::warning("capture", "the music has no sound track; the movie has none");
        return composition;
    }
    auto stretch =
        musicStretch(float(music_.get("startAt").doubleValue()),
                     float(CMTimeGetSeconds(sound.front()->timeRange().duration)), float(CMTimeGetSeconds(cursor)));
    CMTimeRange range = CMTimeRangeMake(CMTimeMakeWithSeconds(stretch.start, kMergeTimescale),
                                        CMTimeMakeWithSeconds(stretch.length, kMergeTimescale));
    range.duration = CMTimeMinimum(range.duration, CMTimeSubtract(sound.front()->timeRange().duration, range.start));
    if (stretch.length > 0) {
        auto track = composition->addMutableTrackWithMediaType(AVMediaTypeAudio, kCMPersistentTrackID_Invalid);
        if (auto r = track->insertTimeRange(range, sound.front(), kCMTimeZero); !r)
            Log::warning("capture", "the music was not merged: " + r.error());
    }
    return composition;
}

const std::vector<std::string>& CameraVideoMusicHost::candidatePresets() {
    static const std::vector<std::string> presets = {
        AVAssetExportPresetPassthrough, AVAssetExportPresetHighestQuality, AVAssetExportPresetMediumQuality,
        AVAssetExportPresetLowQuality,  AVAssetExportPreset960x540,        AVAssetExportPreset1280x720,
        AVAssetExportPreset1920x1080,   AVAssetExportPreset640x480,        AVAssetExportPreset3840x2160};
    return presets;
}

namespace {

struct ExportPair {
    std::string preset, fileType;
};

// Asks the pairs one at a time; the first that fits exports, none fitting answers NO.
void askInTurn(std::shared_ptr<AVMutableComposition> composition, std::shared_ptr<std::vector<ExportPair>> pairs,
               std::size_t index, std::string output, CameraVideoHost::RecordCompletion completion) {
    if (index >= pairs->size()) {
        Log::warning("capture", "no export preset fits the music movie");
        dispatch_async(dispatch_get_main_queue(), [completion = std::move(completion)] {
            if (completion) completion(false);
        });
        return;
    }
    const ExportPair& pair = (*pairs)[index];
    AVAssetExportSession::determineCompatibilityOfExportPreset(
        pair.preset, composition, pair.fileType,
        [composition, pairs, index, output, completion = std::move(completion)](bool compatible) mutable {
            if (!compatible) return askInTurn(composition, pairs, index + 1, output, std::move(completion));
            const ExportPair& chosen = (*pairs)[index];
            // The export reads the application's name on the main thread.
            dispatch_async(dispatch_get_main_queue(),
                           [composition, chosen, output, completion = std::move(completion)] {
                               exportToURL(composition, NSURL::fileURLWithPath(output), chosen.preset, chosen.fileType,
                                           nullptr, nullptr, completion);
                           });
        });
}

}  // namespace

void CameraVideoMusicHost::save(RecordCompletion completion) {
    auto composition = save0();
    std::string output = recordingPaths()->make();
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    auto compatible = AVAssetExportSession::exportPresetsCompatibleWithAsset(composition);
    auto pairs = std::make_shared<std::vector<ExportPair>>();
    for (auto& preset : candidatePresets()) {
        if (std::find(compatible.begin(), compatible.end(), preset) == compatible.end()) continue;
        if (auto session = AVAssetExportSession::exportSessionWithAsset(composition, preset))
            for (auto& type : session->supportedFileTypes()) pairs->push_back({preset, type});
    }
    askInTurn(composition, pairs, 0, output, std::move(completion));
}
