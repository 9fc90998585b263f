// A one-line label that scrolls its text sideways when it is wider than the bounds, with soft
// fades at the clipped edges. An inner label draws the text; the scroll animations move only its
// layer's presentation, and the label's own replicator layer draws the copy that follows the text
// round for the looping types. Main-thread only.
#pragma once

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/notification_center.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_replicator_layer.h"

class UIGestureRecognizer;
class UIViewController;

// How the text moves; the right-hand types are 1, 3 and 5.
enum ScrollLabelType : unsigned {
    ScrollLabelLeftThenBack = 0,
    ScrollLabelRightThenBack = 1,
    ScrollLabelLoopLeft = 2,
    ScrollLabelLoopRight = 3,
    ScrollLabelLeftOnce = 4,
    ScrollLabelRightOnce = 5,
};

// The curve values of the view-animation options the label accepts.
inline constexpr unsigned ScrollLabelCurveEaseInOut = 0;
inline constexpr unsigned ScrollLabelCurveEaseIn = 0x10000;
inline constexpr unsigned ScrollLabelCurveEaseOut = 0x20000;
inline constexpr unsigned ScrollLabelCurveLinear = 0x30000;

// Names of the notifications labels obey (user info "controller": the owning controller).
inline constexpr const char* kScrollLabelControllerRestart = "ScrollLabelViewControllerRestart";
inline constexpr const char* kScrollLabelShouldLabelize = "ScrollLabelShouldLabelizeNotification";
inline constexpr const char* kScrollLabelShouldAnimate = "ScrollLabelShouldAnimateNotification";

// The colour change of the fade mask, told apart from scroll animations when it ends.
class GradientSetupAnimation : public CABasicAnimation {
public:
    static std::shared_ptr<GradientSetupAnimation> animationWithKeyPath(const std::string& keyPath);
    std::shared_ptr<CAAnimation> copy() const override;
    std::string className() const override { return "GradientSetupAnimation"; }

protected:
    explicit GradientSetupAnimation(std::string keyPath) : CABasicAnimation(std::move(keyPath)) {}
};

class ScrollLabel : public UILabel, public CAAnimationDelegate {
public:
    static constexpr CGFloat kMaxTextWidth = 5461;

    // initWithFrame: (duration 7, no fade), initWithFrame:duration:andFadeLength: and
    // initWithFrame:rate:andFadeLength:; the fade is at most half the frame's width.
    static std::shared_ptr<ScrollLabel> make(CGRect frame = CGRectZero);
    static std::shared_ptr<ScrollLabel> makeWithDuration(CGRect frame, double duration, double fadeLength);
    static std::shared_ptr<ScrollLabel> makeWithRate(CGRect frame, double rate, double fadeLength);
    ~ScrollLabel() override;

    std::shared_ptr<CALayer> makeLayer() const override { return CAReplicatorLayer::make(); }

    // ---- scrolling settings ----
    unsigned animationCurve() const { return animationCurve_; }
    // Only the four curve values are taken; anything with another bit set is ignored.
    void setAnimationCurve(unsigned curve);
    bool labelize() const { return labelize_; }
    void setLabelize(bool labelize);
    bool holdScrolling() const { return holdScrolling_; }
    void setHoldScrolling(bool hold);
    bool tapToScroll() const { return tapToScroll_; }
    void setTapToScroll(bool tap);
    unsigned scrollType() const { return scrollType_; }
    void setScrollType(unsigned type);
    double scrollDuration() const { return scrollDuration_; }
    void setScrollDuration(double seconds);  // clears the rate
    double rate() const { return rate_; }
    void setRate(double pointsPerSecond);  // clears the duration
    double leadingBuffer() const { return leadingBuffer_; }
    void setLeadingBuffer(double points);  // stored as its absolute value
    double trailingBuffer() const { return trailingBuffer_; }
    void setTrailingBuffer(double points);
    double continuousScrollExtraBuffer() const { return trailingBuffer_; }
    void setContinuousScrollExtraBuffer(double points) { setTrailingBuffer(points); }
    double fadeLength() const { return fadeLength_; }
    void setFadeLength(double points);
    double animationDelay() const { return animationDelay_; }
    void setAnimationDelay(double seconds) { animationDelay_ = seconds; }

