// Video4Linux2 capture.
#include "platform/capture/v4l2_camera.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/capture/frame_scaling.h"
#include "platform/capture/pixel_conversion.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/log.h"

namespace {

const char* kLog = "capture";
constexpr float kMinIso = 100, kMaxIso = 1600;

int xioctl(int fd, unsigned long request, void* arg) {
    int r;
    do r = ::ioctl(fd, request, arg);
    while (r == -1 && errno == EINTR);
    return r;
}

struct Control {
    std::int32_t min = 0, max = 0, step = 1, def = 0;
    std::vector<std::int32_t> menu;  // the valid entries of a menu control
};

struct Size {
    int width, height;
    std::uint32_t fourcc;  // the pixel format that gives this size (YUYV preferred)
};

class V4l2Driver : public CaptureDeviceDriver {
public:
    V4l2Driver(int fd, std::string path, std::vector<Size> sizes, std::map<std::uint32_t, Control> controls)
        : fd_(fd),
          path_(std::move(path)),
          sizes_(std::move(sizes)),
          controls_(std::move(controls)),
          queue_(DispatchQueue::serial("korva.capture.v4l2")) {}
    ~V4l2Driver() override {
        stopStreaming();
        ::close(fd_);
    }

    bool has(std::uint32_t id) const { return controls_.count(id) > 0; }
    const Control* control(std::uint32_t id) const {
        auto it = controls_.find(id);
        return it == controls_.end() ? nullptr : &it->second;
    }

    void controlChanged(CaptureControl what) override;
    Result<void> applyTorch(AVCaptureTorchMode mode, float level) override;
    Result<std::unique_ptr<CaptureStream>> startVideo(CMVideoDimensions size, double frameRate,
                                                      CaptureVideoSink sink) override;
    Result<CVPixelBufferRef> captureStill(const CaptureStillRequest& request) override;

    void stopStreaming();

private:
    bool set(std::uint32_t id, std::int32_t value);
    std::optional<std::int32_t> get(std::uint32_t id) const;
    void settleLater(CaptureControl what);
    void readBack();
    void loop(CMVideoDimensions out, CaptureVideoSink sink);

    int fd_;
    std::string path_;
    std::vector<Size> sizes_;
    std::map<std::uint32_t, Control> controls_;
    dispatch_queue_t queue_;

