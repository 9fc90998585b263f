// The status bar's state: shown or hidden and its style, each changed at once or animated on the
// clock (the bar fades or slides, the style cross-fades), so that whoever draws the bar reads
// where it is at the current time. A change in the middle of another starts from where the bar
// is then. Main thread only.
#pragma once

enum class UIStatusBarStyle;  // ui_view_controller.h
enum class UIStatusBarAnimation { None = 0, Fade = 1, Slide = 2 };

// How the bar looks at one moment.
struct StatusBarPresentation {
    double alpha = 1;  // the bar's opacity
    double slide = 0;  // 0 in place, 1 moved up by its whole height
    UIStatusBarStyle style{};
    // A style change cross-fades from `fromStyle` (mix 0) to `style` (mix 1).
    UIStatusBarStyle fromStyle{};
    double styleMix = 1;
};

class StatusBarState {
public:
    static constexpr double kDuration = 0.3;

    bool isHidden() const { return hidden_; }
    UIStatusBarStyle style() const { return style_; }
    // The flags change at once; only the presentation takes its time.
    void setHidden(bool hidden, UIStatusBarAnimation animation, double now);
    void setStyle(UIStatusBarStyle style, bool animated, double now);

    StatusBarPresentation presentationAt(double now) const;
    bool isAnimatingAt(double now) const;

private:
    // How shown the bar is (0 hidden, 1 shown) at a time.
    double visibilityAt(double now) const;
    double styleMixAt(double now) const;

    bool hidden_ = false;
    UIStatusBarStyle style_{};
    UIStatusBarStyle fromStyle_{};
    UIStatusBarAnimation animation_ = UIStatusBarAnimation::None;
    double visibilityFrom_ = 1;
    double visibilityStart_ = -1;
    double styleStart_ = -1;
};
