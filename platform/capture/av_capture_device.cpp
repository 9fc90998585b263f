// Capture devices: the controls, their validation and their observable state.
#include "platform/capture/av_capture_device.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/log.h"

namespace {

const char* kLog = "capture";

// Completion handlers of the setters run here, off the caller's thread, as on the platform.
dispatch_queue_t handlerQueue() {
    static dispatch_queue_t q = DispatchQueue::serial("korva.capture.device");
    return q;
}

void callHandler(std::function<void(CMTime)> handler) {
    if (!handler) return;
    CMTime now = CMTimeMakeWithSeconds(Clock::now(), 1000000000);
    handlerQueue()->async([handler = std::move(handler), now] { handler(now); });
}

bool inUnitSquare(CGPoint p) {
    return p.x >= 0 && p.x <= 1 && p.y >= 0 && p.y <= 1;
}

}  // namespace

AVCaptureDevice::AVCaptureDevice(AVCaptureDeviceCapabilities caps, std::unique_ptr<CaptureDeviceDriver> driver)
    : caps_(std::move(caps)), driver_(std::move(driver)) {}

void AVCaptureDevice::init() {
    if (!caps_.formats.empty()) activeFormat_ = caps_.formats.front();
    // A camera starts in its most automatic mode: continuous, else single-shot, else locked.
    auto pick = [](const auto& modes, auto continuous, auto once, auto locked) {
        return modes.count(continuous) ? continuous : modes.count(once) ? once : locked;
    };
    focusMode_ = pick(caps_.focusModes, AVCaptureFocusMode::ContinuousAutoFocus, AVCaptureFocusMode::AutoFocus,
                      AVCaptureFocusMode::Locked);
    exposureMode_ = pick(caps_.exposureModes, AVCaptureExposureMode::ContinuousAutoExposure,
                         AVCaptureExposureMode::AutoExpose, AVCaptureExposureMode::Locked);
    whiteBalanceMode_ = pick(caps_.whiteBalanceModes, AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance,
                             AVCaptureWhiteBalanceMode::AutoWhiteBalance, AVCaptureWhiteBalanceMode::Locked);
    gains_ = whiteBalanceGainsForTemperatureAndTint({5500, 0}, caps_.sensorResponse);
    for (float* g : {&gains_.redGain, &gains_.greenGain, &gains_.blueGain})
        *g = std::min(*g, caps_.maxWhiteBalanceGain);
    if (activeFormat_) {
        iso_ = std::clamp(iso_, activeFormat_->minISO(), activeFormat_->maxISO());
        if (exposureDuration_ < activeFormat_->minExposureDuration())
            exposureDuration_ = activeFormat_->minExposureDuration();
        if (exposureDuration_ > activeFormat_->maxExposureDuration())
            exposureDuration_ = activeFormat_->maxExposureDuration();
    }
    driver_->attach(self<AVCaptureDevice>());
}

bool AVCaptureDevice::canConfigure(const char* what) const {
    if (lockCount_ > 0) return true;
    Log::warning(kLog, std::string(what) + " needs lockForConfiguration; ignored");
    return false;
}

void AVCaptureDevice::changed(CaptureControl control) {
    driver_->controlChanged(control);
}

bool AVCaptureDevice::isConnected() const {
    std::lock_guard lock(mutex_);
    return connected_;
}

Result<void> AVCaptureDevice::lockForConfiguration() {
    if (!isConnected()) return fail("the device is not connected");
    if (auto r = driver_->lockForConfiguration(); !r) return r;
    std::lock_guard lock(mutex_);
    ++lockCount_;
    return {};
}

void AVCaptureDevice::unlockForConfiguration() {
    std::lock_guard lock(mutex_);
    if (lockCount_ > 0) --lockCount_;
}

bool AVCaptureDevice::isLockedForConfiguration() const {
    std::lock_guard lock(mutex_);
    return lockCount_ > 0;
}

std::shared_ptr<AVCaptureDeviceFormat> AVCaptureDevice::activeFormat() const {
    std::lock_guard lock(mutex_);
    return activeFormat_;
}

