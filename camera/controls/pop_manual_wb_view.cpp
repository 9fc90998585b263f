// The manual white-balance pop-up: gain readings through temperature and tint, labels and the
// setter that keeps every gain within what the device accepts.
#include "camera/controls/pop_manual_wb_view.h"

#include <cmath>

#include "foundation/numeric.h"
#include "platform/capture/av_capture_device.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"

namespace {
constexpr CGFloat kRulerInset = 5, kTemperatureTop = 45, kTintTop = 115, kRulerHeight = 60, kRulerRadius = 10;
}  // namespace

void PopManualWBView::init() {
    PopManualControl::init();
    std::weak_ptr<ManualSliderViewDelegate> me = self<PopManualWBView>();
    sldTemperature_ = ManualSliderView::make(me, std::string("TEMPERATURE"), std::string("-"), std::string("+"));
    sldTint_ = ManualSliderView::make(me, std::string("TINT"), std::string("-"), std::string("+"));
    for (const auto& [slider, top] : {std::pair{sldTemperature_, kTemperatureTop}, std::pair{sldTint_, kTintTop}}) {
        assignRound(*slider, kRulerRadius);
        b0p()->addSubview(slider);
        addConstraintsT(slider, b0p(), kRulerInset, -kRulerInset, top, kRulerHeight);
    }
}

void PopManualWBView::updateView() {
    PopManualControl::updateView();
    setSize(kSize);
    if (!manual().user) {
        sldTemperature_->setValue(100.0f * inverseLerpFloat(kMinTemperature, kMaxTemperature, temperature_.user));
        sldTint_->setValue(100.0f * inverseLerpFloat(kMinTint, kMaxTint, tint_.user));
    }
}

AVCaptureWhiteBalanceGains PopManualWBView::normalizedGains(AVCaptureWhiteBalanceGains g, float maxGain) const {
    for (float* gain : {&g.redGain, &g.greenGain, &g.blueGain}) {
        *gain = std::isnan(*gain) || *gain < 1.0f ? 1.0f : *gain;
        if (*gain > maxGain) *gain = maxGain;
    }
    return g;
}

void PopManualWBView::onManualSliderViewDidChange(ManualSliderView& slider, double value) {
    const float t = float(value / 100);
    if (&slider == sldTemperature_.get()) {
        const float temperature = lerpFloat(kMinTemperature, kMaxTemperature, t);
        userChanged([&] { temperature_.user = temperature; });
    } else if (&slider == sldTint_.get()) {
        const float tint = lerpFloat(kMinTint, kMaxTint, t);
        userChanged([&] { tint_.user = tint; });
    }
}

std::optional<std::string> PopManualWBView::onManualSliderViewGetLabelText(ManualSliderView& slider, double value) {
    const int i = int(value);
    const float t = float(value / 100);
    if (&slider == sldTemperature_.get()) {
        if (i == 100) return std::to_string(int(kMaxTemperature));
        if (i == 0) return std::to_string(int(kMinTemperature));
        return std::to_string(int(lerpFloat(kMinTemperature, kMaxTemperature, t)));
    }
    if (&slider == sldTint_.get()) {
        if (i == 100) return std::to_string(int(kMaxTint));
        if (i == 0) return std::to_string(int(kMinTint));
        return std::to_string(int(lerpFloat(kMinTint, kMaxTint, t)));
    }
    return std::nullopt;
}

bool PopManualWBView::readDevice(const AVCaptureDevice* device) {
    const AVCaptureWhiteBalanceGains g =
        device ? device->deviceWhiteBalanceGains() : AVCaptureWhiteBalanceGains{0, 0, 0};
    const float top = maxFloat(1.0f, device ? device->maxWhiteBalanceGain() : 0.0f);
    // Only gains the device accepts are converted.
    if (device && isInRange(g.redGain, 1.0f, top) && isInRange(g.greenGain, 1.0f, top) &&
        isInRange(g.blueGain, 1.0f, top)) {
        const auto tt = device->temperatureAndTintValuesForDeviceWhiteBalanceGains(g);
        if (!std::isnan(tt.temperature) && !std::isnan(tt.tint)) {
            temperature_.device = tt.temperature;
            tint_.device = tt.tint;
        }
    }
    const auto mode = device ? device->whiteBalanceMode() : AVCaptureWhiteBalanceMode::Locked;
    return mode == AVCaptureWhiteBalanceMode::Locked;
}

void PopManualWBView::followDevice() {
    temperature_.user = temperature_.device;
    tint_.user = tint_.device;
}

bool PopManualWBView::drifted() const {
    return std::fabs(temperature_.device - temperature_.user) > kTemperatureDrift ||
           std::fabs(tint_.device - tint_.user) > kTintDrift;
}

bool PopManualWBView::supportsManual(const AVCaptureDevice& device) const {
    return device.isWhiteBalanceModeSupported(AVCaptureWhiteBalanceMode::Locked);
}

bool PopManualWBView::applyManual(AVCaptureDevice& device, std::function<void(CMTime)> handler) {
    auto g = device.deviceWhiteBalanceGainsForTemperatureAndTintValues({temperature_.user, tint_.user});
    g = normalizedGains(g, device.maxWhiteBalanceGain());
    return device.setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains(g, std::move(handler));
}

std::optional<std::int64_t> PopManualWBView::autoMode(const AVCaptureDevice& device) const {
    for (auto mode :
         {AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance, AVCaptureWhiteBalanceMode::AutoWhiteBalance})
        if (device.isWhiteBalanceModeSupported(mode)) return std::int64_t(mode);
    return std::nullopt;
}

void PopManualWBView::applyAutoMode(AVCaptureDevice& device, std::int64_t mode) {
    device.setWhiteBalanceMode(AVCaptureWhiteBalanceMode(mode));
}
