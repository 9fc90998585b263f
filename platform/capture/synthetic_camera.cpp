// The synthetic camera backend: capabilities, automatic-mode simulation and the frame stream.
#include "platform/capture/synthetic_camera.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "platform/capture/capture_exif.h"
#include "platform/capture/clocked_stream.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"

namespace {

constexpr double kCorrectExposure = 100.0 / 60.0;  // ISO x seconds that exposes brightness 1 correctly
constexpr double kFullDefocusBlur = 0.02;          // blur radius per unit of lens-position error, in widths

std::shared_ptr<AVCaptureDeviceFormat> videoFormat(int w, int h, int stillW, int stillH, double maxZoom, float maxIso) {
    AVCaptureDeviceFormat::Description d;
    d.dimensions = {w, h};
    d.highResolutionStillImageDimensions = {stillW, stillH};
    d.videoMaxZoomFactor = maxZoom;
    d.maxISO = maxIso;
    d.frameRates = {1, 30};
    return AVCaptureDeviceFormat::make(d);
}

void addPreset(AVCaptureDeviceCapabilities& caps, const char* preset, std::size_t format, int w, int h) {
    caps.presets[preset] = {format, {w, h}};
}

void addCommonPresets(AVCaptureDeviceCapabilities& caps) {
    namespace P = AVCaptureSessionPreset;
    addPreset(caps, P::Photo, 2, 1440, 1080);
    addPreset(caps, P::High, 0, 1920, 1080);
    addPreset(caps, P::Medium, 4, 480, 360);
    addPreset(caps, P::Low, 4, 192, 144);
    addPreset(caps, P::P1920x1080, 0, 1920, 1080);
    addPreset(caps, P::P1280x720, 3, 1280, 720);
    addPreset(caps, P::P640x480, 4, 640, 480);
    addPreset(caps, P::P352x288, 4, 352, 288);
    addPreset(caps, P::IFrame960x540, 0, 960, 540);
    addPreset(caps, P::IFrame1280x720, 3, 1280, 720);
}

dispatch_queue_t asQueue(const std::shared_ptr<NSObject>& q) {
    return std::static_pointer_cast<DispatchQueue>(q);
}

}  // namespace

AVCaptureDeviceCapabilities syntheticBackCameraCapabilities() {
    AVCaptureDeviceCapabilities c;
    c.uniqueID = "korva.synthetic.back";
    c.localizedName = "Back Camera";
    c.position = AVCaptureDevicePosition::Back;
    c.focusModes = {AVCaptureFocusMode::Locked, AVCaptureFocusMode::AutoFocus, AVCaptureFocusMode::ContinuousAutoFocus};
    c.focusPointOfInterestSupported = true;
    c.lockingFocusWithCustomLensPositionSupported = true;
    c.exposureModes = {AVCaptureExposureMode::Locked, AVCaptureExposureMode::AutoExpose,
                       AVCaptureExposureMode::ContinuousAutoExposure, AVCaptureExposureMode::Custom};
    c.exposurePointOfInterestSupported = true;
    c.whiteBalanceModes = {AVCaptureWhiteBalanceMode::Locked, AVCaptureWhiteBalanceMode::AutoWhiteBalance,
                           AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance};
    c.lockingWhiteBalanceWithCustomDeviceGainsSupported = true;
    c.hasTorch = true;
    c.torchModes = {AVCaptureTorchMode::Off, AVCaptureTorchMode::On, AVCaptureTorchMode::Auto};
    c.hasFlash = true;
    c.flashModes = {AVCaptureFlashMode::Off, AVCaptureFlashMode::On, AVCaptureFlashMode::Auto};
    c.lensAperture = 1.8f;
    c.focalLength = 4.25f;
    c.formats = {videoFormat(1920, 1080, 3840, 2160, 16, 1600), videoFormat(3840, 2160, 3840, 2160, 10, 1600),
                 videoFormat(4032, 3024, 4032, 3024, 16, 1600), videoFormat(1280, 720, 1280, 720, 16, 1600),
                 videoFormat(640, 480, 640, 480, 16, 1600)};
    addCommonPresets(c);
    addPreset(c, AVCaptureSessionPreset::P3840x2160, 1, 3840, 2160);
    return c;
}