    std::mutex lifeMutex_;    // starting and stopping
    std::mutex streamMutex_;  // lastFrame_
    std::thread thread_;
    std::atomic<bool> running_{false};
    struct Mapped {
        void* start = nullptr;
        std::size_t length = 0;
    };
    std::vector<Mapped> buffers_;
    CVPixelBufferRef lastFrame_;  // full-size, for stills; guarded by streamMutex_
    Size active_{0, 0, 0};
    std::size_t bytesPerLine_ = 0;
};

class V4l2Stream : public CaptureStream {
public:
    explicit V4l2Stream(V4l2Driver* driver) : driver_(driver) {}
    ~V4l2Stream() override { stop(); }
    void stop() override { driver_->stopStreaming(); }

private:
    V4l2Driver* driver_;
};

bool V4l2Driver::set(std::uint32_t id, std::int32_t value) {
    const Control* c = control(id);
    if (!c) return false;
    v4l2_control ctrl{};
    ctrl.id = id;
    ctrl.value = std::clamp(value, c->min, c->max);
    if (xioctl(fd_, VIDIOC_S_CTRL, &ctrl) == -1) {
        Log::warning(kLog, path_ + ": control " + std::to_string(id) + " refused: " + std::strerror(errno));
        return false;
    }
    return true;
}

std::optional<std::int32_t> V4l2Driver::get(std::uint32_t id) const {
    if (!control(id)) return std::nullopt;
    v4l2_control ctrl{};
    ctrl.id = id;
    if (xioctl(fd_, VIDIOC_G_CTRL, &ctrl) == -1) return std::nullopt;
    return ctrl.value;
}

void V4l2Driver::controlChanged(CaptureControl what) {
    auto d = device();
    if (!d) return;
    switch (what) {
        case CaptureControl::Focus:
            if (d->focusMode() == AVCaptureFocusMode::Locked) {
                set(V4L2_CID_FOCUS_AUTO, 0);
                // Larger absolute values focus nearer; the lens position runs from near (0) to far (1).
                if (const Control* c = control(V4L2_CID_FOCUS_ABSOLUTE))
                    set(V4L2_CID_FOCUS_ABSOLUTE,
                        std::int32_t(std::lround(c->max - d->lensPosition() * (c->max - c->min))));
                d->reportAdjustingFocus(false);
            } else {
                set(V4L2_CID_FOCUS_AUTO, 1);
                settleLater(what);
            }
            break;
        case CaptureControl::Exposure: {
            auto mode = d->exposureMode();
            if (mode == AVCaptureExposureMode::Custom || mode == AVCaptureExposureMode::Locked) {
                set(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL);
                // The control counts 100 microsecond units.
                set(V4L2_CID_EXPOSURE_ABSOLUTE,
                    std::int32_t(std::lround(CMTimeGetSeconds(d->exposureDuration()) * 10000)));
                if (const Control* g = control(V4L2_CID_GAIN))
                    set(V4L2_CID_GAIN, std::int32_t(std::lround(g->min + (d->ISO() - kMinIso) / (kMaxIso - kMinIso) *
                                                                             (g->max - g->min))));
                d->reportAdjustingExposure(false);
            } else {
                const Control* c = control(V4L2_CID_EXPOSURE_AUTO);
                bool aperture = c && std::count(c->menu.begin(), c->menu.end(), V4L2_EXPOSURE_APERTURE_PRIORITY);
                set(V4L2_CID_EXPOSURE_AUTO, aperture ? V4L2_EXPOSURE_APERTURE_PRIORITY : V4L2_EXPOSURE_AUTO);
                settleLater(what);
            }
            break;
        }
        case CaptureControl::WhiteBalance:
            if (d->whiteBalanceMode() == AVCaptureWhiteBalanceMode::Locked) {
                set(V4L2_CID_AUTO_WHITE_BALANCE, 0);
                auto tt = d->temperatureAndTintValuesForDeviceWhiteBalanceGains(d->deviceWhiteBalanceGains());
                if (std::isfinite(tt.temperature))
                    set(V4L2_CID_WHITE_BALANCE_TEMPERATURE, std::int32_t(tt.temperature));
                d->reportAdjustingWhiteBalance(false);
            } else {
                set(V4L2_CID_AUTO_WHITE_BALANCE, 1);
                settleLater(what);
            }
            break;
        default: break;
    }
}

// The camera does not say when its automatic modes settle: report them adjusting for half a
// second, then read back what it arrived at.
void V4l2Driver::settleLater(CaptureControl what) {
    auto d = device();
    if (!d) return;
    if (what == CaptureControl::Focus) d->reportAdjustingFocus(true);
    if (what == CaptureControl::Exposure) d->reportAdjustingExposure(true);
    if (what == CaptureControl::WhiteBalance) d->reportAdjustingWhiteBalance(true);
    std::weak_ptr<AVCaptureDevice> weak = d;
    queue_->after(0.5, [this, weak, what] {
        auto dev = weak.lock();
        if (!dev) return;
        readBack();
        if (what == CaptureControl::Focus) dev->reportAdjustingFocus(false);
        if (what == CaptureControl::Exposure) dev->reportAdjustingExposure(false);
        if (what == CaptureControl::WhiteBalance) dev->reportAdjustingWhiteBalance(false);
    });
}

void V4l2Driver::readBack() {
    auto d = device();
    if (!d) return;
    if (auto e = get(V4L2_CID_EXPOSURE_ABSOLUTE)) {
        float iso = d->ISO();
        if (const Control* g = control(V4L2_CID_GAIN); g && g->max > g->min)
            if (auto gain = get(V4L2_CID_GAIN))
                iso = kMinIso + float(*gain - g->min) / float(g->max - g->min) * (kMaxIso - kMinIso);
        d->reportExposure(CMTimeMake(std::max(1, *e) * 100, 1000000), iso);
    }
    if (const Control* f = control(V4L2_CID_FOCUS_ABSOLUTE); f && f->max > f->min)
        if (auto v = get(V4L2_CID_FOCUS_ABSOLUTE)) d->reportLensPosition(float(f->max - *v) / float(f->max - f->min));
    if (auto t = get(V4L2_CID_WHITE_BALANCE_TEMPERATURE))
        d->reportWhiteBalanceGains(d->deviceWhiteBalanceGainsForTemperatureAndTintValues({float(*t), 0}));
}

Result<void> V4l2Driver::applyTorch(AVCaptureTorchMode mode, float) {
    if (!has(V4L2_CID_FLASH_LED_MODE)) return fail("the camera has no torch");
    if (!set(V4L2_CID_FLASH_LED_MODE,
             mode == AVCaptureTorchMode::Off ? V4L2_FLASH_LED_MODE_NONE : V4L2_FLASH_LED_MODE_TORCH))
        return fail("the camera refused the torch");
    return {};
}

Result<std::unique_ptr<CaptureStream>> V4l2Driver::startVideo(CMVideoDimensions size, double frameRate,
                                                              CaptureVideoSink sink) {
    stopStreaming();
    // The device size nearest above the wanted one (the largest when none is), scaled to fit.
    const Size* chosen = nullptr;
    for (const auto& s : sizes_)
        if (s.width >= size.width && s.height >= size.height &&
            (!chosen || s.width * s.height < chosen->width * chosen->height))
            chosen = &s;
    if (!chosen)
        for (const auto& s : sizes_)
            if (!chosen || s.width * s.height > chosen->width * chosen->height) chosen = &s;
    if (!chosen) return fail(path_ + ": no frame size");

    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = std::uint32_t(chosen->width);
    fmt.fmt.pix.height = std::uint32_t(chosen->height);
    fmt.fmt.pix.pixelformat = chosen->fourcc;
    fmt.fmt.pix.field = V4L2_FIELD_NONE;
    if (xioctl(fd_, VIDIOC_S_FMT, &fmt) == -1) return fail(path_ + ": cannot set the format: " + std::strerror(errno));
    active_ = {int(fmt.fmt.pix.width), int(fmt.fmt.pix.height), fmt.fmt.pix.pixelformat};
    bytesPerLine_ = fmt.fmt.pix.bytesperline ? fmt.fmt.pix.bytesperline : std::size_t(active_.width) * 2;

    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parm.parm.capture.timeperframe = {1, std::uint32_t(std::max(1.0, std::round(frameRate)))};
    xioctl(fd_, VIDIOC_S_PARM, &parm);  // best effort

    v4l2_requestbuffers req{};
    req.count = 4;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (xioctl(fd_, VIDIOC_REQBUFS, &req) == -1 || req.count < 2) return fail(path_ + ": no streaming buffers");
    buffers_.clear();
    for (std::uint32_t i = 0; i < req.count; ++i) {
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        if (xioctl(fd_, VIDIOC_QUERYBUF, &buf) == -1) return stopStreaming(), fail(path_ + ": cannot query a buffer");
        void* p = ::mmap(nullptr, buf.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, buf.m.offset);
        if (p == MAP_FAILED) return stopStreaming(), fail(path_ + ": cannot map a buffer");
        buffers_.push_back({p, buf.length});
        if (xioctl(fd_, VIDIOC_QBUF, &buf) == -1) return stopStreaming(), fail(path_ + ": cannot queue a buffer");
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (xioctl(fd_, VIDIOC_STREAMON, &type) == -1) return stopStreaming(), fail(path_ + ": cannot start streaming");
    running_ = true;
    thread_ = std::thread([this, size, sink = std::move(sink)] { loop(size, sink); });
    return std::unique_ptr<CaptureStream>(std::make_unique<V4l2Stream>(this));
}

void V4l2Driver::loop(CMVideoDimensions out, CaptureVideoSink sink) {
    auto pool = CVPixelBufferPool::make(std::size_t(out.width), std::size_t(out.height));
    CVPixelBufferRef yuyvFrame;
    while (running_) {
        pollfd p{fd_, POLLIN, 0};
        int ready = ::poll(&p, 1, 100);
        if (ready <= 0) continue;
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (xioctl(fd_, VIDIOC_DQBUF, &buf) == -1) continue;
        std::span<const std::uint8_t> data(static_cast<const std::uint8_t*>(buffers_[buf.index].start), buf.bytesused);
        CVPixelBufferRef full;
        if (active_.fourcc == V4L2_PIX_FMT_YUYV) {
            if (!yuyvFrame) yuyvFrame = CVPixelBuffer::make(std::size_t(active_.width), std::size_t(active_.height));
            if (convertYUYVToBGRA(data, active_.width, active_.height, bytesPerLine_, *yuyvFrame))
                full = yuyvFrame->copy();
        } else if (auto decoded = convertMJPEGToBGRA(data)) {
            full = *decoded;
        }
        xioctl(fd_, VIDIOC_QBUF, &buf);
        if (!full) continue;  // a damaged frame is skipped
        {
            std::lock_guard lock(streamMutex_);
            lastFrame_ = full;
        }
        if (auto frame = pool->createPixelBuffer()) {
            fillFrameFrom(bgraView(*full), *frame, zoomFactor());
            sink(frame, CMTimeMakeWithSeconds(Clock::now(), 1000000000));
        }
    }
}

void V4l2Driver::stopStreaming() {
    // The reading thread takes streamMutex_ for each frame, so it is joined under another lock.
    std::lock_guard lock(lifeMutex_);
    bool wasRunning = running_.exchange(false);
    if (thread_.joinable()) thread_.join();
    if (wasRunning) {
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        xioctl(fd_, VIDIOC_STREAMOFF, &type);
    }
    for (auto& b : buffers_) ::munmap(b.start, b.length);
    if (!buffers_.empty()) {
        v4l2_requestbuffers req{};
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        xioctl(fd_, VIDIOC_REQBUFS, &req);
    }
    buffers_.clear();
}

Result<CVPixelBufferRef> V4l2Driver::captureStill(const CaptureStillRequest& request) {
    CVPixelBufferRef last;
    {
        std::lock_guard lock(streamMutex_);
        last = lastFrame_;
    }
    if (!last) return fail(path_ + ": no frame yet (the camera takes photos while it streams)");
    return makeStillFrom(*last, request.dimensions, zoomFactor());
}

std::map<std::uint32_t, Control> queryControls(int fd) {
    std::map<std::uint32_t, Control> out;
    for (std::uint32_t id :
         {V4L2_CID_EXPOSURE_AUTO, V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CID_GAIN, V4L2_CID_AUTO_WHITE_BALANCE,
          V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CID_FOCUS_AUTO, V4L2_CID_FOCUS_ABSOLUTE, V4L2_CID_FLASH_LED_MODE}) {
        v4l2_queryctrl q{};
        q.id = id;
        if (xioctl(fd, VIDIOC_QUERYCTRL, &q) == -1 || (q.flags & V4L2_CTRL_FLAG_DISABLED)) continue;
        Control c{q.minimum, q.maximum, q.step, q.default_value, {}};
        if (q.type == V4L2_CTRL_TYPE_MENU)
            for (std::int32_t i = q.minimum; i <= q.maximum; ++i) {
                v4l2_querymenu m{};
                m.id = id;
                m.index = std::uint32_t(i);
                if (xioctl(fd, VIDIOC_QUERYMENU, &m) == 0) c.menu.push_back(i);
            }
        out[id] = c;
    }
    return out;
}

std::vector<Size> querySizes(int fd) {
    std::vector<Size> out;
    for (std::uint32_t fourcc : {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG}) {
        v4l2_frmsizeenum f{};
        f.pixel_format = fourcc;
        for (f.index = 0; xioctl(fd, VIDIOC_ENUM_FRAMESIZES, &f) == 0; ++f.index) {
            if (f.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                Size s{int(f.discrete.width), int(f.discrete.height), fourcc};
                bool known = std::any_of(out.begin(), out.end(),
                                         [&](const Size& o) { return o.width == s.width && o.height == s.height; });
                if (!known) out.push_back(s);
            } else {
                out.push_back({int(f.stepwise.max_width), int(f.stepwise.max_height), fourcc});
                break;
            }
        }
    }
    return out;
}

Result<std::shared_ptr<AVCaptureDevice>> openOne(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(path + ": " + std::strerror(errno));
    v4l2_capability cap{};
    if (xioctl(fd, VIDIOC_QUERYCAP, &cap) == -1) {
        ::close(fd);
        return fail(path + ": not a V4L2 device");
    }
    std::uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING)) {
        ::close(fd);
        return fail(path + ": not a streaming capture device");
    }
    auto sizes = querySizes(fd);
    if (sizes.empty()) {
        ::close(fd);
        return fail(path + ": offers neither YUYV nor motion-JPEG frames");
    }
    auto controls = queryControls(fd);

