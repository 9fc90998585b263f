// Audio delivery.
#include "platform/capture/av_capture_audio_data_output.h"

void AVCaptureAudioDataOutput::setSampleBufferDelegate(std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> delegate,
                                                       dispatch_queue_t queue) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
    queue_ = std::move(queue);
}

std::shared_ptr<AVCaptureDataOutputSampleBufferDelegate> AVCaptureAudioDataOutput::sampleBufferDelegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void AVCaptureAudioDataOutput::deliverAudio(CMAudioBlock audio, CMTime presentationTime) {
    auto connection = connectionWithMediaType(AVMediaType::Audio);
    std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> weak;
    dispatch_queue_t queue;
    {
        std::lock_guard lock(mutex_);
        weak = delegate_;
        queue = queue_;
    }
    if (!connection || !connection->isActive() || weak.expired() || !queue) return;
    CMTime duration = CMTimeMakeWithSeconds(double(audio.frameCount()) / audio.sampleRate, 1000000000);
    auto sample = CMSampleBuffer::withAudio(std::move(audio), {duration, presentationTime, kCMTimeInvalid});
    auto self = std::static_pointer_cast<AVCaptureOutput>(shared_from_this());
    queue->async([this, self, weak, sample, connection] {
        if (auto d = weak.lock()) {
            d->captureOutput(self, sample, connection);
            ++delivered_;
        }
    });
}
