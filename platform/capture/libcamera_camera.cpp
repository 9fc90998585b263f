// Cameras of the Linux camera stack.
#include "platform/capture/libcamera_camera.h"

#include <libcamera/camera.h>
#include <libcamera/camera_manager.h>
#include <libcamera/control_ids.h>
#include <libcamera/formats.h>
#include <libcamera/framebuffer_allocator.h>
#include <libcamera/property_ids.h>
#include <libcamera/request.h>
#include <libcamera/stream.h>
#include <sys/mman.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/capture/frame_scaling.h"
#include "platform/capture/libcamera_mapping.h"
#include "platform/capture/pixel_conversion.h"
#include "platform/dispatch/clock.h"
#include "platform/runtime/log.h"

namespace lc = libcamera;
namespace map = libcamera_mapping;

namespace {

const char* kLog = "capture";

// One manager per process (the stack allows no more); kept for the process's life.
lc::CameraManager* cameraManager() {
    static lc::CameraManager* manager = [] {
        // The stack logs a great deal by default.
        setenv("LIBCAMERA_LOG_LEVELS", "*:ERROR", 0);
        auto* m = new lc::CameraManager();
        if (m->start() != 0) {
            Log::error(kLog, "the camera stack did not start");
            delete m;
            return static_cast<lc::CameraManager*>(nullptr);
        }
        return m;
    }();
    return manager;
}

bool hasControl(const lc::Camera& camera, const lc::ControlId& id) {
    return camera.controls().count(&id) > 0;
}

const lc::ControlInfo* info(const lc::Camera& camera, const lc::ControlId& id) {
    auto it = camera.controls().find(&id);
    return it == camera.controls().end() ? nullptr : &it->second;
}

class LibcameraDriver : public CaptureDeviceDriver {
public:
    explicit LibcameraDriver(std::shared_ptr<lc::Camera> camera)
        : camera_(std::move(camera)), pending_(lc::controls::controls) {}
    ~LibcameraDriver() override { stopStreaming(); }

    void controlChanged(CaptureControl what) override;
    Result<std::unique_ptr<CaptureStream>> startVideo(CMVideoDimensions size, double frameRate,
                                                      CaptureVideoSink sink) override;
    Result<CVPixelBufferRef> captureStill(const CaptureStillRequest& request) override;
    void stopStreaming();

private:
    void onRequest(lc::Request* request);
    void report(const lc::ControlList& metadata);
    CVPixelBufferRef convert(const lc::FrameBuffer& buffer);

    std::shared_ptr<lc::Camera> camera_;
    std::mutex controlsMutex_;
    lc::ControlList pending_;