    AVCaptureDeviceCapabilities c;
    c.uniqueID = "korva.v4l2:" + path;
    c.localizedName = reinterpret_cast<const char*>(cap.card);
    c.position = AVCaptureDevicePosition::Back;
    c.deviceType = AVCaptureDeviceType::External;
    c.focusModes = {AVCaptureFocusMode::Locked};
    if (controls.count(V4L2_CID_FOCUS_AUTO)) c.focusModes.insert(AVCaptureFocusMode::ContinuousAutoFocus);
    c.lockingFocusWithCustomLensPositionSupported = controls.count(V4L2_CID_FOCUS_ABSOLUTE) > 0;
    c.exposureModes = {AVCaptureExposureMode::Locked};
    if (controls.count(V4L2_CID_EXPOSURE_AUTO)) c.exposureModes.insert(AVCaptureExposureMode::ContinuousAutoExposure);
    if (controls.count(V4L2_CID_EXPOSURE_ABSOLUTE)) c.exposureModes.insert(AVCaptureExposureMode::Custom);
    c.whiteBalanceModes = {AVCaptureWhiteBalanceMode::Locked};
    if (controls.count(V4L2_CID_AUTO_WHITE_BALANCE))
        c.whiteBalanceModes.insert(AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance);
    c.lockingWhiteBalanceWithCustomDeviceGainsSupported = controls.count(V4L2_CID_WHITE_BALANCE_TEMPERATURE) > 0;
    if (controls.count(V4L2_CID_FLASH_LED_MODE)) {
        c.hasTorch = true;
        c.torchModes = {AVCaptureTorchMode::Off, AVCaptureTorchMode::On};
    }

