// The marker of a point of interest on the live picture: four corner brackets 50 points apart
// around the point, an optional caption under it, a fly-in when a shot is aimed, a blinking
// stroke while it waits, and a hide timed from the last placement. Takes no touches.
//
// States: hidden (showedAt 0) -> shown and blinking (any placement) -> shot (blink removed by
// take_0) -> hidden when a hide timer fires. Placing the marker again does not cancel a hide
// that is already scheduled. Main-thread only.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "platform/dispatch/timer_slots.h"
#include "platform/ui/view/ui_view.h"

class CABasicAnimation;
class CAShapeLayer;
class UIColor;
class UILabel;

class FocusView : public UIView {
public:
    KORVA_MAKE(FocusView)
    static constexpr CGFloat kHalfSide = 25;
    static constexpr CGFloat kBracketArm = 10;
    static constexpr CGFloat kFlyDistance = 100;
    static constexpr CGFloat kCaptionGap = 28;
    static constexpr double kFlyDuration = 0.2;
    static constexpr double kBlinkDuration = 0.1;
    static constexpr double kDeviceHide = 1.1;
    static constexpr double kShortHide = 0.5;

    void init() override;
    void layoutSubviews() override;

    // x and y in unit coordinates of the marker's size, y from the top.
    void setPosition(CGPoint unit, const std::optional<std::string>& msg, bool posAnim);

    // Points in the screen's convention (y from the bottom).
    void initialize(CGPoint pt);
    void focusByDevice(CGPoint pt);
    void focusByUser(CGPoint pt);
    void take_at(CGPoint pt);
    void take_0();
    void take_1();

    void hide(double delay);
    void delayedHide() { hide(kShortHide); }
    void beginShot();
    void endShot() { delayedHide(); }
    void restartTimerHide(double interval);
    void resetTimerHide() { timerHide_.reset(); }
    void onTimerHide();

    double showedAt() const { return showedAt_; }
    bool hidePending() const { return timerHide_.pending(); }
    const std::shared_ptr<UILabel>& label() const { return label_; }
    // Top-left, top-right, bottom-left, bottom-right: the views that carry the bracket corners.
    const std::array<std::shared_ptr<UIView>, 4>& corners() const { return corners_; }
    const std::array<std::shared_ptr<CAShapeLayer>, 4>& brackets() const { return brackets_; }

    std::string className() const override { return "FocusView"; }

protected:
    FocusView(std::shared_ptr<UIColor> color, std::string text0, std::optional<std::string> text1);

private:
    void build();
    void showFor(CGPoint screenPoint, const std::optional<std::string>& msg, bool fly);
    void addBlink();

    std::shared_ptr<UIColor> color1_;
    std::string text0_;
    std::optional<std::string> text1_;
    double showedAt_ = 0;
    bool built_ = false;
    std::array<std::shared_ptr<UIView>, 4> corners_;
    std::array<std::shared_ptr<CAShapeLayer>, 4> brackets_;
    std::array<std::shared_ptr<CABasicAnimation>, 4> flyIns_;
    std::shared_ptr<CABasicAnimation> animBeforeShot_;
    std::shared_ptr<UILabel> label_;
    OneShotTimer timerHide_;
};
