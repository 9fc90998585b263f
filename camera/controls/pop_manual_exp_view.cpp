// The manual exposure pop-up: duration and ISO readings, the cubic shutter ruler, labels, setter
// and the hidden preset buttons.
#include "camera/controls/pop_manual_exp_view.h"

#include <cmath>

#include "camera/controls/shutter_label.h"
#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/capture/av_capture_device.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controls/status_button_image.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {

constexpr CGFloat kRulerInset = 5, kShutterTop = 45, kISOTop = 115, kRulerHeight = 60, kRulerRadius = 10;
constexpr std::uint16_t kPresetGlyph = 0xF042;
constexpr CGSize kPresetIcon{32, 32};
constexpr CGFloat kPresetOffsets[] = {-120, -60, 0, 60, 120};
constexpr CGFloat kPresetTop = 155;
constexpr CGSize kPresetSize{60, 40};
constexpr float kMinimumDuration = 0.001f;
// The single-precision value nearest a third.
constexpr double kCubeRoot = 0.3333333432674408;

double seconds(const CMTime& t) {
    return CMTimeGetSeconds(t);
}

}  // namespace

void PopManualExpView::init() {
    PopManualControl::init();
    std::weak_ptr<ManualSliderViewDelegate> me = self<PopManualExpView>();
    sldShutterSpeed_ =
        ManualSliderView::make(me, std::string("SHUTTER SPEED"), std::string("LIGHT-"), std::string("LIGHT+"));
    sldISO_ = ManualSliderView::make(me, std::string("ISO"), std::string("-"), std::string("+"));
    for (const auto& [slider, top] : {std::pair{sldShutterSpeed_, kShutterTop}, std::pair{sldISO_, kISOTop}}) {
        assignRound(*slider, kRulerRadius);
        b0p()->addSubview(slider);
        addConstraintsT(slider, b0p(), kRulerInset, -kRulerInset, top, kRulerHeight);
    }
    auto font = Global::shared()->font()->iconFixedLarge3();
    for (int i = 0; i < 5; ++i) {
        auto icon = imageIcon(kPresetGlyph, kPresetIcon, font, UIColor::whiteColor(), UIColor::clearColor());
        auto button = StatusButtonImage::make(icon);
        std::weak_ptr<PopManualExpView> weak = self<PopManualExpView>();
        button->addTarget([weak, number = i + 1] {
            if (auto s = weak.lock()) s->onPreset(number);
        });
        button->setHidden(true);
        b0p()->addSubview(button);
        addConstraintsCT(button, b0p(), kPresetOffsets[i], kPresetTop, kPresetSize.width, kPresetSize.height);
        btnPreset_[i] = std::move(button);
    }
}

float PopManualExpView::d0() const {
    return std::fmax(kMinimumDuration, float(seconds(dur0_)));
}
double PopManualExpView::d1() const {
    return seconds(dur1_);
}

CMTime PopManualExpView::calcCMTimeFrom(double t) const {
    const double d0s = d0();
    return CMTimeMakeWithSeconds(d0s + t * t * t * (d1() - d0s), kTimescale);
}

float PopManualExpView::calcVFromCMTime(const CMTime& time) const {
    const double d0s = d0();
    const double r = (seconds(time) - d0s) / (d1() - d0s);
    // Cameras report exposures shorter than the ruler's millisecond; they sit at its start.
    if (!(r > 0) || isNearlyZero(float(r))) return 0;
    return float(std::pow(r, kCubeRoot));
}

void PopManualExpView::updateView() {
    PopManualControl::updateView();
    setSize(kSize);
    if (!manual().user) {
        sldShutterSpeed_->setValue(100.0f * calcVFromCMTime(shutterSpeed_.user));
        sldISO_->setValue(100.0f * inverseLerpFloat(float(iso0_), float(iso1_), iso_.user));
    }
    for (int i = 0; i < 5; ++i) {
        btnPreset_[i]->setTitle("Preset " + std::to_string(i + 1));
        btnPreset_[i]->setSelected(preset_ == i + 1);
    }
}