bool AVCaptureDevice::setActiveFormat(const std::shared_ptr<AVCaptureDeviceFormat>& format) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setActiveFormat")) return false;
        if (std::find(caps_.formats.begin(), caps_.formats.end(), format) == caps_.formats.end()) return false;
        activeFormat_ = format;
        // Values the new format cannot hold are brought into its ranges.
        iso_ = std::clamp(iso_, format->minISO(), format->maxISO());
        if (exposureDuration_ < format->minExposureDuration()) exposureDuration_ = format->minExposureDuration();
        if (exposureDuration_ > format->maxExposureDuration()) exposureDuration_ = format->maxExposureDuration();
        zoom_ = std::min(zoom_, format->videoMaxZoomFactor());
    }
    changed(CaptureControl::Format);
    return true;
}

void AVCaptureDevice::selectFormatForSession(const std::shared_ptr<AVCaptureDeviceFormat>& format) {
    {
        std::lock_guard lock(mutex_);
        if (activeFormat_ == format) return;
        ++lockCount_;
    }
    setActiveFormat(format);
    unlockForConfiguration();
}

bool AVCaptureDevice::supportsAVCaptureSessionPreset(const std::string& preset) const {
    return caps_.presets.count(preset) > 0;
}

CMTime AVCaptureDevice::activeVideoMinFrameDuration() const {
    std::lock_guard lock(mutex_);
    return minFrameDuration_;
}

bool AVCaptureDevice::setActiveVideoMinFrameDuration(CMTime duration) {
    std::lock_guard lock(mutex_);
    if (!canConfigure("setActiveVideoMinFrameDuration") || !CMTIME_IS_NUMERIC(duration)) return false;
    double fps = 1.0 / CMTimeGetSeconds(duration);
    auto range = activeFormat_ ? activeFormat_->videoSupportedFrameRateRanges() : AVFrameRateRange{};
    if (!(fps >= range.minFrameRate - 1e-6 && fps <= range.maxFrameRate + 1e-6)) return false;
    minFrameDuration_ = duration;
    return true;
}

// Focus.

AVCaptureFocusMode AVCaptureDevice::focusMode() const {
    std::lock_guard lock(mutex_);
    return focusMode_;
}

bool AVCaptureDevice::setFocusMode(AVCaptureFocusMode mode) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setFocusMode") || !isFocusModeSupported(mode)) return false;
        focusMode_ = mode;
    }
    changed(CaptureControl::Focus);
    return true;
}

CGPoint AVCaptureDevice::focusPointOfInterest() const {
    std::lock_guard lock(mutex_);
    return focusPoint_;
}

bool AVCaptureDevice::setFocusPointOfInterest(CGPoint point) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setFocusPointOfInterest") || !caps_.focusPointOfInterestSupported || !inUnitSquare(point))
            return false;
        focusPoint_ = point;
    }
    // As on the platform, a new point takes effect when a focus mode is set next.
    return true;
}

bool AVCaptureDevice::isAdjustingFocus() const {
    std::lock_guard lock(mutex_);
    return adjustingFocus_;
}

float AVCaptureDevice::lensPosition() const {
    std::lock_guard lock(mutex_);
    return lensPosition_;
}

bool AVCaptureDevice::setFocusModeLockedWithLensPosition(float position, std::function<void(CMTime)> handler) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setFocusModeLockedWithLensPosition") || !caps_.lockingFocusWithCustomLensPositionSupported)
            return false;
        bool current = position == AVCaptureLensPositionCurrent;
        if (!current && !(position >= 0 && position <= 1)) return false;
        focusMode_ = AVCaptureFocusMode::Locked;
        if (current) position = lensPosition_;
    }
    reportLensPosition(position);
    changed(CaptureControl::Focus);
    callHandler(std::move(handler));
    return true;
}

// Exposure.

AVCaptureExposureMode AVCaptureDevice::exposureMode() const {
    std::lock_guard lock(mutex_);
    return exposureMode_;
}

