#include "capture/camera_video_general_host.h"

#include <filesystem>

#include "capture/path_base.h"
#include "platform/dispatch/run_loop.h"
#include "platform/media/av_asset.h"
#include "platform/media/cm_time_range.h"
#include "platform/runtime/log.h"

void CameraVideoGeneralHost::init() {
    CameraVideoHost::init();
    setCameraDelegate(std::weak_ptr<CameraHostDelegate>(std::static_pointer_cast<CameraHostDelegate>(host())));
}

std::shared_ptr<AVAssetWriter> CameraVideoGeneralHost::writer() const {
    std::lock_guard lock(mutex_);
    return writer_;
}
std::shared_ptr<AVAssetWriterInput> CameraVideoGeneralHost::vWriter() const {
    std::lock_guard lock(mutex_);
    return vWriter_;
}
std::shared_ptr<AVAssetWriterInput> CameraVideoGeneralHost::aWriter() const {
    std::lock_guard lock(mutex_);
    return aWriter_;
}
CMTime CameraVideoGeneralHost::durLast() const {
    std::lock_guard lock(mutex_);
    return durLast_;
}

double CameraVideoGeneralHost::duration() {
    std::lock_guard lock(mutex_);
    return CMTimeGetSeconds(durLast_) + CMTimeGetSeconds(CMTimeSubtract(currentAt_, startedAt_));
}

void CameraVideoGeneralHost::record(RecordCompletion completion) {
    if (writer()) return;
    // The path service and the subclasses' first step belong to the main thread; a call from
    // elsewhere continues there.
    if (!RunLoop::isMainThread()) {
        dispatch_async(dispatch_get_main_queue(), [self = host(), completion = std::move(completion)]() mutable {
            self->record(std::move(completion));
        });
        return;
    }
    recordWillStart();
    auto paths = recordingPaths();
    dispatch_async(q(), [self = host(), paths, completion = std::move(completion)]() mutable {
        // A second record queued before the first one ran finds the writer made.
        if (self->writer()) return;
        self->writer1(paths);
        bool made = self->writer() != nullptr;
        self->recording_ = made;
        if (made) self->recordDidStart();
        dispatch_async(dispatch_get_main_queue(), [self, made, completion = std::move(completion)] {
            if (made)
                if (auto d = self->delegate()) d->onCameraVideoHostRecordingStarted(self);
            if (completion) completion(made);
        });
    });
}

void CameraVideoGeneralHost::writer1(const std::shared_ptr<PathBase>& paths) {
    std::string path = paths->segment(std::int64_t(segs().size()));
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    auto made = AVAssetWriter::assetWriterWithURL(NSURL::fileURLWithPath(path), AVFileTypeMPEG4);
    if (!made) Log::warning("capture", "no segment writer: " + made.error());
    std::lock_guard lock(mutex_);
    vLast_ = aLast_ = nullptr;
    startedAt_ = currentAt_ = kCMTimeZero;
    writer_ = made ? *made : nullptr;
}

void CameraVideoGeneralHost::writer0() {
    std::lock_guard lock(mutex_);
    writer_ = nullptr;
    vWriter_ = aWriter_ = nullptr;
}

void CameraVideoGeneralHost::writerReady() {
    std::lock_guard lock(mutex_);
    if (!writer_ || writer_->status() != AVAssetWriterStatus::Unknown) return;
    if (!vWriter_ && vLast_) {
        auto image = vLast_->imageBuffer();
        if (image) {
            ValueDictionary settings;
            settings.set(AVVideoCodecKey, AVVideoCodecH264);
            settings.set(AVVideoWidthKey, double(image->width()));
            settings.set(AVVideoHeightKey, double(image->height()));
            vWriter_ = AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeVideo, settings,
                                                                         CMSampleBufferGetFormatDescription(vLast_));
            vWriter_->setExpectsMediaDataInRealTime(true);
        }
    }
    if (captureAudio() && !aWriter_ && aLast_) {
        auto stream = CMAudioFormatDescriptionGetStreamBasicDescription(CMSampleBufferGetFormatDescription(aLast_));
        if (stream) {
            ValueDictionary settings;
            settings.set(AVFormatIDKey, std::uint32_t(kAudioFormatMPEG4AAC));
            settings.set(AVNumberOfChannelsKey, std::uint32_t(stream->mChannelsPerFrame));
            settings.set(AVSampleRateKey, stream->mSampleRate);
            aWriter_ = AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeAudio, settings,
                                                                         CMSampleBufferGetFormatDescription(aLast_));
            aWriter_->setExpectsMediaDataInRealTime(true);
        }
    }
    bool sound = captureAudio();
    if (!vWriter_ || !writer_->canAddInput(vWriter_)) return;
    if (sound && (!aWriter_ || !writer_->canAddInput(aWriter_))) return;
    writer_->addInput(vWriter_);
    if (sound) writer_->addInput(aWriter_);
    if (!writer_->startWriting()) return;
    CMTime start = vLast_ ? vLast_->presentationTimeStamp() : kCMTimeInvalid;
    if (!CMTIME_IS_VALID(start) && aLast_) start = aLast_->presentationTimeStamp();
    writer_->startSessionAtSourceTime(start);
    startedAt_ = start;
    // Until the next picture the running time counts from the start.
    currentAt_ = start;
}

