// The manual exposure pop-up, "EXPOSURE": a shutter-time ruler mapped along a cubic curve onto the
// active format's exposure durations (so short times get most of the ruler) and an ISO ruler
// mapped linearly onto its ISO range; moving either puts the camera into custom exposure. The
// range is the camera's last reading: it holds while there is no camera. Five
// preset buttons are built hidden. Main-thread only.
#pragma once

#include <array>

#include "camera/controls/pop_manual_control.h"

class StatusButtonImage;

// The exposure pop-up's own kind of delegate: the questions every manual pop-up asks, nothing added.
class PopManualExpViewDelegate : public PopManualBaseDelegate {};

class PopManualExpView : public PopManualControl {
public:
    KORVA_MAKE(PopManualExpView)
    static constexpr double kDurationDrift = 0.01;
    static constexpr float kISODrift = 2.0f;
    static constexpr CMTimeScale kTimescale = 1000;
    static constexpr CGSize kSize{300, 185};

    void init() override;
    void updateView() override;

    // Ruler position (0...1) to a duration of whole milliseconds, and back.
    CMTime calcCMTimeFrom(double t) const;
    float calcVFromCMTime(const CMTime& time) const;

    void onManualSliderViewDidChange(ManualSliderView& slider, double value) override;
    double onManualSliderViewGetCurrentPlayback(ManualSliderView&) override { return 0; }
    std::optional<std::string> onManualSliderViewGetLabelText(ManualSliderView& slider, double value) override;

    void onPreset(int number);

    const ManualPair<CMTime>& shutterSpeed() const { return shutterSpeed_; }
    const ManualPair<float>& iso() const { return iso_; }
    CMTime dur0() const { return dur0_; }
    CMTime dur1() const { return dur1_; }
    double iso0() const { return iso0_; }
    double iso1() const { return iso1_; }
    std::int64_t preset() const { return preset_; }
    const std::shared_ptr<ManualSliderView>& sldShutterSpeed() const { return sldShutterSpeed_; }
    const std::shared_ptr<ManualSliderView>& sldISO() const { return sldISO_; }
    const std::array<std::shared_ptr<StatusButtonImage>, 5>& presetButtons() const { return btnPreset_; }

    void setDelegate(const std::shared_ptr<PopManualExpViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopManualExpViewDelegate> delegate() const { return delegate_.lock(); }
    std::shared_ptr<PopManualBaseDelegate> baseDelegate() const override { return delegate(); }

    std::string className() const override { return "PopManualExpView"; }

protected:
    using PopManualControl::PopManualControl;
    std::string title() const override { return "EXPOSURE"; }
    std::vector<std::shared_ptr<ManualSliderView>> sliders() const override { return {sldShutterSpeed_, sldISO_}; }
    bool readDevice(const AVCaptureDevice* device) override;
    void followDevice() override;
    bool drifted() const override;
    bool supportsManual(const AVCaptureDevice& device) const override;
    bool applyManual(AVCaptureDevice& device, std::function<void(CMTime)> handler) override;
    std::optional<std::int64_t> autoMode(const AVCaptureDevice& device) const override;
    void applyAutoMode(AVCaptureDevice& device, std::int64_t mode) override;
    bool stopsTimerOnHide() const override { return false; }

private:
    // The ruler's ends in seconds: never below one millisecond.
    float d0() const;
    double d1() const;
    // Asks the rulers for their labels again when the camera's range has changed.
    void relabelForRange();

    CMTime dur0_{}, dur1_{};
    double iso0_ = 0, iso1_ = 0;
    // The range the rulers' labels were last asked for under.
    std::array<double, 4> labelledRange_{};
    ManualPair<CMTime> shutterSpeed_;
    ManualPair<float> iso_;
    std::int64_t preset_ = 0;
    std::shared_ptr<ManualSliderView> sldShutterSpeed_, sldISO_;
    std::array<std::shared_ptr<StatusButtonImage>, 5> btnPreset_;
    std::weak_ptr<PopManualExpViewDelegate> delegate_;
};