    // ---- state ----
    const std::shared_ptr<UILabel>& subLabel() const { return subLabel_; }
    double animationDuration() const { return animationDuration_; }
    CGRect homeLabelFrame() const { return homeLabelFrame_; }
    double awayOffset() const { return awayOffset_; }
    bool isPaused() const { return isPaused_; }
    const std::vector<std::shared_ptr<UIColor>>& gradientColors();
    bool labelShouldScroll() const;
    bool labelReadyForScroll() const;
    bool awayFromHome() const;
    std::shared_ptr<CAReplicatorLayer> repliLayer() const;
    std::shared_ptr<CAGradientLayer> maskLayer() const;

    // ---- label properties, kept on the inner label ----
    const std::optional<std::string>& text() const { return subLabel_->text(); }
    void setText(std::optional<std::string> text);
    std::shared_ptr<NSAttributedString> attributedText() const { return subLabel_->attributedText(); }
    void setAttributedText(std::shared_ptr<NSAttributedString> text);
    std::shared_ptr<UIFont> font() const { return subLabel_->font(); }
    void setFont(std::shared_ptr<UIFont> font);
    std::shared_ptr<UIColor> textColor() const { return subLabel_->textColor(); }
    void setTextColor(std::shared_ptr<UIColor> color);
    void setBackgroundColor(std::shared_ptr<UIColor> color) override;
    void setShadowColor(std::shared_ptr<UIColor> color);
    void setShadowOffset(CGSize offset);
    void setHighlightedTextColor(std::shared_ptr<UIColor> color);
    void setHighlighted(bool highlighted);
    void setEnabled(bool enabled);
    UIBaselineAdjustment baselineAdjustment() const { return subLabel_->baselineAdjustment(); }
    void setBaselineAdjustment(UIBaselineAdjustment adjustment);
    std::shared_ptr<UIColor> tintColor() const { return subLabel_->tintColor(); }
    void setTintColor(std::shared_ptr<UIColor> color);
    void tintColorDidChange() override;
    UIViewContentMode contentMode() const { return subLabel_->contentMode(); }
    void setContentMode(UIViewContentMode mode);
    void setIsAccessibilityElement(bool element);
    // The text is drawn by the inner label: baselines are its.
    std::shared_ptr<UIView> viewForFirstBaselineLayout() override { return subLabel_; }
    std::shared_ptr<UIView> viewForLastBaselineLayout() override { return subLabel_; }
    void setTextAlignment(NSTextAlignment alignment) { UILabel::setTextAlignment(alignment); }
    // The label stays one line, never shrinks its font.
    void setNumberOfLines(long) { UILabel::setNumberOfLines(1); }
    void setAdjustsFontSizeToFitWidth(bool) { UILabel::setAdjustsFontSizeToFitWidth(false); }
    void setMinimumScaleFactor(CGFloat) { UILabel::setMinimumScaleFactor(0); }

    // ---- control ----
    void restartLabel();
    void shutdownLabel();
    void resetLabel();
    void returnLabelToOriginImmediately();
    void triggerScrollStart();
    void labelWasTapped();
    void beginScroll() { beginScrollWithDelay(true); }
    void beginScrollWithDelay(bool useDelay);
    void pauseLabel();
    void unpauseLabel();
    // Shrinks the frame to the text plus the fades, within the limit (zero size: no limit).
    void minimizeLabelFrameWithMaximumSize(CGSize size, bool adjustHeight);
    void updateSublabel() { updateSublabelAndBeginScroll(true); }
    void updateSublabelAndBeginScroll(bool begin);
    // Hooks for subclasses around a scroll cycle.
    virtual void labelWillBeginScroll() {}
    virtual void labelReturnedToHome(bool /*finished*/) {}

