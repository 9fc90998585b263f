// The manual white-balance pop-up, "WHITE BALANCE": a temperature ruler (3000 to 8000 K) and a
// tint ruler (-150 to 150) whose pair becomes the camera's gains, kept within what the device
// accepts, with the white balance locked to them. Main-thread only.
#pragma once

#include "camera/controls/pop_manual_control.h"
#include "platform/capture/av_capture_types.h"

// The white-balance pop-up's own kind of delegate: the questions every manual pop-up asks, nothing added.
class PopManualWBViewDelegate : public PopManualBaseDelegate {};

class PopManualWBView : public PopManualControl {
public:
    KORVA_MAKE(PopManualWBView)
    static constexpr float kTemperatureDrift = 2.0f;
    static constexpr float kTintDrift = 1.0f;
    static constexpr float kMinTemperature = 3000, kMaxTemperature = 8000;
    static constexpr float kMinTint = -150, kMaxTint = 150;
    static constexpr CGSize kSize{300, 185};

    void init() override;
    void updateView() override;

    // Each gain raised to at least 1 (NaN becomes 1), then lowered to the device's maximum.
    AVCaptureWhiteBalanceGains normalizedGains(AVCaptureWhiteBalanceGains gains, float maxGain) const;

    void onManualSliderViewDidChange(ManualSliderView& slider, double value) override;
    double onManualSliderViewGetCurrentPlayback(ManualSliderView&) override { return 0; }
    std::optional<std::string> onManualSliderViewGetLabelText(ManualSliderView& slider, double value) override;

    const ManualPair<float>& temperature() const { return temperature_; }
    const ManualPair<float>& tint() const { return tint_; }
    const std::shared_ptr<ManualSliderView>& sldTemperature() const { return sldTemperature_; }
    const std::shared_ptr<ManualSliderView>& sldTint() const { return sldTint_; }

    void setDelegate(const std::shared_ptr<PopManualWBViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopManualWBViewDelegate> delegate() const { return delegate_.lock(); }
    std::shared_ptr<PopManualBaseDelegate> baseDelegate() const override { return delegate(); }

    std::string className() const override { return "PopManualWBView"; }

protected:
    using PopManualControl::PopManualControl;
    std::string title() const override { return "WHITE BALANCE"; }
    std::vector<std::shared_ptr<ManualSliderView>> sliders() const override { return {sldTemperature_, sldTint_}; }
    bool readDevice(const AVCaptureDevice* device) override;
    void followDevice() override;
    bool drifted() const override;
    bool supportsManual(const AVCaptureDevice& device) const override;
    bool applyManual(AVCaptureDevice& device, std::function<void(CMTime)> handler) override;
    std::optional<std::int64_t> autoMode(const AVCaptureDevice& device) const override;
    void applyAutoMode(AVCaptureDevice& device, std::int64_t mode) override;

private:
    ManualPair<float> temperature_, tint_;
    std::shared_ptr<ManualSliderView> sldTemperature_, sldTint_;
    std::weak_ptr<PopManualWBViewDelegate> delegate_;
};