void PopManualExpView::onManualSliderViewDidChange(ManualSliderView& slider, double value) {
    if (!(d1() > 0) || !(iso1_ > 0)) return;  // no camera has given the rulers a range yet
    if (&slider == sldShutterSpeed_.get()) {
        const CMTime time = calcCMTimeFrom(value / 100);
        userChanged([&] { shutterSpeed_.user = time; });
    } else if (&slider == sldISO_.get()) {
        const float iso = lerpFloat(float(iso0_), float(iso1_), float(value / 100));
        userChanged([&] { iso_.user = iso; });
    }
}

std::optional<std::string> PopManualExpView::onManualSliderViewGetLabelText(ManualSliderView& slider, double value) {
    const int i = int(value);
    if (&slider == sldShutterSpeed_.get()) {
        if (i == 0) return "MIN";
        return shutterLabel(float(seconds(calcCMTimeFrom(value / 100))));
    }
    if (&slider == sldISO_.get()) {
        if (i == 0) return std::to_string(int(iso0_));
        if (i == 100) return std::to_string(int(iso1_));
        return std::to_string(int(lerpFloat(float(iso0_), float(iso1_), float(value / 100))));
    }
    return std::nullopt;
}

void PopManualExpView::onPreset(int number) {
    alert(vc(), "-[PopManualExpView onPreset" + std::to_string(number) + ":]", [] {});
}

bool PopManualExpView::readDevice(const AVCaptureDevice* device) {
    // Without a camera (the program in the background) the rulers keep the range last read, so
    // that a ruler moved meanwhile still names a time and an ISO the camera takes when it is back.
    if (auto format = device ? device->activeFormat() : nullptr) {
        dur0_ = format->minExposureDuration();
        dur1_ = format->maxExposureDuration();
        iso0_ = format->minISO();
        iso1_ = format->maxISO();
        relabelForRange();
    }
    const CMTime current = device ? device->exposureDuration() : CMTime{};
    const double e = seconds(current);
    const float lo = float(seconds(dur0_)), hi = float(seconds(dur1_));
    if (!std::isnan(e) && isInRange(float(e), lo, hi))
        shutterSpeed_.device = CMTimeMakeWithSeconds(clampFloat(float(e), lo, hi), current.timescale);
    const float iso = device ? device->ISO() : 0.0f;
    if (isInRange(iso, float(iso0_), float(iso1_))) iso_.device = iso;
    return device && device->exposureMode() == AVCaptureExposureMode::Custom;
}

void PopManualExpView::relabelForRange() {
    // The labels say what the camera takes at each tenth of the ruler: another camera, or another
    // format, writes them anew (no camera at all leaves them as they were).
    const std::array<double, 4> range{seconds(dur0_), seconds(dur1_), iso0_, iso1_};
    if (range == labelledRange_) return;
    labelledRange_ = range;
    sldShutterSpeed_->relabel();
    sldISO_->relabel();
}

void PopManualExpView::followDevice() {
    shutterSpeed_.user = shutterSpeed_.device;
    iso_.user = iso_.device;
}

bool PopManualExpView::drifted() const {
    return std::fabs(seconds(shutterSpeed_.device) - seconds(shutterSpeed_.user)) > kDurationDrift ||
           std::fabs(iso_.user - iso_.device) > kISODrift;
}

bool PopManualExpView::supportsManual(const AVCaptureDevice& device) const {
    return device.isExposureModeSupported(AVCaptureExposureMode::Custom);
}

bool PopManualExpView::applyManual(AVCaptureDevice& device, std::function<void(CMTime)> handler) {
    // The ISO range is read from the device here, on the capture queue, not from the pop-up.
    auto format = device.activeFormat();
    if (!format) return false;
    const float iso = clampFloat(iso_.user, format->minISO(), format->maxISO());
    return device.setExposureModeCustomWithDuration(shutterSpeed_.user, iso, std::move(handler));
}

std::optional<std::int64_t> PopManualExpView::autoMode(const AVCaptureDevice& device) const {
    for (auto mode : {AVCaptureExposureMode::ContinuousAutoExposure, AVCaptureExposureMode::AutoExpose})
        if (device.isExposureModeSupported(mode)) return std::int64_t(mode);
    return std::nullopt;
}

void PopManualExpView::applyAutoMode(AVCaptureDevice& device, std::int64_t mode) {
    device.setExposureMode(AVCaptureExposureMode(mode));
}