bool AVCaptureDevice::setExposureMode(AVCaptureExposureMode mode) {
    {
        std::lock_guard lock(mutex_);
        // Custom is entered only with its duration and ISO.
        if (!canConfigure("setExposureMode") || !isExposureModeSupported(mode) || mode == AVCaptureExposureMode::Custom)
            return false;
        exposureMode_ = mode;
    }
    changed(CaptureControl::Exposure);
    return true;
}

CGPoint AVCaptureDevice::exposurePointOfInterest() const {
    std::lock_guard lock(mutex_);
    return exposurePoint_;
}

bool AVCaptureDevice::setExposurePointOfInterest(CGPoint point) {
    std::lock_guard lock(mutex_);
    if (!canConfigure("setExposurePointOfInterest") || !caps_.exposurePointOfInterestSupported || !inUnitSquare(point))
        return false;
    exposurePoint_ = point;
    return true;
}

bool AVCaptureDevice::isAdjustingExposure() const {
    std::lock_guard lock(mutex_);
    return adjustingExposure_;
}

CMTime AVCaptureDevice::exposureDuration() const {
    std::lock_guard lock(mutex_);
    return exposureDuration_;
}

float AVCaptureDevice::ISO() const {
    std::lock_guard lock(mutex_);
    return iso_;
}

float AVCaptureDevice::exposureTargetBias() const {
    std::lock_guard lock(mutex_);
    return targetBias_;
}

bool AVCaptureDevice::setExposureTargetBias(float bias, std::function<void(CMTime)> handler) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setExposureTargetBias") ||
            !(bias >= caps_.minExposureTargetBias && bias <= caps_.maxExposureTargetBias))
            return false;
        targetBias_ = bias;
    }
    changed(CaptureControl::Exposure);
    callHandler(std::move(handler));
    return true;
}

bool AVCaptureDevice::setExposureModeCustomWithDuration(CMTime duration, float iso,
                                                        std::function<void(CMTime)> handler) {
    CMTime newDuration;
    float newIso;
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setExposureModeCustomWithDuration") ||
            !isExposureModeSupported(AVCaptureExposureMode::Custom) || !activeFormat_)
            return false;
        bool keepDuration = !CMTIME_IS_VALID(duration) && duration.timescale == 0 && duration.value == 0;
        newDuration = keepDuration ? exposureDuration_ : duration;
        if (!CMTIME_IS_NUMERIC(newDuration) || newDuration < activeFormat_->minExposureDuration() ||
            newDuration > activeFormat_->maxExposureDuration()) {
            Log::warning(kLog, "exposure duration outside the active format's range; ignored");
            return false;
        }
        newIso = iso == AVCaptureISOCurrent ? iso_ : iso;
        if (!(newIso >= activeFormat_->minISO() && newIso <= activeFormat_->maxISO())) {
            Log::warning(kLog, "ISO outside the active format's range; ignored");
            return false;
        }
        exposureMode_ = AVCaptureExposureMode::Custom;
    }
    reportExposure(newDuration, newIso);
    changed(CaptureControl::Exposure);
    callHandler(std::move(handler));
    return true;
}

// White balance.

AVCaptureWhiteBalanceMode AVCaptureDevice::whiteBalanceMode() const {
    std::lock_guard lock(mutex_);
    return whiteBalanceMode_;
}

bool AVCaptureDevice::setWhiteBalanceMode(AVCaptureWhiteBalanceMode mode) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setWhiteBalanceMode") || !isWhiteBalanceModeSupported(mode)) return false;
        whiteBalanceMode_ = mode;
    }
    changed(CaptureControl::WhiteBalance);
    return true;
}

bool AVCaptureDevice::isAdjustingWhiteBalance() const {
    std::lock_guard lock(mutex_);
    return adjustingWhiteBalance_;
}

AVCaptureWhiteBalanceGains AVCaptureDevice::deviceWhiteBalanceGains() const {
    std::lock_guard lock(mutex_);
    return gains_;
}