AVCaptureDeviceCapabilities syntheticFrontCameraCapabilities() {
    AVCaptureDeviceCapabilities c;
    c.uniqueID = "korva.synthetic.front";
    c.localizedName = "Front Camera";
    c.position = AVCaptureDevicePosition::Front;
    // A fixed-focus camera without torch or flash.
    c.focusModes = {AVCaptureFocusMode::Locked};
    c.exposureModes = {AVCaptureExposureMode::Locked, AVCaptureExposureMode::AutoExpose,
                       AVCaptureExposureMode::ContinuousAutoExposure, AVCaptureExposureMode::Custom};
    c.exposurePointOfInterestSupported = true;
    c.whiteBalanceModes = {AVCaptureWhiteBalanceMode::Locked, AVCaptureWhiteBalanceMode::AutoWhiteBalance,
                           AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance};
    c.lockingWhiteBalanceWithCustomDeviceGainsSupported = true;
    c.lensAperture = 2.2f;
    c.focalLength = 2.71f;
    c.formats = {videoFormat(1920, 1080, 1920, 1080, 4, 800), videoFormat(1920, 1080, 1920, 1080, 4, 800),
                 videoFormat(3088, 2316, 3088, 2316, 4, 800), videoFormat(1280, 720, 1280, 720, 4, 800),
                 videoFormat(640, 480, 640, 480, 4, 800)};
    addCommonPresets(c);
    return c;
}

std::shared_ptr<AVCaptureDevice> makeSyntheticCamera(AVCaptureDeviceCapabilities capabilities,
                                                     SyntheticCameraScript script) {
    return AVCaptureDevice::make(std::move(capabilities), std::make_unique<SyntheticCameraDriver>(script));
}

AVCaptureDeviceCapabilities microphoneCapabilities() {
    AVCaptureDeviceCapabilities c;
    c.uniqueID = "korva.microphone";
    c.localizedName = "Microphone";
    c.mediaType = AVMediaType::Audio;
    c.deviceType = AVCaptureDeviceType::BuiltInMicrophone;
    AVCaptureDeviceFormat::Description d;
    d.mediaType = AVMediaType::Audio;
    c.formats = {AVCaptureDeviceFormat::make(d)};
    return c;
}

SyntheticCameraDriver::SyntheticCameraDriver(SyntheticCameraScript script)
    : script_(script), queue_(DispatchQueue::serial("korva.capture.synthetic")) {}

SyntheticCameraDriver::~SyntheticCameraDriver() = default;

SyntheticCameraScript SyntheticCameraDriver::script() const {
    std::lock_guard lock(mutex_);
    return script_;
}

void SyntheticCameraDriver::setScript(const SyntheticCameraScript& script) {
    std::lock_guard lock(mutex_);
    script_ = script;
}

void SyntheticCameraDriver::attach(const std::shared_ptr<AVCaptureDevice>& device) {
    CaptureDeviceDriver::attach(device);
    auto s = script();
    if (device->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus))
        device->reportLensPosition(s.sceneFocusPosition);
    if (auto format = device->activeFormat()) {
        double iso =
            std::clamp(100.0 / std::max(s.sceneBrightness, 1e-6), double(format->minISO()), double(format->maxISO()));
        device->reportExposure(CMTimeMake(1, 60), float(iso));
    }
    auto g = sceneGains(*device);
    for (float* v : {&g.redGain, &g.greenGain, &g.blueGain}) *v = std::clamp(*v, 1.0f, device->maxWhiteBalanceGain());
    device->reportWhiteBalanceGains(g);
}