    const Size* largest = &sizes.front();
    for (const auto& s : sizes)
        if (s.width * s.height > largest->width * largest->height) largest = &s;
    CMTime minExposure = CMTimeMake(100, 1000000), maxExposure = CMTimeMake(1, 3);
    if (auto it = controls.find(V4L2_CID_EXPOSURE_ABSOLUTE); it != controls.end()) {
        minExposure = CMTimeMake(std::max(1, it->second.min) * 100, 1000000);
        maxExposure = CMTimeMake(std::max(it->second.min + 1, it->second.max) * 100, 1000000);
    }
    for (const auto& s : sizes) {
        AVCaptureDeviceFormat::Description d;
        d.dimensions = {s.width, s.height};
        d.highResolutionStillImageDimensions = {largest->width, largest->height};
        d.minExposureDuration = minExposure;
        d.maxExposureDuration = maxExposure;
        d.minISO = kMinIso;
        d.maxISO = kMaxIso;
        d.videoMaxZoomFactor = 4;
        c.formats.push_back(AVCaptureDeviceFormat::make(d));
    }
    // Sized presets where the camera has the size; the named ones pick from what it has.
    namespace P = AVCaptureSessionPreset;
    std::size_t largestIndex = std::size_t(largest - sizes.data());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::string name =
            "AVCaptureSessionPreset" + std::to_string(sizes[i].width) + "x" + std::to_string(sizes[i].height);
        c.presets[name] = {i, {sizes[i].width, sizes[i].height}};
    }
    c.presets[P::High] = {largestIndex, {largest->width, largest->height}};
    c.presets[P::Photo] = {largestIndex, {largest->width, largest->height}};
    c.presets[P::Medium] = {largestIndex, {480, 360}};
    c.presets[P::Low] = {largestIndex, {192, 144}};

    auto driver = std::make_unique<V4l2Driver>(fd, path, sizes, controls);
    return AVCaptureDevice::make(c, std::move(driver));
}

}  // namespace

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openV4l2Cameras(const std::string& path) {
    std::vector<std::shared_ptr<AVCaptureDevice>> out;
    if (!path.empty()) {
        auto d = openOne(path);
        if (!d) return fail(d.error());
        out.push_back(*d);
        return out;
    }
    for (int i = 0; i < 64; ++i) {
        std::string p = "/dev/video" + std::to_string(i);
        if (::access(p.c_str(), F_OK) != 0) continue;
        if (auto d = openOne(p)) out.push_back(*d);
    }
    if (out.empty()) return fail("no V4L2 capture device found");
    return out;
}
