// The "video:PATH" camera: a video file played as a live camera, looped, its frames following the
// Clock (the frame whose time has come is shown), upright at the file's own size (within the sides
// the preview can show) unless the source names one: a file that asks for its pictures to be
// turned (a clip shot on its side) gives them turned. Zoom is digital; other controls read as
// locked.
#include <mutex>
#include <optional>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/capture/clocked_stream.h"
#include "platform/capture/file_camera_capabilities.h"
#include "platform/capture/frame_scaling.h"
#include "platform/capture/frame_size_limits.h"
#include "platform/capture/pixel_buffer_orientation.h"
#include "platform/capture/video_file_decoder.h"

namespace {

// The picture turned by quarter turns clockwise.
CVPixelBufferRef turnedUpright(const CVPixelBufferRef& picture, int quarterTurns) {
    static constexpr AVCaptureVideoOrientation kTurns[] = {
        AVCaptureVideoOrientation::LandscapeRight, AVCaptureVideoOrientation::Portrait,
        AVCaptureVideoOrientation::LandscapeLeft, AVCaptureVideoOrientation::PortraitUpsideDown};
    if (quarterTurns == 0) return picture;
    auto orientation = kTurns[quarterTurns & 3];
    auto size = orientedDimensions({int(picture->width()), int(picture->height())}, orientation);
    auto turned = CVPixelBuffer::make(std::size_t(size.width), std::size_t(size.height));
    orientPixelBuffer(*picture, *turned, orientation, false);
    return turned;
}

class VideoFileCameraDriver : public CaptureDeviceDriver {
public:
    VideoFileCameraDriver(std::string path, std::unique_ptr<VideoFileDecoder> decoder)
        : path_(std::move(path)), decoder_(std::move(decoder)), turns_(decoder_->quarterTurns()) {}

    Result<std::unique_ptr<CaptureStream>> startVideo(CMVideoDimensions size, double frameRate,
                                                      CaptureVideoSink sink) override {
        if (size.width <= 0 || size.height <= 0 || !(frameRate > 0)) return fail("invalid stream size or rate");
        {
            std::lock_guard lock(mutex_);
            if (auto r = decoder_->rewind(); !r) return fail(r.error());
            current_.reset();
            upcoming_.reset();
            loopOffset_ = 0;
        }
        return startClockedVideo(
            "korva.capture.video.stream", size, frameRate,
            [this](CVPixelBuffer& frame, double time) {
                auto picture = frameAt(time);
                if (!picture) return;
                fillFrameFrom(bgraView(*picture), frame, zoomFactor());
            },
            std::move(sink));
    }

    Result<CVPixelBufferRef> captureStill(const CaptureStillRequest& request) override {
        CVPixelBufferRef picture;
        {
            std::lock_guard lock(mutex_);
            picture = current_ ? current_->pixels : nullptr;
        }
        if (!picture) return fail("no frame yet (the camera takes photos while it streams)");
        return makeStillFrom(*picture, request.dimensions, zoomFactor());
    }

private:
    // The last frame whose presentation time is not after `time` (seconds since the stream began),
    // decoding forward and starting the file over at its end.
    CVPixelBufferRef frameAt(double time) {
        std::lock_guard lock(mutex_);
        for (int guard = 0; guard < 10000; ++guard) {
            if (!upcoming_) {
                auto next = decoder_->next();
                if (!next) {
                    // End of the file: loop, unless it gave no frame at all.
                    if (!current_ || !decoder_->rewind()) break;
                    double length = std::max(current_->time + 1e-3, decoder_->duration());
                    loopOffset_ += length;
                    continue;
                }
                next->time += loopOffset_;
                next->pixels = turnedUpright(next->pixels, turns_);
                upcoming_ = *next;
            }
            if (upcoming_->time > time && current_) break;
            current_ = upcoming_;
            upcoming_.reset();
        }
        return current_ ? current_->pixels : nullptr;
    }

    std::string path_;
    std::mutex mutex_;
    std::unique_ptr<VideoFileDecoder> decoder_;
    const int turns_;  // quarter turns clockwise that make the file's pictures upright
    std::optional<VideoFileDecoder::Frame> current_, upcoming_;
    double loopOffset_ = 0;
};

}  // namespace

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openVideoFileCamera(const CameraSource& source) {
    const std::string& path = source.argument;
    if (path.empty()) return fail("video: needs a file path");
    auto decoder = VideoFileDecoder::open(path);
    if (!decoder) return fail(decoder.error());
    // A file that opens but gives no picture (a still in a video's clothing aside) is no camera.
    if (auto first = (*decoder)->next(); !first) return fail(path + " gives no picture: " + first.error());
    if (auto r = (*decoder)->rewind(); !r) return fail("cannot play " + path + ": " + r.error());
    const bool sideways = (*decoder)->quarterTurns() % 2 == 1;
    int w = source.size ? source.size->width : sideways ? (*decoder)->height() : (*decoder)->width();
    int h = source.size ? source.size->height : sideways ? (*decoder)->width() : (*decoder)->height();
    if (auto shown = shownFrameSize({w, h})) {
        logFileFrameSize("video", path, {w, h}, *shown);
        w = shown->width;
        h = shown->height;
    }

    auto c = fileCameraCapabilities("korva.video:" + path, "Video Camera", w, h);
    auto device = AVCaptureDevice::make(c, std::make_unique<VideoFileCameraDriver>(path, std::move(decoder.value())));
    return std::vector<std::shared_ptr<AVCaptureDevice>>{device};
}
