// CameraVideoGeneralHost: records camera and microphone into segment files. Each record starts a
// segment, each pause finishes it; the samples the session delivers are written with an asset
// writer while recording, and every capture event is forwarded to the delegate.
//
// Segment states: Idle -> (record) Armed -> (a picture and a sound sample) Writing -> (pause)
// Finishing -> Idle. record is refused silently while a writer exists. A writer that cannot be
// made answers record with NO and leaves recording off. Samples, the start and the first half of
// pause, and the finished segment's bookkeeping run on the capture queue q; the delegate's
// recording events and the completions come on the main queue. The fields sit behind one lock.
#pragma once

#include <atomic>
#include <mutex>

#include "capture/camera_host_forwarder.h"
#include "capture/camera_video_host.h"
#include "platform/media/av_asset_writer.h"

class PathBase;

class CameraVideoHostDelegate : public CameraHostDelegate {
public:
    // Main queue.
    virtual void onCameraVideoHostRecordingStarted(const std::shared_ptr<CameraVideoHost>&) {}
    virtual void onCameraVideoHostRecordingStopped(const std::shared_ptr<CameraVideoHost>&) {}
};

class CameraVideoGeneralHost : public CameraVideoHost, public CameraHostForwarder {
public:
    KORVA_MAKE(CameraVideoGeneralHost)
    void init() override;

    std::shared_ptr<CameraVideoHostDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CameraVideoHostDelegate> d) { delegate_ = std::move(d); }
    std::shared_ptr<AVAssetWriter> writer() const;
    std::shared_ptr<AVAssetWriterInput> vWriter() const;
    std::shared_ptr<AVAssetWriterInput> aWriter() const;
    bool recording() const { return recording_.load(); }
    CMTime durLast() const;

    bool isRecording() override { return isRunning() && recording_; }
    // Any thread; the work starts on the main thread (where the path service is taken).
    void record(RecordCompletion completion) override;
    void pause(RecordCompletion completion) override;
    double duration() override;

    // Steps of recording, on q.
    void writer1(const std::shared_ptr<PathBase>& paths);
    void writer0();
    void writerReady();
    void writeVideo();
    void writeAudio();

    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>& h, const CMSampleBufferRef& s) override;
    void onCameraHostSampleBufferAudio(const std::shared_ptr<CameraHost>& h, const CMSampleBufferRef& s) override;

    std::string className() const override { return "CameraVideoGeneralHost"; }

protected:
    CameraVideoGeneralHost() : CameraVideoHost(true, true) {}
    // A host without the microphone writes segments of pictures alone; writing starts with the
    // first picture.
    CameraVideoGeneralHost(bool video, bool audio) : CameraVideoHost(video, audio) {}
    std::shared_ptr<CameraHostDelegate> forwardTarget() override { return delegate(); }

    // Steps subclasses add to a segment's life: before record is queued (main thread), after
    // the segment started (q), when pause stops recording (q), and on the main queue before the
    // stopped event of a segment whose writing was finished.
    virtual void recordWillStart() {}
    virtual void recordDidStart() {}
    virtual void recordWillPause() {}
    virtual void segmentWillReport() {}

private:
    std::shared_ptr<CameraVideoGeneralHost> host() { return CameraVideoHost::self<CameraVideoGeneralHost>(); }
    void finished(const std::shared_ptr<AVAssetWriter>& w, RecordCompletion completion);
    void stopped(bool ok, RecordCompletion completion);

    std::atomic<bool> recording_{false};
    std::weak_ptr<CameraVideoHostDelegate> delegate_;
    mutable std::mutex mutex_;  // guards everything below
    CMSampleBufferRef vLast_, aLast_;
    CMTime durLast_ = kCMTimeZero;
    CMTime startedAt_ = kCMTimeZero;
    CMTime currentAt_ = kCMTimeZero;
    std::shared_ptr<AVAssetWriter> writer_;
    std::shared_ptr<AVAssetWriterInput> vWriter_, aWriter_;
};
