// AVCaptureVideoDataOutput: BGRA frames to a delegate on the delegate's queue.
//
// Frames are turned and mirrored as the output's connection says. While the delegate is still busy
// with a frame, a new one is discarded (alwaysDiscardsLateVideoFrames, the default) or queued (at
// most a few; beyond that they are discarded too, as the camera has no more buffers). The frames
// come from a small pool: a delegate that keeps many of them starves it, and later frames are
// discarded until it lets go, as on a device. Thread-safe.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/capture/av_capture_output.h"
#include "platform/capture/cm_sample_buffer.h"
#include "platform/capture/cv_pixel_buffer.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/value.h"

// One protocol for video and audio data, as the platform's two share the method.
class AVCaptureDataOutputSampleBufferDelegate {
public:
    virtual ~AVCaptureDataOutputSampleBufferDelegate() = default;
    virtual void captureOutput(const std::shared_ptr<AVCaptureOutput>& output, const CMSampleBufferRef& sampleBuffer,
                               const std::shared_ptr<AVCaptureConnection>& connection) = 0;
    virtual void captureOutputDidDrop(const std::shared_ptr<AVCaptureOutput>&, const CMSampleBufferRef&,
                                      const std::shared_ptr<AVCaptureConnection>&) {}
};
using AVCaptureVideoDataOutputSampleBufferDelegate = AVCaptureDataOutputSampleBufferDelegate;
using AVCaptureAudioDataOutputSampleBufferDelegate = AVCaptureDataOutputSampleBufferDelegate;

inline constexpr const char* kCVPixelBufferPixelFormatTypeKey = "PixelFormatType";

class AVCaptureVideoDataOutput : public AVCaptureOutput {
public:
    KORVA_MAKE(AVCaptureVideoDataOutput)

    AVMediaType mediaType() const override { return AVMediaType::Video; }

    // The delegate is held weakly; a null delegate or queue stops delivery.
    void setSampleBufferDelegate(std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> delegate,
                                 dispatch_queue_t queue);
    std::shared_ptr<AVCaptureDataOutputSampleBufferDelegate> sampleBufferDelegate() const;
    dispatch_queue_t sampleBufferCallbackQueue() const;

    bool alwaysDiscardsLateVideoFrames() const { return discardLate_.load(); }
    void setAlwaysDiscardsLateVideoFrames(bool discard) { discardLate_ = discard; }

    // Only 32-bit BGRA is produced; other pixel formats are refused (false).
    Value videoSettings() const;
    bool setVideoSettings(const Value& settings);

    // Called by the session on the camera's thread for every frame.
    void deliverFrame(const CVPixelBufferRef& sensorFrame, CMTime presentationTime, CMTime frameDuration);

    std::size_t deliveredFrameCount() const { return delivered_.load(); }
    std::size_t droppedFrameCount() const { return dropped_.load(); }

    std::string className() const override { return "AVCaptureVideoDataOutput"; }

private:
    static constexpr int kMaxQueuedFrames = 3;
    mutable std::mutex mutex_;
    std::weak_ptr<AVCaptureDataOutputSampleBufferDelegate> delegate_;
    dispatch_queue_t queue_;
    std::shared_ptr<CVPixelBufferPool> pool_;
    std::atomic<bool> discardLate_{true};
    std::atomic<int> inFlight_{0};
    std::atomic<std::size_t> delivered_{0}, dropped_{0};
};