bool AVCaptureDevice::setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains(AVCaptureWhiteBalanceGains gains,
                                                                           std::function<void(CMTime)> handler) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains") ||
            !caps_.lockingWhiteBalanceWithCustomDeviceGainsSupported)
            return false;
        if (gains == AVCaptureWhiteBalanceGainsCurrent) {
            gains = gains_;
        } else {
            for (float g : {gains.redGain, gains.greenGain, gains.blueGain})
                if (!(g >= 1.0f && g <= caps_.maxWhiteBalanceGain)) {
                    Log::warning(kLog, "white-balance gain outside [1, maxWhiteBalanceGain]; ignored");
                    return false;
                }
        }
        whiteBalanceMode_ = AVCaptureWhiteBalanceMode::Locked;
    }
    reportWhiteBalanceGains(gains);
    changed(CaptureControl::WhiteBalance);
    callHandler(std::move(handler));
    return true;
}

AVCaptureWhiteBalanceTemperatureAndTintValues AVCaptureDevice::temperatureAndTintValuesForDeviceWhiteBalanceGains(
    AVCaptureWhiteBalanceGains gains) const {
    return temperatureAndTintForWhiteBalanceGains(gains, caps_.sensorResponse);
}

AVCaptureWhiteBalanceGains AVCaptureDevice::deviceWhiteBalanceGainsForTemperatureAndTintValues(
    AVCaptureWhiteBalanceTemperatureAndTintValues values) const {
    return whiteBalanceGainsForTemperatureAndTint(values, caps_.sensorResponse);
}

// Zoom.

double AVCaptureDevice::videoZoomFactor() const {
    std::lock_guard lock(mutex_);
    return zoom_;
}

bool AVCaptureDevice::setVideoZoomFactor(double factor) {
    {
        std::lock_guard lock(mutex_);
        double maxZoom = activeFormat_ ? activeFormat_->videoMaxZoomFactor() : 1.0;
        if (!canConfigure("setVideoZoomFactor") || !(factor >= 1.0 && factor <= maxZoom)) return false;
        if (zoom_ == factor) return true;
        zoom_ = factor;
    }
    didChangeValue("videoZoomFactor", Value(factor));
    changed(CaptureControl::Zoom);
    return true;
}

// Torch and flash.

bool AVCaptureDevice::isTorchAvailable() const {
    return caps_.hasTorch && isConnected();
}

AVCaptureTorchMode AVCaptureDevice::torchMode() const {
    std::lock_guard lock(mutex_);
    return torchMode_;
}

bool AVCaptureDevice::setTorchMode(AVCaptureTorchMode mode) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setTorchMode") || !isTorchModeSupported(mode)) return false;
    }
    float level = mode == AVCaptureTorchMode::Off ? 0.0f : 1.0f;
    if (!driver_->applyTorch(mode, level)) return false;
    {
        std::lock_guard lock(mutex_);
        torchMode_ = mode;
        torchLevel_ = level;
    }
    reportTorchActive(mode == AVCaptureTorchMode::On);
    changed(CaptureControl::Torch);
    return true;
}

float AVCaptureDevice::torchLevel() const {
    std::lock_guard lock(mutex_);
    return torchLevel_;
}

bool AVCaptureDevice::isTorchActive() const {
    std::lock_guard lock(mutex_);
    return torchActive_;
}

Result<void> AVCaptureDevice::setTorchModeOnWithLevel(float level) {
    {
        std::lock_guard lock(mutex_);
        if (lockCount_ == 0) return fail("setTorchModeOnWithLevel needs lockForConfiguration");
        if (!caps_.hasTorch || !isTorchModeSupported(AVCaptureTorchMode::On)) return fail("the device has no torch");
    }
    if (level == AVCaptureMaxAvailableTorchLevel) level = 1.0f;
    if (!(level > 0 && level <= 1)) return fail("torch level must lie in (0, 1]");
    if (auto r = driver_->applyTorch(AVCaptureTorchMode::On, level); !r) return r;
    {
        std::lock_guard lock(mutex_);
        torchMode_ = AVCaptureTorchMode::On;
        torchLevel_ = level;
    }
    reportTorchActive(true);
    changed(CaptureControl::Torch);
    return {};
}