Result<void> SyntheticCameraDriver::lockForConfiguration() {
    std::lock_guard lock(mutex_);
    if (script_.lockAlwaysFails) return fail("the camera is in use by another client");
    if (script_.failNextLocks > 0) {
        --script_.failNextLocks;
        return fail("the camera is in use by another client");
    }
    return {};
}

Result<void> SyntheticCameraDriver::applyTorch(AVCaptureTorchMode mode, float) {
    std::lock_guard lock(mutex_);
    if (script_.torchFails && mode != AVCaptureTorchMode::Off) return fail("the torch is not available (too hot)");
    return {};
}

void SyntheticCameraDriver::controlChanged(CaptureControl control) {
    switch (control) {
        case CaptureControl::Focus: adjustFocus(); break;
        case CaptureControl::Exposure: adjustExposure(); break;
        case CaptureControl::WhiteBalance: adjustWhiteBalance(); break;
        default: break;
    }
}

void SyntheticCameraDriver::changeSubjectArea() {
    auto dev = device();
    if (!dev) return;
    dev->reportSubjectAreaDidChange();
    if (dev->focusMode() == AVCaptureFocusMode::ContinuousAutoFocus) adjustFocus();
    if (dev->exposureMode() == AVCaptureExposureMode::ContinuousAutoExposure) adjustExposure();
}

// Each automatic adjustment reports "adjusting" at once on the driver's queue and its result after
// the settle time; a newer request (or a switch to a manual mode) supersedes a pending one. The
// adjusting flag ends only when `settle` reports a result.
void SyntheticCameraDriver::scheduleAdjustment(const std::shared_ptr<AVCaptureDevice>& dev,
                                               std::uint64_t SyntheticCameraDriver::*generationOf,
                                               SettleTimeOf settleTimeOf, bool held,
                                               void (AVCaptureDevice::*reportAdjusting)(bool),
                                               std::function<bool(AVCaptureDevice&)> settle) {
    std::uint64_t generation;
    std::optional<double> settleTime;
    {
        std::lock_guard lock(mutex_);
        generation = ++(this->*generationOf);
        settleTime = settleTimeOf(script_);
    }
    std::weak_ptr<AVCaptureDevice> weak = dev;
    auto q = asQueue(queue_);
    q->async([weak, reportAdjusting, held] {
        if (auto d = weak.lock()) ((*d).*reportAdjusting)(!held);
    });
    if (held || !settleTime) return;
    q->after(*settleTime, [this, weak, generation, generationOf, reportAdjusting, settle = std::move(settle)] {
        // The device owns this driver: once it is gone, so is the driver.
        auto d = weak.lock();
        if (!d) return;
        {
            std::lock_guard lock(mutex_);
            if (generation != this->*generationOf) return;
        }
        if (settle(*d)) ((*d).*reportAdjusting)(false);
    });
}

void SyntheticCameraDriver::adjustFocus() {
    auto dev = device();
    if (!dev) return;
    auto settleTime = [](const SyntheticCameraScript& s) -> std::optional<double> {
        if (s.focusNeverSettles) return std::nullopt;
        return s.focusSettleTime;
    };
    scheduleAdjustment(dev, &SyntheticCameraDriver::focusGeneration_, settleTime,
                       dev->focusMode() == AVCaptureFocusMode::Locked, &AVCaptureDevice::reportAdjustingFocus,
                       [this](AVCaptureDevice& d) {
                           float target;
                           {
                               std::lock_guard lock(mutex_);
                               target = script_.sceneFocusPosition;
                           }
                           d.reportLensPosition(target);
                           return true;
                       });
}

void SyntheticCameraDriver::adjustExposure() {
    auto dev = device();
    if (!dev) return;
    auto settleTime = [](const SyntheticCameraScript& s) -> std::optional<double> {
        if (s.exposureNeverSettles) return std::nullopt;
        return s.exposureSettleTime;
    };
    auto mode = dev->exposureMode();
    bool held = mode == AVCaptureExposureMode::Locked || mode == AVCaptureExposureMode::Custom;
    scheduleAdjustment(dev, &SyntheticCameraDriver::exposureGeneration_, settleTime, held,
                       &AVCaptureDevice::reportAdjustingExposure,
                       [this](AVCaptureDevice& d) { return settleExposure(d); });
}

