// AVAssetReader: reads a file asset's tracks sample by sample. A track output without output
// settings gives the compressed samples, each carrying its bytes and timing.
//
// States: Unknown -> (startReading) Reading -> Completed at the end | Failed | Cancelled.
// One thread at a time.
#pragma once

#include <memory>
#include <vector>

#include "platform/capture/cm_sample_buffer.h"
#include "platform/media/av_asset.h"
#include "platform/runtime/result.h"

enum class AVAssetReaderStatus { Unknown = 0, Reading = 1, Completed = 2, Failed = 3, Cancelled = 4 };

class AVAssetReader;

class AVAssetReaderTrackOutput : public NSObject {
public:
    KORVA_MAKE(AVAssetReaderTrackOutput)
    static std::shared_ptr<AVAssetReaderTrackOutput> assetReaderTrackOutputWithTrack(
        std::shared_ptr<AVAssetTrack> track, const ValueDictionary& outputSettings = {}) {
        (void)outputSettings;
        return make(std::move(track));
    }
    const std::shared_ptr<AVAssetTrack>& track() const { return track_; }
    // The next sample, or none at the end or when the reader is not reading.
    CMSampleBufferRef copyNextSampleBuffer();

    std::string className() const override { return "AVAssetReaderTrackOutput"; }

protected:
    explicit AVAssetReaderTrackOutput(std::shared_ptr<AVAssetTrack> track) : track_(std::move(track)) {}

private:
    friend class AVAssetReader;
    std::shared_ptr<AVAssetTrack> track_;
    std::weak_ptr<AVAssetReader> reader_;
};

class AVAssetReader : public NSObject {
public:
    KORVA_MAKE(AVAssetReader)
    ~AVAssetReader() override;
    // Fails for an asset that is not a file (a composition) or cannot be opened.
    static Result<std::shared_ptr<AVAssetReader>> assetReaderWithAsset(const std::shared_ptr<AVAsset>& asset);

    bool canAddOutput(const std::shared_ptr<AVAssetReaderTrackOutput>& output) const;
    void addOutput(const std::shared_ptr<AVAssetReaderTrackOutput>& output);
    bool startReading();
    void cancelReading();
    AVAssetReaderStatus status() const { return status_; }

    std::string className() const override { return "AVAssetReader"; }

protected:
    explicit AVAssetReader(std::shared_ptr<AVURLAsset> asset);

private:
    friend class AVAssetReaderTrackOutput;
    struct File;
    CMSampleBufferRef next(const AVAssetReaderTrackOutput& output);

    std::shared_ptr<AVURLAsset> asset_;
    std::vector<std::shared_ptr<AVAssetReaderTrackOutput>> outputs_;
    AVAssetReaderStatus status_ = AVAssetReaderStatus::Unknown;
    std::unique_ptr<File> file_;
};
