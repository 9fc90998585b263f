// AVAssetWriter: writes a movie file from sample buffers as they come (H.264 pictures at the
// input's size, AAC sound from the audio blocks).
//
// States: Unknown -> (startWriting) Writing -> (finishWriting) Completed; any failure -> Failed;
// cancelWriting -> Cancelled. Appends go to a small encode queue of the writer's own: an input is
// ready only while that queue has room, so an append never blocks the caller (the capture
// queue). startSessionAtSourceTime sets the time that becomes zero in the file; earlier samples
// are left out. Thread-safe.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/dispatch/queue.h"
#include "platform/media/av_asset_export_session.h"
#include "platform/media/av_asset_track.h"
#include "platform/media/cm_format_description.h"
#include "platform/runtime/error.h"

inline constexpr const char* AVVideoCodecKey = "AVVideoCodecKey";
inline constexpr const char* AVVideoCodecH264 = "avc1";
inline constexpr const char* AVVideoWidthKey = "AVVideoWidthKey";
inline constexpr const char* AVVideoHeightKey = "AVVideoHeightKey";
inline constexpr const char* AVFormatIDKey = "AVFormatIDKey";
inline constexpr const char* AVNumberOfChannelsKey = "AVNumberOfChannelsKey";
inline constexpr const char* AVSampleRateKey = "AVSampleRateKey";

enum class AVAssetWriterStatus { Unknown = 0, Writing = 1, Completed = 2, Failed = 3, Cancelled = 4 };

class AVAssetWriter;

class AVAssetWriterInput : public NSObject {
public:
    KORVA_MAKE(AVAssetWriterInput)
    // mediaType: AVMediaTypeVideo or AVMediaTypeAudio; the hint may be none.
    static std::shared_ptr<AVAssetWriterInput> assetWriterInputWithMediaType(
        const std::string& mediaType, const ValueDictionary& outputSettings,
        CMFormatDescriptionRef sourceFormatHint = nullptr);

    const std::string& mediaType() const { return mediaType_; }
    const ValueDictionary& outputSettings() const { return settings_; }
    bool expectsMediaDataInRealTime() const { return realTime_; }
    void setExpectsMediaDataInRealTime(bool on) { realTime_ = on; }

    // While writing and the encode queue has room.
    bool isReadyForMoreMediaData() const;
    // False when not ready, of the wrong kind, or the writer is not writing.
    bool appendSampleBuffer(const CMSampleBufferRef& buffer);

    std::string className() const override { return "AVAssetWriterInput"; }

protected:
    AVAssetWriterInput(std::string mediaType, ValueDictionary settings)
        : mediaType_(std::move(mediaType)), settings_(std::move(settings)) {}

private:
    friend class AVAssetWriter;
    const std::string mediaType_;
    const ValueDictionary settings_;
    std::atomic<bool> realTime_{false};
    std::weak_ptr<AVAssetWriter> writer_;
};

class AVAssetWriter : public NSObject {
public:
    KORVA_MAKE(AVAssetWriter)
    // A writer that never started takes its empty file away with it.
    ~AVAssetWriter() override;
    // A failure when the file cannot be created there or the type is unknown.
    static Result<std::shared_ptr<AVAssetWriter>> assetWriterWithURL(const std::shared_ptr<NSURL>& url,
                                                                     const std::string& fileType);
    // Samples of one input waiting for the encoder before that input reports not ready.
    static constexpr int kEncodeQueueCapacity = 8;

    const std::shared_ptr<NSURL>& outputURL() const { return url_; }
    AVAssetWriterStatus status() const { return status_.load(); }
    std::shared_ptr<NSError> error() const;

    // Before writing starts; one input per media type.
    bool canAddInput(const std::shared_ptr<AVAssetWriterInput>& input) const;
    void addInput(const std::shared_ptr<AVAssetWriterInput>& input);
    std::vector<std::shared_ptr<AVAssetWriterInput>> inputs() const;

    bool startWriting();
    void startSessionAtSourceTime(CMTime time);
    // The handler runs on the writer's own queue once the file is complete or has failed.
    void finishWritingWithCompletionHandler(std::function<void()> handler);
    void cancelWriting();

    // Holds the encode queue (tests use it to fill the queue); released by resumeEncoding.
    void suspendEncodingForTesting();
    void resumeEncodingForTesting();

    std::string className() const override { return "AVAssetWriter"; }

protected:
    AVAssetWriter(std::shared_ptr<NSURL> url, std::string fileType)
        : url_(std::move(url)), fileType_(std::move(fileType)) {}

private:
    friend class AVAssetWriterInput;
    struct Encoding;
    bool ready(bool picture) const;
    bool append(const AVAssetWriterInput& input, const CMSampleBufferRef& buffer);
    void failWith(const std::string& message);

    const std::shared_ptr<NSURL> url_;
    const std::string fileType_;
    std::atomic<AVAssetWriterStatus> status_{AVAssetWriterStatus::Unknown};
    std::atomic<int> pendingPictures_{0}, pendingSound_{0};
    std::atomic<bool> finishing_{false};
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<AVAssetWriterInput>> inputs_;
    std::shared_ptr<NSError> error_;
    std::shared_ptr<Encoding> encoding_;  // made by startWriting; used on the queue only
    dispatch_queue_t queue_;
    std::mutex gateMutex_;
    std::condition_variable gate_;
    bool held_ = false;
};
