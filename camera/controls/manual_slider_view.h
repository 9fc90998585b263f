// The ruler with which the manual controls set a value: a scale of 101 ticks (0 to 100, 5 points
// apart) scrolls under a fixed centre line. A drag reports every movement as a whole number;
// 0.2 s after the last movement the ruler reports once more and snaps to the whole value under
// the line. Ticks and labels fade with their distance from the line, and a light haptic tick
// follows the movement at most every 0.2 s. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/timer_slots.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/view/ui_view.h"

class ManualSliderView;
class UILabel;

class ManualSliderViewDelegate {
public:
    virtual ~ManualSliderViewDelegate() = default;
    // A whole value 0 to 100: every drag movement, and once when the ruler settles.
    virtual void onManualSliderViewDidChange(ManualSliderView& slider, double value) = 0;
    // The length of the highlighted span, in value units, asked on every marker tick.
    virtual double onManualSliderViewGetCurrentPlayback(ManualSliderView& slider) = 0;
    // The label of the tick at 0, 10, ... 100, or none; asked once, when the scale is built.
    virtual std::optional<std::string> onManualSliderViewGetLabelText(ManualSliderView& slider, double value) = 0;
};

class ManualSliderView : public UIView, public UIScrollViewDelegate {
public:
    KORVA_MAKE(ManualSliderView)

    static constexpr int kTickCount = 101;
    static constexpr double kPointsPerUnit = 5;
    static constexpr double kSettleDelay = 0.2;
    static constexpr double kSnapDuration = 0.1;
    static constexpr double kHapticInterval = 0.2;
    static constexpr double kPlaybackInterval = 0.1;
    static constexpr float kFarFade = 0.1f;

    // One tick of the scale: its number, view, and for a labelled tick the label and its size.
    struct Guide {
        int x = 0;
        std::shared_ptr<UIView> line;
        std::shared_ptr<UILabel> label;
        CGSize labelSize{};
        // What the line and label were last given, so only guides whose fade or height changed
        // are touched.
        float fade = -1;
        CGFloat height = -1;
    };

    ~ManualSliderView() override;
    void init() override;

    // Builds the scale on the first call, then lays it out for the current size.
    void updateData();
    // Asks the delegate for the tick labels again, once the scale is built: for a delegate whose
    // labels have changed meaning (another camera's range).
    void relabel();
    void updateView();
    // Places the ruler at the value without reporting it; NaN and infinities are ignored.
    void setValue(double value);
    void setValue0(double offset);

    double scrollToValue(double offset) const;
    double valueToScroll(double value) const;
    // The value under the centre line, clamped to 0...100, not rounded.
    double calcValue() const;

    // The highlighted span that follows the value while running.
    void start();
    void stop();

    void scrollViewWillBeginDragging(UIScrollView& scrollView) override;
    void scrollViewWillEndDragging(UIScrollView& scrollView, CGPoint velocity, CGPoint* target) override;
    void scrollViewDidScroll(UIScrollView& scrollView) override;

    const std::shared_ptr<UIScrollView>& scroll() const { return scroll_; }
    const std::shared_ptr<UILabel>& lblCenter() const { return lblCenter_; }
    const std::shared_ptr<UILabel>& lblLeft() const { return lblLeft_; }
    const std::shared_ptr<UILabel>& lblRight() const { return lblRight_; }
    const std::shared_ptr<UIView>& lineV() const { return lineV_; }
    const std::shared_ptr<UIView>& playback() const { return playback_; }
    const std::shared_ptr<UIView>& playbackHead() const { return playbackHead_; }
    const std::shared_ptr<UIView>& playbackBody() const { return playbackBody_; }
    const std::vector<Guide>& guides() const { return arrGuide_; }
    bool isBuilt() const { return status_ != 0; }
    bool userEvent() const { return userEvent_; }
    bool settlePending() const { return timerScrolled_.pending(); }
    bool playbackRunning() const { return tmrPlayback_.running(); }

    std::string className() const override { return "ManualSliderView"; }

protected:
    ManualSliderView(std::weak_ptr<ManualSliderViewDelegate> delegate, std::optional<std::string> textCenter,
                     std::optional<std::string> textLeft, std::optional<std::string> textRight);

private:
    std::shared_ptr<UILabel> makeCaption(const std::string& text);
    void resetGuides();
    void updateGuides();
    double notifyValue();
    void hapticTick();
    void restartTimerScrolled();
    void resetTimerScrolled() { timerScrolled_.reset(); }
    void onTimerScrolled();
    void restartTimerPlayback();
    void resetTimerPlayback();
    void onTimerPlayback();
    void updatePlaybackFrame(bool animated);

    std::weak_ptr<ManualSliderViewDelegate> delegate_;
    std::optional<std::string> textCenter_, textLeft_, textRight_;
    std::int64_t status_ = 0;
    bool userEvent_ = false;
    double lastHapticTicked_ = 0;
    std::shared_ptr<UIScrollView> scroll_;
    std::shared_ptr<UILabel> lblCenter_, lblLeft_, lblRight_;
    std::shared_ptr<UIView> lineV_, begin_, end_;
    std::shared_ptr<UIView> playback_, playbackBody_, playbackHead_;
    OneShotTimer timerScrolled_;
    RepeatingTimer tmrPlayback_;
    std::vector<Guide> arrGuide_;
};
