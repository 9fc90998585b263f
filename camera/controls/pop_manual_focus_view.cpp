// The manual focus pop-up: lens position readings, mapping, labels and setter.
#include "camera/controls/pop_manual_focus_view.h"

#include <cmath>
#include <cstdio>

#include "foundation/numeric.h"
#include "platform/capture/av_capture_device.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"

namespace {
constexpr CGFloat kRulerInset = 5, kRulerTop = 45, kRulerHeight = 60, kRulerRadius = 10;
}  // namespace

std::string focusLabel(double value) {
    const int i = int(value);
    if (i == 0) return "0";
    if (i == 100) return "1";
    int n = i / 10, d = 10;
    const int g = gcdInt(10, n);
    if (g != 0) {
        n /= g;
        d /= g;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", n, d);
    return text;
}

void PopManualFocusView::init() {
    PopManualControl::init();
    sldFocus_ = ManualSliderView::make(std::weak_ptr<ManualSliderViewDelegate>(self<PopManualFocusView>()),
                                       std::nullopt, std::string("NEAR"), std::string("FAR"));
    assignRound(*sldFocus_, kRulerRadius);
    b0p()->addSubview(sldFocus_);
    addConstraintsT(sldFocus_, b0p(), kRulerInset, -kRulerInset, kRulerTop, kRulerHeight);
}

void PopManualFocusView::updateView() {
    PopManualControl::updateView();
    setSize(kSize);
    if (!manual().user) sldFocus_->setValue(100.0f * focus_.user);
}

void PopManualFocusView::onManualSliderViewDidChange(ManualSliderView&, double value) {
    userChanged([&] { focus_.user = float(value / 100); });
}

std::optional<std::string> PopManualFocusView::onManualSliderViewGetLabelText(ManualSliderView&, double value) {
    return focusLabel(value);
}

bool PopManualFocusView::readDevice(const AVCaptureDevice* device) {
    const float lens = device ? device->lensPosition() : 0.0f;
    if (std::isfinite(lens)) focus_.device = lens;  // a reading that is no number keeps the last one
    const auto mode = device ? device->focusMode() : AVCaptureFocusMode::Locked;
    return mode == AVCaptureFocusMode::Locked;
}

bool PopManualFocusView::drifted() const {
    return std::fabs(focus_.device - focus_.user) > kDrift;
}

bool PopManualFocusView::supportsManual(const AVCaptureDevice& device) const {
    return device.isFocusModeSupported(AVCaptureFocusMode::Locked);
}

bool PopManualFocusView::applyManual(AVCaptureDevice& device, std::function<void(CMTime)> handler) {
    return device.setFocusModeLockedWithLensPosition(focus_.user, std::move(handler));
}

std::optional<std::int64_t> PopManualFocusView::autoMode(const AVCaptureDevice& device) const {
    for (auto mode : {AVCaptureFocusMode::ContinuousAutoFocus, AVCaptureFocusMode::AutoFocus})
        if (device.isFocusModeSupported(mode)) return std::int64_t(mode);
    return std::nullopt;
}

void PopManualFocusView::applyAutoMode(AVCaptureDevice& device, std::int64_t mode) {
    device.setFocusMode(AVCaptureFocusMode(mode));
}
