// AVAssetExportSession: writes an asset (a file or a composition) to a movie file with a preset.
//
// Presets: passthrough copies the streams as they are (a file asset only, never with a video
// composition); the three quality presets re-encode H.264 and AAC at the source's upright size (or
// the video composition's render size); the sized presets do the same, fitted inside their size
// without enlarging. Files are MPEG-4 or QuickTime; network use puts the index first.
//
// States: Unknown -> (export) Exporting -> Completed | Failed | Cancelled. The export runs on a
// queue of the session's own, where its completion is called once. Thread-safe.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>

#include "platform/media/av_asset.h"
#include "platform/media/av_video_composition.h"
#include "platform/runtime/error.h"
#include "platform/runtime/result.h"

inline constexpr const char* AVAssetExportPresetPassthrough = "AVAssetExportPresetPassthrough";
inline constexpr const char* AVAssetExportPresetHighestQuality = "AVAssetExportPresetHighestQuality";
inline constexpr const char* AVAssetExportPresetMediumQuality = "AVAssetExportPresetMediumQuality";
inline constexpr const char* AVAssetExportPresetLowQuality = "AVAssetExportPresetLowQuality";
inline constexpr const char* AVAssetExportPreset640x480 = "AVAssetExportPreset640x480";
inline constexpr const char* AVAssetExportPreset960x540 = "AVAssetExportPreset960x540";
inline constexpr const char* AVAssetExportPreset1280x720 = "AVAssetExportPreset1280x720";
inline constexpr const char* AVAssetExportPreset1920x1080 = "AVAssetExportPreset1920x1080";
inline constexpr const char* AVAssetExportPreset3840x2160 = "AVAssetExportPreset3840x2160";

inline constexpr const char* AVFileTypeMPEG4 = "mp4";
inline constexpr const char* AVFileTypeQuickTimeMovie = "mov";

enum class AVAssetExportSessionStatus {
    Unknown = 0,
    Waiting = 1,
    Exporting = 2,
    Completed = 3,
    Failed = 4,
    Cancelled = 5
};

// An audio mix is accepted and passed along; the sound is exported at its own volume.
class AVAudioMix : public NSObject {};

class AVAssetExportSession : public NSObject {
public:
    KORVA_MAKE(AVAssetExportSession)

    // None for an unknown preset or no asset.
    static std::shared_ptr<AVAssetExportSession> exportSessionWithAsset(std::shared_ptr<AVAsset> asset,
                                                                        const std::string& presetName);
    static std::vector<std::string> allExportPresets();
    static std::vector<std::string> exportPresetsCompatibleWithAsset(const std::shared_ptr<AVAsset>& asset);
    // The answer comes on a global queue.
    static void determineCompatibilityOfExportPreset(const std::string& presetName, std::shared_ptr<AVAsset> asset,
                                                     const std::string& outputFileType,
                                                     std::function<void(bool compatible)> handler);

    const std::string& presetName() const { return preset_; }
    // The file types this session can write, MPEG-4 first.
    std::vector<std::string> supportedFileTypes() const { return {AVFileTypeMPEG4, AVFileTypeQuickTimeMovie}; }
    std::shared_ptr<NSURL> outputURL() const;
    void setOutputURL(std::shared_ptr<NSURL> url);
    std::string outputFileType() const;
    void setOutputFileType(std::string type);
    bool shouldOptimizeForNetworkUse() const;
    void setShouldOptimizeForNetworkUse(bool on);
    std::shared_ptr<AVMutableVideoComposition> videoComposition() const;
    void setVideoComposition(std::shared_ptr<AVMutableVideoComposition> c);
    std::shared_ptr<AVAudioMix> audioMix() const;
    void setAudioMix(std::shared_ptr<AVAudioMix> m);
    std::vector<std::shared_ptr<AVMetadataItem>> metadata() const;
    void setMetadata(std::vector<std::shared_ptr<AVMetadataItem>> items);

    AVAssetExportSessionStatus status() const { return status_.load(); }
    std::shared_ptr<NSError> error() const;

    // A second call while exporting or after the end is ignored.
    void exportAsynchronouslyWithCompletionHandler(std::function<void()> handler);
    void cancelExport();

    std::string className() const override { return "AVAssetExportSession"; }

protected:
    AVAssetExportSession(std::shared_ptr<AVAsset> asset, std::string preset)
        : asset_(std::move(asset)), preset_(std::move(preset)) {}

private:
    struct Job;
    Result<void> run(const Job& job);

    const std::shared_ptr<AVAsset> asset_;
    const std::string preset_;
    std::atomic<AVAssetExportSessionStatus> status_{AVAssetExportSessionStatus::Unknown};
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    std::shared_ptr<NSURL> outputURL_;
    std::string fileType_;
    bool network_ = false;
    std::shared_ptr<AVMutableVideoComposition> videoComposition_;
    std::shared_ptr<AVAudioMix> audioMix_;
    std::vector<std::shared_ptr<AVMetadataItem>> metadata_;
    std::shared_ptr<NSError> error_;
};
