// Video frame delivery.
#include "platform/capture/av_capture_video_data_output.h"

#include "platform/capture/pixel_buffer_orientation.h"

void AVCaptureVideoDataOutput::setSampleBufferDelegate(std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> delegate,
                                                       dispatch_queue_t queue) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
    queue_ = std::move(queue);
}

std::shared_ptr<AVCaptureDataOutputSampleBufferDelegate> AVCaptureVideoDataOutput::sampleBufferDelegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

dispatch_queue_t AVCaptureVideoDataOutput::sampleBufferCallbackQueue() const {
    std::lock_guard lock(mutex_);
    return queue_;
}

Value AVCaptureVideoDataOutput::videoSettings() const {
    return Value::dictionary(
        {{kCVPixelBufferPixelFormatTypeKey, Value(static_cast<unsigned>(kCVPixelFormatType_32BGRA))}});
}

bool AVCaptureVideoDataOutput::setVideoSettings(const Value& settings) {
    if (settings.isNull()) return true;
    const Value& format = settings[kCVPixelBufferPixelFormatTypeKey];
    return format.isNull() || (format.isNumber() && format.unsignedIntegerValue() == kCVPixelFormatType_32BGRA);
}

void AVCaptureVideoDataOutput::deliverFrame(const CVPixelBufferRef& sensorFrame, CMTime presentationTime,
                                            CMTime frameDuration) {
    auto connection = connectionWithMediaType(AVMediaType::Video);
    std::shared_ptr<AVCaptureDataOutputSampleBufferDelegate> delegate;
    dispatch_queue_t queue;
    {
        std::lock_guard lock(mutex_);
        delegate = delegate_.lock();
        queue = queue_;
    }
    if (!connection || !connection->isActive() || !delegate || !queue || !sensorFrame) return;

    int limit = discardLate_ ? 1 : kMaxQueuedFrames;
    if (inFlight_.load() >= limit) {
        ++dropped_;
        return;
    }
    auto orientation = connection->frameOrientation();
    bool mirrored = connection->isVideoMirrored();
    // The frame is turned when someone reads its pixels, not before: a preview that draws one frame
    // in several at a small size turns as it draws, and what nobody reads is never turned.
    auto size = orientedDimensions({int(sensorFrame->width()), int(sensorFrame->height())}, orientation);
    std::shared_ptr<CVPixelBufferPool> pool;
    {
        std::lock_guard lock(mutex_);
        if (!pool_ || int(pool_->width()) != size.width || int(pool_->height()) != size.height)
            pool_ = CVPixelBufferPool::make(std::size_t(size.width), std::size_t(size.height), kMaxQueuedFrames + 3);
        pool = pool_;
    }
    auto turn = [pool, orientation, mirrored](const CVPixelBuffer& source) -> CVPixelBufferRef {
        auto frame = pool->createPixelBuffer();
        if (!frame) frame = CVPixelBuffer::make(pool->width(), pool->height());
        orientPixelBuffer(source, *frame, orientation, mirrored);
        return frame;
    };
    auto sample =
        CMSampleBuffer::withTurnedImageBuffer(sensorFrame, exifOrientationFor(orientation, mirrored), std::move(turn),
                                              {frameDuration, presentationTime, kCMTimeInvalid});

    ++inFlight_;
    auto self = std::static_pointer_cast<AVCaptureOutput>(shared_from_this());
    std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> weak = delegate;
    queue->async([this, self, weak, sample, connection] {
        if (auto d = weak.lock()) {
            d->captureOutput(self, sample, connection);
            ++delivered_;
        }
        --inFlight_;
    });
}