bool SyntheticCameraDriver::settleExposure(AVCaptureDevice& d) {
    double brightness;
    {
        std::lock_guard lock(mutex_);
        brightness = std::max(script_.sceneBrightness, 1e-6);
    }
    auto format = d.activeFormat();
    if (!format) return false;
    // Aim at a correct exposure (shifted by the bias): prefer 1/60 s and move the ISO, then
    // the duration when the ISO runs out of range.
    double product = kCorrectExposure * std::exp2(d.exposureTargetBias()) / brightness;
    double minD = CMTimeGetSeconds(format->minExposureDuration()),
           maxD = CMTimeGetSeconds(format->maxExposureDuration());
    double duration = std::clamp(1.0 / 60, minD, maxD);
    double iso = product / duration;
    if (iso > format->maxISO()) duration = std::clamp(product / format->maxISO(), minD, maxD);
    if (iso < format->minISO()) duration = std::clamp(product / format->minISO(), minD, maxD);
    iso = std::clamp(product / duration, double(format->minISO()), double(format->maxISO()));
    d.reportExposure(CMTimeMakeWithSeconds(duration, 1000000), float(iso));
    return true;
}

void SyntheticCameraDriver::adjustWhiteBalance() {
    auto dev = device();
    if (!dev) return;
    auto settleTime = [](const SyntheticCameraScript& s) -> std::optional<double> { return s.whiteBalanceSettleTime; };
    scheduleAdjustment(dev, &SyntheticCameraDriver::whiteBalanceGeneration_, settleTime,
                       dev->whiteBalanceMode() == AVCaptureWhiteBalanceMode::Locked,
                       &AVCaptureDevice::reportAdjustingWhiteBalance, [this](AVCaptureDevice& d) {
                           auto g = sceneGains(d);
                           for (float* v : {&g.redGain, &g.greenGain, &g.blueGain})
                               *v = std::clamp(*v, 1.0f, d.maxWhiteBalanceGain());
                           d.reportWhiteBalanceGains(g);
                           return true;
                       });
}

AVCaptureWhiteBalanceGains SyntheticCameraDriver::sceneGains(const AVCaptureDevice& device) const {
    float t, tint;
    {
        std::lock_guard lock(mutex_);
        t = script_.sceneTemperature, tint = script_.sceneTint;
    }
    return device.deviceWhiteBalanceGainsForTemperatureAndTintValues({t, tint});
}

SyntheticSceneParams SyntheticCameraDriver::sceneParams(double time) const {
    return sceneParams(time, nullptr);
}

SyntheticSceneParams SyntheticCameraDriver::sceneParams(double time, CVPixelBuffer* stamp) const {
    SyntheticSceneParams p;
    auto d = device();
    SyntheticCameraScript s = script();
    p.time = s.sceneMoves ? time : 0;
    if (!d) return p;
    const CMTime duration = d->exposureDuration();
    const float iso = d->ISO();
    if (stamp) stampFrameExposure(*stamp, duration, iso);
    double exposure = iso * CMTimeGetSeconds(duration) / kCorrectExposure;
    double light = s.sceneBrightness + (d->isTorchActive() ? s.torchLight * d->torchLevel() : 0.0);
    p.exposure = light * exposure;
    auto g = d->deviceWhiteBalanceGains(), n = sceneGains(*d);
    p.channelGain[0] = g.redGain / n.redGain;
    p.channelGain[1] = g.greenGain / n.greenGain;
    p.channelGain[2] = g.blueGain / n.blueGain;
    p.zoom = d->videoZoomFactor();
    p.blurFraction = std::abs(d->lensPosition() - s.sceneFocusPosition) * kFullDefocusBlur;
    return p;
}