    // Posts the notifications the labels of a controller obey.
    static void restartLabelsOfController(const std::shared_ptr<NSObject>& controller);
    static void controllerLabelsShouldLabelize(const std::shared_ptr<NSObject>& controller);
    static void controllerLabelsShouldAnimate(const std::shared_ptr<NSObject>& controller);
    static void notifyController(const std::shared_ptr<NSObject>& controller, const std::string& name);

    // ---- the moving half (scroll_label_animation.cpp) ----
    void scrollAwayWithInterval(double interval, double delay, bool shouldReturn);
    void scrollContinuousWithInterval(double interval, double delay,
                                      std::shared_ptr<CAKeyframeAnimation> labelAnimation = nullptr,
                                      std::shared_ptr<CAKeyframeAnimation> gradientAnimation = nullptr);
    virtual std::shared_ptr<CAKeyframeAnimation> keyFrameAnimationForProperty(const std::string& keyPath,
                                                                              std::vector<CAValue> values,
                                                                              double interval, double delay);
    virtual std::shared_ptr<CAKeyframeAnimation> keyFrameAnimationForGradientFadeLength(double fadeLength,
                                                                                        double interval, double delay);
    static std::shared_ptr<CAMediaTimingFunction> timingFunctionForAnimationOptions(unsigned curve);

    // ---- the coder road ----
    // The platform label reads the archive (the fields stay on the outer label), then the label is
    // set up as made from a frame; waking hands the archived look on to the inner label.
    void initWithCoder(const NSCoder& coder) override;
    void awakeFromNib() override;
    void prepareForInterfaceBuilder() override;
    // Copies the outer label's text, font, colours, shadow and the rest of its look to the inner
    // label, which draws them.
    void forwardPropertiesToSubLabel();

    // ---- view hooks ----
    void init() override;
    void layoutSubviews() override;
    void didMoveToSuperview() override;
    void willMoveToWindow(const std::shared_ptr<UIWindow>& newWindow) override;
    void didMoveToWindow() override;
    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize size) const override;
    bool drawLayerInContext(CALayer& layer, CGContext& context) override;
    void animationDidStop(CAAnimation& animation, bool finished) override;
    std::string className() const override { return "ScrollLabel"; }

protected:
    // The frame form; with no frame it is also the coder road's (makeWithCoder).
    explicit ScrollLabel(CGRect frame = CGRectZero) : UILabel(frame) {}

private:
    friend struct ScrollCycle;
    std::shared_ptr<ScrollLabel> selfPtr() { return std::static_pointer_cast<ScrollLabel>(shared_from_this()); }
    void setupLabel();
    void observeNotifications();
    void controllerNotification(const std::shared_ptr<NSNotification>& n);
    CGSize subLabelSize() const;
    void applyGradientMaskForFadeLength(double fade, bool animated);
    void removeGradientMask();
    bool rightHanded() const { return scrollType_ == 1 || scrollType_ == 3 || scrollType_ == 5; }
    bool canStartByItself() const { return !tapToScroll_ && !holdScrolling_; }

    unsigned animationCurve_ = ScrollLabelCurveLinear;
    bool labelize_ = false;
    bool holdScrolling_ = false;
    bool tapToScroll_ = false;
    unsigned scrollType_ = ScrollLabelLoopLeft;
    double scrollDuration_ = 7.0;
    double rate_ = 0;
    double leadingBuffer_ = 0;
    double trailingBuffer_ = 0;
    double fadeLength_ = 0;
    double animationDelay_ = 1.0;

    std::shared_ptr<UILabel> subLabel_;
    double animationDuration_ = 0;
    std::weak_ptr<UIGestureRecognizer> tapRecognizer_;
    CGRect homeLabelFrame_ = CGRectZero;
    double awayOffset_ = 0;
    bool isPaused_ = false;
    std::function<void(bool finished)> scrollCompletionBlock_;
    std::vector<std::shared_ptr<UIColor>> gradientColors_;
    std::vector<std::shared_ptr<NSObject>> observers_;
};

// The controller that owns a view: the first controller up the responder chain, or null.
std::shared_ptr<UIViewController> firstAvailableViewController(const UIView& view);
