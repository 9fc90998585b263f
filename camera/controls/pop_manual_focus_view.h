// The manual focus pop-up, "FOCUS": one ruler from "NEAR" to "FAR" sets the lens position from 0
// to 1 in hundredths and locks the focus there. Main-thread only.
#pragma once

#include "camera/controls/pop_manual_control.h"

// The focus pop-up's own kind of delegate: the questions every manual pop-up asks, nothing added.
class PopManualFocusViewDelegate : public PopManualBaseDelegate {};

class PopManualFocusView : public PopManualControl {
public:
    KORVA_MAKE(PopManualFocusView)
    static constexpr float kDrift = 0.01f;
    static constexpr CGSize kSize{300, 120};

    void init() override;
    void updateView() override;

    void onManualSliderViewDidChange(ManualSliderView& slider, double value) override;
    double onManualSliderViewGetCurrentPlayback(ManualSliderView&) override { return 0; }
    std::optional<std::string> onManualSliderViewGetLabelText(ManualSliderView& slider, double value) override;

    const ManualPair<float>& focus() const { return focus_; }
    const std::shared_ptr<ManualSliderView>& sldFocus() const { return sldFocus_; }

    void setDelegate(const std::shared_ptr<PopManualFocusViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopManualFocusViewDelegate> delegate() const { return delegate_.lock(); }
    std::shared_ptr<PopManualBaseDelegate> baseDelegate() const override { return delegate(); }

    std::string className() const override { return "PopManualFocusView"; }

protected:
    using PopManualControl::PopManualControl;
    std::string title() const override { return "FOCUS"; }
    std::vector<std::shared_ptr<ManualSliderView>> sliders() const override { return {sldFocus_}; }
    bool readDevice(const AVCaptureDevice* device) override;
    void followDevice() override { focus_.user = focus_.device; }
    bool drifted() const override;
    bool supportsManual(const AVCaptureDevice& device) const override;
    bool applyManual(AVCaptureDevice& device, std::function<void(CMTime)> handler) override;
    std::optional<std::int64_t> autoMode(const AVCaptureDevice& device) const override;
    void applyAutoMode(AVCaptureDevice& device, std::int64_t mode) override;

private:
    ManualPair<float> focus_;
    std::shared_ptr<ManualSliderView> sldFocus_;
    std::weak_ptr<PopManualFocusViewDelegate> delegate_;
};

// The ruler label of a focus tick: "0", tenths as reduced fractions, "1".
std::string focusLabel(double value);
