// CameraVideoHost: a capture host that records movies as a list of segment files and merges them
// into one movie. Its own recording operations do nothing; subclasses fill them in.
//
// Thread-safe: the segment list sits behind a lock; the retiming scratch buffer is used by one
// caller at a time.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "capture/camera_host.h"
#include "platform/media/cm_format_description.h"

class CameraVideoHost : public CameraHost {
public:
    using RecordCompletion = std::function<void(bool success)>;

    KORVA_MAKE(CameraVideoHost)

    std::vector<std::string> segs() const;
    void setSegs(std::vector<std::string> segs);
    void appendSeg(std::string path);

    virtual bool isRecording() { return false; }
    virtual void record(RecordCompletion completion) { (void)completion; }
    virtual void pause(RecordCompletion completion) { (void)completion; }
    virtual double duration() { return 0.0; }
    // Merges every segment into the merged movie; the completion gets the export's flag on the main queue.
    virtual void save(RecordCompletion completion);

    // A copy of the buffer with its time stamps moved by delta (added, or subtracted when add is false).
    CMSampleBufferRef adjustTime(const CMSampleBufferRef& sample, CMTime delta, bool add);
    static void adjustTimeAdd(std::vector<CMSampleTimingInfo>& timing, std::size_t count, CMTime delta);
    static void adjustTimeSub(std::vector<CMSampleTimingInfo>& timing, std::size_t count, CMTime delta);
    std::int64_t lastTimingCount() const { return std::int64_t(lastTimings_.size()); }

    std::string className() const override { return "CameraVideoHost"; }

protected:
    CameraVideoHost(bool video, bool audio) : CameraHost(video, audio) {}

private:
    mutable std::mutex segsMutex_;
    std::vector<std::string> segs_;
    std::vector<CMSampleTimingInfo> lastTimings_;
};
