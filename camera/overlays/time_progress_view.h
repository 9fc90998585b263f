// A thin progress bar for a timed recording: it fills from the left as time passes, red until
// 15 seconds and green after, with a blinking head line and a mark with the caption "15 s" at
// 15 seconds that fades away once they are reached. Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/view/ui_view.h"

class CABasicAnimation;
class CAShapeLayer;
class NSLayoutConstraint;
class UILabel;

class TimeProgressView : public UIView {
public:
    KORVA_MAKE(TimeProgressView)
    static constexpr double kMinimum = 15.0;
    static constexpr CGFloat kBarHeight = 10;
    static constexpr CGFloat kCaptionTop = 12;
    static constexpr double kFadeDuration = 0.3;

    // The fade of the 15-second mark.
    enum class MinAnim { Idle = 0, FadingIn = 1, FadingOut = 2 };

    void init() override;

    double duration() const { return duration_; }
    // Places the 15-second mark at 15 / duration of the width; a duration that is not positive
    // places nothing.
    void setDuration(double seconds);
    double current() const { return current_; }
    void setCurrent(double seconds);
    void startAnimating();
    void stopAnimating();

    std::vector<double>& checkMoments() { return checkMoments_; }
    MinAnim minAnim() const { return minAnim_; }
    const std::shared_ptr<UIView>& barBG();
    const std::shared_ptr<CAShapeLayer>& barBody();
    const std::shared_ptr<CAShapeLayer>& barHead();
    const std::shared_ptr<UILabel>& labelMin() const { return labelMin_; }
    const std::shared_ptr<UIView>& lineMin() const { return lineMin_; }
    const std::shared_ptr<NSLayoutConstraint>& cLineMin() const { return cLineMin_; }

    std::string className() const override { return "TimeProgressView"; }

protected:
    TimeProgressView() = default;

private:
    void updateMinLabel();
    void showMin();
    void hideMin();
    const std::shared_ptr<CABasicAnimation>& aniBarHead();

    MinAnim minAnim_ = MinAnim::Idle;
    double duration_ = 0, current_ = 0;
    std::vector<double> checkMoments_;
    std::shared_ptr<UIView> barBG_;
    std::shared_ptr<CAShapeLayer> barBody_, barHead_;
    std::shared_ptr<CABasicAnimation> aniBarHead_;
    std::shared_ptr<UILabel> labelMin_;
    std::shared_ptr<NSLayoutConstraint> cLabelMin_, cLineMin_;
    std::shared_ptr<UIView> lineMin_;
};