void CameraVideoGeneralHost::writeVideo() {
    std::lock_guard lock(mutex_);
    if (!vWriter_ || !vLast_) return;
    if (vWriter_->isReadyForMoreMediaData()) vWriter_->appendSampleBuffer(vLast_);
    currentAt_ = vLast_->presentationTimeStamp();
}

void CameraVideoGeneralHost::writeAudio() {
    std::lock_guard lock(mutex_);
    if (aWriter_ && aLast_ && aWriter_->isReadyForMoreMediaData()) aWriter_->appendSampleBuffer(aLast_);
}

void CameraVideoGeneralHost::onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>& h,
                                                           const CMSampleBufferRef& s) {
    if (recording_) {
        {
            std::lock_guard lock(mutex_);
            vLast_ = s;
        }
        writerReady();
        if (auto w = writer(); w && w->status() == AVAssetWriterStatus::Writing) writeVideo();
    }
    CameraHostForwarder::onCameraHostSampleBufferVideo(h, s);
}

void CameraVideoGeneralHost::onCameraHostSampleBufferAudio(const std::shared_ptr<CameraHost>& h,
                                                           const CMSampleBufferRef& s) {
    if (recording_) {
        {
            std::lock_guard lock(mutex_);
            aLast_ = s;
        }
        writerReady();
        if (auto w = writer(); w && w->status() == AVAssetWriterStatus::Writing) writeAudio();
    }
    CameraHostForwarder::onCameraHostSampleBufferAudio(h, s);
}

void CameraVideoGeneralHost::pause(RecordCompletion completion) {
    dispatch_async(q(), [self = host(), completion = std::move(completion)]() mutable {
        self->recording_ = false;
        self->recordWillPause();
        auto w = self->writer();
        if (!w || w->status() != AVAssetWriterStatus::Writing) {
            self->writer0();
            self->stopped(false, std::move(completion));
            return;
        }
        w->finishWritingWithCompletionHandler([self, w, completion = std::move(completion)]() mutable {
            // The bookkeeping runs on q, in order with the samples and the next record.
            dispatch_async(self->q(), [self, w, completion = std::move(completion)]() mutable {
                self->finished(w, std::move(completion));
            });
        });
    });
}

void CameraVideoGeneralHost::finished(const std::shared_ptr<AVAssetWriter>& w, RecordCompletion completion) {
    bool kept = false;
    if (w->status() == AVAssetWriterStatus::Completed) {
        std::string path = w->outputURL()->path();
        auto asset = AVURLAsset::URLAssetWithURL(w->outputURL());
        {
            std::lock_guard lock(mutex_);
            durLast_ = CMTimeAdd(durLast_, asset ? asset->duration() : kCMTimeZero);
        }
        appendSeg(path);
        kept = true;
    }
    {
        // The finished segment now counts in durLast only.
        std::lock_guard lock(mutex_);
        startedAt_ = currentAt_ = kCMTimeZero;
    }
    // A failed segment lets go of its writer too, so the next record can reuse its number.
    if (writer() == w) writer0();
    dispatch_async(dispatch_get_main_queue(), [self = host()] { self->segmentWillReport(); });
    stopped(kept, std::move(completion));
}

void CameraVideoGeneralHost::stopped(bool ok, RecordCompletion completion) {
    dispatch_async(dispatch_get_main_queue(), [self = host(), ok, completion = std::move(completion)] {
        if (auto d = self->delegate()) d->onCameraVideoHostRecordingStopped(self);
        if (completion) completion(ok);
    });
}