bool AVCaptureDevice::isFlashAvailable() const {
    return caps_.hasFlash && isConnected();
}

AVCaptureFlashMode AVCaptureDevice::flashMode() const {
    std::lock_guard lock(mutex_);
    return flashMode_;
}

bool AVCaptureDevice::setFlashMode(AVCaptureFlashMode mode) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setFlashMode") || !isFlashModeSupported(mode)) return false;
        flashMode_ = mode;
    }
    changed(CaptureControl::Flash);
    return true;
}

bool AVCaptureDevice::isSubjectAreaChangeMonitoringEnabled() const {
    std::lock_guard lock(mutex_);
    return subjectAreaMonitoring_;
}

bool AVCaptureDevice::setSubjectAreaChangeMonitoringEnabled(bool enabled) {
    {
        std::lock_guard lock(mutex_);
        if (!canConfigure("setSubjectAreaChangeMonitoringEnabled")) return false;
        subjectAreaMonitoring_ = enabled;
    }
    changed(CaptureControl::SubjectAreaMonitoring);
    return true;
}

// Reports from the backend.

namespace {
template <class T>
bool exchange(std::recursive_mutex& m, T& field, const T& value) {
    std::lock_guard lock(m);
    if (field == value) return false;
    field = value;
    return true;
}
}  // namespace

void AVCaptureDevice::reportAdjustingFocus(bool adjusting) {
    if (exchange(mutex_, adjustingFocus_, adjusting)) didChangeValue("adjustingFocus", Value(adjusting));
}

void AVCaptureDevice::reportAdjustingExposure(bool adjusting) {
    if (exchange(mutex_, adjustingExposure_, adjusting)) didChangeValue("adjustingExposure", Value(adjusting));
}

void AVCaptureDevice::reportAdjustingWhiteBalance(bool adjusting) {
    if (exchange(mutex_, adjustingWhiteBalance_, adjusting)) didChangeValue("adjustingWhiteBalance", Value(adjusting));
}

void AVCaptureDevice::reportLensPosition(float position) {
    position = std::clamp(position, 0.0f, 1.0f);
    if (exchange(mutex_, lensPosition_, position)) didChangeValue("lensPosition", Value(position));
}

void AVCaptureDevice::reportExposure(CMTime duration, float iso) {
    bool durationChanged, isoChanged;
    {
        std::lock_guard lock(mutex_);
        durationChanged = !(exposureDuration_ == duration) || exposureDuration_.timescale != duration.timescale;
        isoChanged = iso_ != iso;
        exposureDuration_ = duration;
        iso_ = iso;
    }
    if (durationChanged) didChangeValue("exposureDuration", Value(CMTimeGetSeconds(duration)));
    if (isoChanged) didChangeValue("ISO", Value(iso));
}

void AVCaptureDevice::reportWhiteBalanceGains(AVCaptureWhiteBalanceGains gains) {
    if (exchange(mutex_, gains_, gains))
        didChangeValue("deviceWhiteBalanceGains", Value::array({gains.redGain, gains.greenGain, gains.blueGain}));
}

void AVCaptureDevice::reportTorchActive(bool active) {
    if (exchange(mutex_, torchActive_, active)) didChangeValue("torchActive", Value(active));
}

void AVCaptureDevice::reportSubjectAreaDidChange() {
    if (!isSubjectAreaChangeMonitoringEnabled()) return;
    NSNotificationCenter::defaultCenter()->post(AVCaptureDeviceSubjectAreaDidChangeNotification, shared_from_this());
}

void AVCaptureDevice::reportConnected(bool connected) {
    if (exchange(mutex_, connected_, connected)) didChangeValue("connected", Value(connected));
}

double CaptureDeviceDriver::zoomFactor() const {
    auto d = device();
    return d ? d->videoZoomFactor() : 1.0;
}