Result<CVPixelBufferRef> SyntheticCameraDriver::captureStill(const CaptureStillRequest& request) {
    if (request.dimensions.width <= 0 || request.dimensions.height <= 0) return fail("empty photo size");
    auto frame = CVPixelBuffer::make(std::size_t(request.dimensions.width), std::size_t(request.dimensions.height));
    auto p = sceneParams(Clock::now());
    auto d = device();
    auto s = script();
    bool fire = d && d->hasFlash() &&
                (request.flashMode == AVCaptureFlashMode::On ||
                 (request.flashMode == AVCaptureFlashMode::Auto && s.sceneBrightness < 0.5));
    if (fire) p.exposure += s.flashLight * d->ISO() * CMTimeGetSeconds(d->exposureDuration()) / kCorrectExposure;
    renderSyntheticScene(*frame, p);
    ++framesRendered_;
    return frame;
}

Result<std::unique_ptr<CaptureStream>> SyntheticCameraDriver::startVideo(CMVideoDimensions size, double frameRate,
                                                                         CaptureVideoSink sink) {
    if (size.width <= 0 || size.height <= 0 || !(frameRate > 0)) return fail("invalid stream size or rate");
    return startClockedVideo(
        "korva.capture.synthetic.stream", size, frameRate,
        [this](CVPixelBuffer& frame, double time) {
            renderSyntheticScene(frame, sceneParams(time, &frame));
            ++framesRendered_;
        },
        std::move(sink));
}

namespace {

class MicrophoneStream : public CaptureStream {
public:
    struct State {
        std::atomic<bool> active{true};
        double start = 0;
        std::uint64_t blocks = 0;
        std::uint32_t noise = 12345;
        CaptureAudioSink sink;
        dispatch_queue_t queue;
    };
    static constexpr int kFrames = 1024;
    static constexpr double kRate = 44100;
    static constexpr double kTone = 440;

    explicit MicrophoneStream(std::shared_ptr<State> s) : state_(std::move(s)) {}
    ~MicrophoneStream() override { stop(); }

    static void tick(const std::shared_ptr<State>& s) {
        if (!s->active) return;
        CMAudioBlock block;
        block.sampleRate = kRate;
        block.channels = 1;
        block.samples.resize(kFrames);
        // A steady 440 Hz tone with a little noise, so that recorded sound can be checked.
        for (std::size_t i = 0; i < block.samples.size(); ++i) {
            s->noise = s->noise * 1664525u + 1013904223u;
            double t = double(s->blocks * kFrames + i) / kRate;
            block.samples[i] =
                std::int16_t(std::lround(8000 * std::sin(2 * M_PI * kTone * t)) + int(s->noise >> 24) - 128);
        }
        // Stamped with its first sample's time, which the tone's phase follows (the tick itself may
        // come a little late).
        s->sink(std::move(block), CMTimeMakeWithSeconds(s->start + double(s->blocks) * kFrames / kRate, 1000000000));
        // Like the camera, a jump of the clock skips the blocks in between.
        auto due_index = std::uint64_t(std::floor((Clock::now() - s->start) * kRate / kFrames + 1e-9)) + 1;
        s->blocks = std::max(s->blocks + 1, due_index);
        double due = s->start + double(s->blocks) * kFrames / kRate;
        s->queue->after(std::max(0.0, due - Clock::now()), [s] { tick(s); });
    }

    void stop() override {
        if (!state_->active.exchange(false)) return;
        if (!state_->queue->isCurrent()) state_->queue->sync([] {});
    }

private:
    std::shared_ptr<State> state_;
};

}  // namespace

Result<std::unique_ptr<CaptureStream>> SyntheticMicrophoneDriver::startAudio(CaptureAudioSink sink) {
    auto s = std::make_shared<MicrophoneStream::State>();
    s->start = Clock::now();
    s->sink = std::move(sink);
    s->queue = DispatchQueue::serial("korva.capture.microphone");
    s->queue->async([s] { MicrophoneStream::tick(s); });
    return std::unique_ptr<CaptureStream>(std::make_unique<MicrophoneStream>(s));
}