    std::mutex lifeMutex_;
    std::atomic<bool> running_{false};
    std::unique_ptr<lc::CameraConfiguration> config_;
    std::unique_ptr<lc::FrameBufferAllocator> allocator_;
    std::vector<std::unique_ptr<lc::Request>> requests_;
    struct Mapping {
        void* base = nullptr;
        std::size_t length = 0;  // of the whole mapping
        std::size_t offset = 0;  // of the first plane in it
    };
    std::map<const lc::FrameBuffer*, Mapping> mapped_;
    lc::Stream* stream_ = nullptr;
    CaptureVideoSink sink_;
    std::shared_ptr<CVPixelBufferPool> pool_;
    std::mutex frameMutex_;
    CVPixelBufferRef lastFrame_;
};

class LibcameraStream : public CaptureStream {
public:
    explicit LibcameraStream(LibcameraDriver* d) : driver_(d) {}
    ~LibcameraStream() override { stop(); }
    void stop() override { driver_->stopStreaming(); }

private:
    LibcameraDriver* driver_;
};

void LibcameraDriver::controlChanged(CaptureControl what) {
    auto d = device();
    if (!d) return;
    const lc::Camera& cam = *camera_;
    std::lock_guard lock(controlsMutex_);
    switch (what) {
        case CaptureControl::Focus: {
            auto mode = d->focusMode();
            if (hasControl(cam, lc::controls::AfMode)) {
                if (mode == AVCaptureFocusMode::Locked) {
                    pending_.set(lc::controls::AfMode, int32_t(lc::controls::AfModeManual));
                } else if (mode == AVCaptureFocusMode::AutoFocus) {
                    pending_.set(lc::controls::AfMode, int32_t(lc::controls::AfModeAuto));
                    pending_.set(lc::controls::AfTrigger, int32_t(lc::controls::AfTriggerStart));
                } else {
                    pending_.set(lc::controls::AfMode, int32_t(lc::controls::AfModeContinuous));
                }
            }
            if (mode == AVCaptureFocusMode::Locked)
                if (const lc::ControlInfo* i = info(cam, lc::controls::LensPosition))
                    pending_.set(lc::controls::LensPosition,
                                 map::dioptresFromLensPosition(d->lensPosition(), i->max().get<float>()));
            break;
        }
        case CaptureControl::Exposure: {
            auto mode = d->exposureMode();
            bool manual = mode == AVCaptureExposureMode::Custom || mode == AVCaptureExposureMode::Locked;
            if (hasControl(cam, lc::controls::AeEnable)) pending_.set(lc::controls::AeEnable, !manual);
            if (manual) {
                if (hasControl(cam, lc::controls::ExposureTime))
                    pending_.set(lc::controls::ExposureTime, map::microsecondsFromDuration(d->exposureDuration()));
                if (hasControl(cam, lc::controls::AnalogueGain))
                    pending_.set(lc::controls::AnalogueGain, map::analogueGainFromIso(d->ISO()));
            }
            break;
        }
        case CaptureControl::WhiteBalance: {
            bool locked = d->whiteBalanceMode() == AVCaptureWhiteBalanceMode::Locked;
            if (hasControl(cam, lc::controls::AwbEnable)) pending_.set(lc::controls::AwbEnable, !locked);
            if (locked && hasControl(cam, lc::controls::ColourGains)) {
                auto g = map::colourGainsFromDeviceGains(d->deviceWhiteBalanceGains());
                pending_.set(lc::controls::ColourGains, {g.red, g.blue});
            }
            break;
        }
        default: break;
    }
}

void LibcameraDriver::report(const lc::ControlList& metadata) {
    auto d = device();
    if (!d) return;
    auto time = metadata.get(lc::controls::ExposureTime);
    auto gain = metadata.get(lc::controls::AnalogueGain);
    if (time && gain) d->reportExposure(map::durationFromMicroseconds(*time), map::isoFromAnalogueGain(*gain));
    if (auto gains = metadata.get(lc::controls::ColourGains); gains && gains->size() == 2)
        d->reportWhiteBalanceGains(map::deviceGainsFromColourGains({(*gains)[0], (*gains)[1]}));
    if (auto lens = metadata.get(lc::controls::LensPosition))
        if (const lc::ControlInfo* i = info(*camera_, lc::controls::LensPosition))
            d->reportLensPosition(map::lensPositionFromDioptres(*lens, i->max().get<float>()));
    if (auto af = metadata.get(lc::controls::AfState)) d->reportAdjustingFocus(*af == lc::controls::AfStateScanning);
    if (auto ae = metadata.get(lc::controls::AeLocked))
        d->reportAdjustingExposure(!*ae && d->exposureMode() != AVCaptureExposureMode::Custom &&
                                   d->exposureMode() != AVCaptureExposureMode::Locked);
    if (auto awb = metadata.get(lc::controls::AwbLocked))
        d->reportAdjustingWhiteBalance(!*awb && d->whiteBalanceMode() != AVCaptureWhiteBalanceMode::Locked);
}

CVPixelBufferRef LibcameraDriver::convert(const lc::FrameBuffer& buffer) {
    auto it = mapped_.find(&buffer);
    if (it == mapped_.end() || buffer.metadata().planes().empty()) return nullptr;
    const auto& cfg = config_->at(0);
    const Mapping& m = it->second;
    std::size_t available = m.length - m.offset;
    std::size_t used = std::min<std::size_t>(buffer.metadata().planes()[0].bytesused, available);
    std::span<const std::uint8_t> data(static_cast<const std::uint8_t*>(m.base) + m.offset, used ? used : available);
    int w = int(cfg.size.width), h = int(cfg.size.height);
    if (cfg.pixelFormat == lc::formats::XRGB8888 || cfg.pixelFormat == lc::formats::ARGB8888) {
        auto out = CVPixelBuffer::make(std::size_t(w), std::size_t(h));
        if (data.size() < std::size_t(cfg.stride) * std::size_t(h)) return nullptr;
        for (int y = 0; y < h; ++y) {
            std::memcpy(out->row(std::size_t(y)), data.data() + std::size_t(y) * cfg.stride, std::size_t(w) * 4);
            for (int x = 0; x < w; ++x) out->row(std::size_t(y))[x * 4 + 3] = 255;
        }
        return out;
    }
    if (cfg.pixelFormat == lc::formats::YUYV) {
        auto out = CVPixelBuffer::make(std::size_t(w), std::size_t(h));
        return convertYUYVToBGRA(data, w, h, cfg.stride, *out) ? out : nullptr;
    }
    if (cfg.pixelFormat == lc::formats::MJPEG) {
        auto out = convertMJPEGToBGRA(data);
        return out ? *out : nullptr;
    }
    return nullptr;
}

void LibcameraDriver::onRequest(lc::Request* request) {
    if (request->status() == lc::Request::RequestCancelled || !running_) return;
    report(request->metadata());
    if (!request->buffers().empty()) {
        if (auto full = convert(*request->buffers().begin()->second)) {
            {
                std::lock_guard lock(frameMutex_);
                lastFrame_ = full;
            }
            if (auto frame = pool_->createPixelBuffer()) {
                fillFrameFrom(bgraView(*full), *frame, zoomFactor());
                sink_(frame, CMTimeMakeWithSeconds(Clock::now(), 1000000000));
            }
        }
    }
    request->reuse(lc::Request::ReuseBuffers);
    {
        std::lock_guard lock(controlsMutex_);
        for (const auto& [id, value] : pending_) request->controls().set(id, value);
        pending_.clear();
    }
    if (running_) camera_->queueRequest(request);
}

Result<std::unique_ptr<CaptureStream>> LibcameraDriver::startVideo(CMVideoDimensions size, double frameRate,
                                                                   CaptureVideoSink sink) {
    stopStreaming();
    std::lock_guard lock(lifeMutex_);
    if (camera_->acquire() != 0) return fail("the camera " + camera_->id() + " is in use");
    auto release = [&](const std::string& why) {
        camera_->release();
        return Result<std::unique_ptr<CaptureStream>>(fail(why));
    };
    config_ = camera_->generateConfiguration({lc::StreamRole::VideoRecording});
    if (!config_ || config_->empty()) return release("the camera offers no video stream");
    auto& cfg = config_->at(0);
    auto offered = cfg.formats().pixelformats();
    for (auto f : {lc::formats::XRGB8888, lc::formats::YUYV, lc::formats::MJPEG})
        if (std::find(offered.begin(), offered.end(), f) != offered.end()) {
            cfg.pixelFormat = f;
            break;
        }
    cfg.size = {unsigned(size.width), unsigned(size.height)};
    if (config_->validate() == lc::CameraConfiguration::Invalid) return release("the camera cannot stream that size");
    if (camera_->configure(config_.get()) != 0) return release("the camera refused its configuration");
    stream_ = cfg.stream();
    allocator_ = std::make_unique<lc::FrameBufferAllocator>(camera_);
    if (allocator_->allocate(stream_) < 0) return release("no frame buffers");
    for (const auto& buffer : allocator_->buffers(stream_)) {
        const auto& plane = buffer->planes()[0];
        std::size_t length = 0;
        for (const auto& p : buffer->planes()) length = std::max<std::size_t>(length, p.offset + p.length);
        void* mem = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, plane.fd.get(), 0);
        if (mem == MAP_FAILED) return release("cannot map a frame buffer");
        mapped_[buffer.get()] = {mem, length, plane.offset};
        auto request = camera_->createRequest();
        if (!request || request->addBuffer(stream_, buffer.get()) != 0) return release("cannot make a capture request");
        requests_.push_back(std::move(request));
    }
    sink_ = std::move(sink);
    pool_ = CVPixelBufferPool::make(std::size_t(size.width), std::size_t(size.height));
    camera_->requestCompleted.connect(this, &LibcameraDriver::onRequest);
    lc::ControlList start(lc::controls::controls);
    {
        std::lock_guard controls(controlsMutex_);
        for (const auto& [id, value] : pending_) start.set(id, value);
        pending_.clear();
    }
    std::int64_t frameUs = std::int64_t(1e6 / std::max(1.0, frameRate));
    if (hasControl(*camera_, lc::controls::FrameDurationLimits))
        start.set(lc::controls::FrameDurationLimits, {frameUs, frameUs});
    if (camera_->start(&start) != 0) return release("the camera did not start");
    running_ = true;
    for (auto& r : requests_) camera_->queueRequest(r.get());
    return std::unique_ptr<CaptureStream>(std::make_unique<LibcameraStream>(this));
}

