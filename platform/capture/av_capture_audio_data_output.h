// AVCaptureAudioDataOutput: blocks of microphone samples to a delegate on the delegate's queue.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/capture/av_capture_video_data_output.h"

class AVCaptureAudioDataOutput : public AVCaptureOutput {
public:
    KORVA_MAKE(AVCaptureAudioDataOutput)

    AVMediaType mediaType() const override { return AVMediaType::Audio; }
    void setSampleBufferDelegate(std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> delegate,
                                 dispatch_queue_t queue);
    std::shared_ptr<AVCaptureDataOutputSampleBufferDelegate> sampleBufferDelegate() const;

    // Called by the session on the microphone's thread.
    void deliverAudio(CMAudioBlock audio, CMTime presentationTime);
    std::size_t deliveredCount() const { return delivered_.load(); }

    std::string className() const override { return "AVCaptureAudioDataOutput"; }

private:
    mutable std::mutex mutex_;
    std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> delegate_;
    dispatch_queue_t queue_;
    std::atomic<std::size_t> delivered_{0};
};