void LibcameraDriver::stopStreaming() {
    std::lock_guard lock(lifeMutex_);
    if (!config_) return;
    bool wasRunning = running_.exchange(false);
    if (wasRunning) camera_->stop();
    camera_->requestCompleted.disconnect(this, &LibcameraDriver::onRequest);
    requests_.clear();
    for (auto& [buffer, m] : mapped_) ::munmap(m.base, m.length);
    mapped_.clear();
    if (allocator_ && stream_) allocator_->free(stream_);
    allocator_.reset();
    config_.reset();
    camera_->release();
}

Result<CVPixelBufferRef> LibcameraDriver::captureStill(const CaptureStillRequest& request) {
    CVPixelBufferRef last;
    {
        std::lock_guard lock(frameMutex_);
        last = lastFrame_;
    }
    if (!last) return fail("no frame yet (the camera takes photos while it streams)");
    return makeStillFrom(*last, request.dimensions, zoomFactor());
}

std::shared_ptr<AVCaptureDevice> makeDevice(const std::shared_ptr<lc::Camera>& camera) {
    AVCaptureDeviceCapabilities c;
    c.uniqueID = "korva.libcamera:" + camera->id();
    auto model = camera->properties().get(lc::properties::Model);
    c.localizedName = model ? *model : camera->id();
    auto location = camera->properties().get(lc::properties::Location);
    c.position = location && *location == lc::properties::CameraLocationFront ? AVCaptureDevicePosition::Front
                                                                              : AVCaptureDevicePosition::Back;
    c.deviceType = location && *location == lc::properties::CameraLocationExternal
                       ? AVCaptureDeviceType::External
                       : AVCaptureDeviceType::BuiltInWideAngleCamera;
    c.focusModes = {AVCaptureFocusMode::Locked};
    if (const lc::ControlInfo* af = info(*camera, lc::controls::AfMode)) {
        for (const auto& v : af->values()) {
            auto mode = v.get<int32_t>();
            if (mode == lc::controls::AfModeAuto) c.focusModes.insert(AVCaptureFocusMode::AutoFocus);
            if (mode == lc::controls::AfModeContinuous) c.focusModes.insert(AVCaptureFocusMode::ContinuousAutoFocus);
        }
    }
    c.lockingFocusWithCustomLensPositionSupported = hasControl(*camera, lc::controls::LensPosition);
    c.exposureModes = {AVCaptureExposureMode::Locked};
    if (hasControl(*camera, lc::controls::AeEnable))
        c.exposureModes.insert(AVCaptureExposureMode::ContinuousAutoExposure);
    if (hasControl(*camera, lc::controls::ExposureTime)) c.exposureModes.insert(AVCaptureExposureMode::Custom);
    c.whiteBalanceModes = {AVCaptureWhiteBalanceMode::Locked};
    if (hasControl(*camera, lc::controls::AwbEnable))
        c.whiteBalanceModes.insert(AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance);
    c.lockingWhiteBalanceWithCustomDeviceGainsSupported = hasControl(*camera, lc::controls::ColourGains);
    if (const lc::ControlInfo* g = info(*camera, lc::controls::ColourGains); g && !g->max().isNone())
        c.maxWhiteBalanceGain = std::max(1.0f, g->max().get<float>());

    AVCaptureDeviceFormat::Description d;
    if (const lc::ControlInfo* e = info(*camera, lc::controls::ExposureTime)) {
        d.minExposureDuration = map::durationFromMicroseconds(e->min().get<int32_t>());
        d.maxExposureDuration = map::durationFromMicroseconds(e->max().get<int32_t>());
    }
    if (const lc::ControlInfo* g = info(*camera, lc::controls::AnalogueGain)) {
        d.minISO = map::isoFromAnalogueGain(g->min().get<float>());
        d.maxISO = map::isoFromAnalogueGain(g->max().get<float>());
    }
    d.videoMaxZoomFactor = 4;

    // Frame sizes the video stream offers.
    std::vector<lc::Size> sizes;
    if (auto cfg = camera->generateConfiguration({lc::StreamRole::VideoRecording}); cfg && !cfg->empty()) {
        const auto& formats = cfg->at(0).formats();
        for (const auto& f : formats.pixelformats())
            for (const auto& s : formats.sizes(f))
                if (std::find(sizes.begin(), sizes.end(), s) == sizes.end()) sizes.push_back(s);
        if (sizes.empty()) sizes.push_back(cfg->at(0).size);
    }
    if (sizes.empty()) return nullptr;
    lc::Size largest = *std::max_element(sizes.begin(), sizes.end(), [](const lc::Size& a, const lc::Size& b) {
        return a.width * a.height < b.width * b.height;
    });
    d.highResolutionStillImageDimensions = {int(largest.width), int(largest.height)};
    std::size_t largestIndex = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        auto fd = d;
        fd.dimensions = {int(sizes[i].width), int(sizes[i].height)};
        c.formats.push_back(AVCaptureDeviceFormat::make(fd));
        c.presets["AVCaptureSessionPreset" + std::to_string(sizes[i].width) + "x" + std::to_string(sizes[i].height)] = {
            i, fd.dimensions};
        if (sizes[i] == largest) largestIndex = i;
    }
    namespace P = AVCaptureSessionPreset;
    CMVideoDimensions full{int(largest.width), int(largest.height)};
    c.presets[P::High] = {largestIndex, full};
    c.presets[P::Photo] = {largestIndex, full};
    c.presets[P::Medium] = {largestIndex, {480, 360}};
    c.presets[P::Low] = {largestIndex, {192, 144}};
    return AVCaptureDevice::make(c, std::make_unique<LibcameraDriver>(camera));
}

}  // namespace

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openLibcameraCameras(const std::string& id) {
    auto* manager = cameraManager();
    if (!manager) return fail("the camera stack is not available");
    std::vector<std::shared_ptr<AVCaptureDevice>> out;
    for (const auto& camera : manager->cameras()) {
        if (!id.empty() && camera->id() != id) continue;
        if (auto device = makeDevice(camera)) out.push_back(device);
    }
    if (out.empty()) return fail(id.empty() ? "the camera stack lists no camera" : "no camera with the id " + id);
    return out;
}
