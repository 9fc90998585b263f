// The moving half of the scrolling label: one transaction per cycle with a key-frame animation of
// the inner label's position and one of the fade mask's colours, repeated from the position
// animation's end; and pausing by the layers' speed and time offset.
#include <cfloat>
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "widgets/scroll/scroll_label.h"
#include "widgets/scroll/timing_curve_solver.h"

namespace {

constexpr double kLongest = DBL_MAX;
// How long the fades take to come in and go at the ends of a move.
constexpr double kFadeIn = 0.4;
constexpr double kLoopFadeIn = 0.2;
constexpr double kLoopFadeOut = 0.1;
constexpr const char* kMarkerKey = "ScrollLabelAnimationCompletionBlock";

const CGColor kOpaque = CGColor::rgb(0, 0, 0, 1);
const CGColor kClear = CGColor::rgb(0, 0, 0, 0);

// A mask colour list from four flags, one per stop: true shows the text there.
std::vector<CGColor> stops(const char* pattern) {
    std::vector<CGColor> colors;
    for (const char* p = pattern; *p; ++p) colors.push_back(*p == '1' ? kOpaque : kClear);
    return colors;
}

bool oneWay(unsigned type) {
    return type == ScrollLabelLeftOnce || type == ScrollLabelRightOnce;
}
bool returning(unsigned type) {
    return type == ScrollLabelLeftThenBack || type == ScrollLabelRightThenBack;
}

}  // namespace

std::shared_ptr<CAMediaTimingFunction> ScrollLabel::timingFunctionForAnimationOptions(unsigned curve) {
    switch (curve) {
        case ScrollLabelCurveEaseInOut:
            return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
        case ScrollLabelCurveEaseIn: return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn);
        case ScrollLabelCurveEaseOut: return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseOut);
        default: return CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear);
    }
}

void ScrollLabel::beginScrollWithDelay(bool useDelay) {
    double delay = useDelay ? animationDelay_ : 0;
    switch (scrollType_) {
        case ScrollLabelLeftOnce:
        case ScrollLabelRightOnce: scrollAwayWithInterval(animationDuration_, delay, false); break;
        case ScrollLabelLoopLeft:
        case ScrollLabelLoopRight: scrollContinuousWithInterval(animationDuration_, delay); break;
        default:
            // The returning types always wait at home first, also when a tap starts them.
            scrollAwayWithInterval(animationDuration_, animationDelay_, true);
            break;
    }
}

void ScrollLabel::scrollAwayWithInterval(double interval, double delay, bool shouldReturn) {
    if (!labelReadyForScroll()) return;
    returnLabelToOriginImmediately();
    labelWillBeginScroll();
    double total = interval + delay;
    CATransaction::begin();
    CATransaction::setAnimationDuration(shouldReturn ? 2 * total : kLongest);
    if (fadeLength_ != 0)
        if (auto mask = layer()->mask())
            CAAnimationEngine::addAnimation(mask, keyFrameAnimationForGradientFadeLength(fadeLength_, interval, delay),
                                            "gradient");
    std::weak_ptr<ScrollLabel> weak = selfPtr();
    scrollCompletionBlock_ = [weak, interval, delay, shouldReturn](bool finished) {
        auto label = weak.lock();
        if (!label) return;
        label->labelReturnedToHome(true);
        if (!label->window() || CAAnimationEngine::animationForKey(*label->subLabel_->layer(), "position") ||
            !finished || !label->scrollCompletionBlock_)
            return;
        if (label->labelShouldScroll() && label->canStartByItself())
            label->scrollAwayWithInterval(interval, delay, shouldReturn);
    };
    CGPoint home = homeLabelFrame_.origin, away{home.x + awayOffset_, home.y};
    std::vector<CAValue> values = oneWay(scrollType_) ? std::vector<CAValue>{home, home, away, away}
                                                      : std::vector<CAValue>{home, home, away, away, home};
    auto move = keyFrameAnimationForProperty("position", values, interval, delay);
    move->setValueForKey(kMarkerKey, Value(true));
    CAAnimationEngine::addAnimation(subLabel_->layer(), move, "position");
    CATransaction::commit();
}

void ScrollLabel::scrollContinuousWithInterval(double interval, double delay,
                                               std::shared_ptr<CAKeyframeAnimation> labelAnimation,
                                               std::shared_ptr<CAKeyframeAnimation> gradientAnimation) {
    if (!labelReadyForScroll()) return;
    returnLabelToOriginImmediately();
    labelWillBeginScroll();
    CATransaction::begin();
    CATransaction::setAnimationDuration(interval + delay);
    if (fadeLength_ != 0) {
        if (!gradientAnimation)
            gradientAnimation = keyFrameAnimationForGradientFadeLength(fadeLength_, interval, delay);
        if (auto mask = layer()->mask()) CAAnimationEngine::addAnimation(mask, gradientAnimation, "gradient");
    }
    if (!labelAnimation) {
        CGPoint home = homeLabelFrame_.origin, away{home.x + awayOffset_, home.y};
        labelAnimation = keyFrameAnimationForProperty("position", {home, home, away}, interval, delay);
    }
    std::weak_ptr<ScrollLabel> weak = selfPtr();
    scrollCompletionBlock_ = [weak, interval, delay, labelAnimation, gradientAnimation](bool finished) {
        auto label = weak.lock();
        if (!label) return;
        if (finished) label->labelReturnedToHome(true);
        if (!label->window() || CAAnimationEngine::animationForKey(*label->subLabel_->layer(), "position")) return;
        if (label->labelShouldScroll() && label->canStartByItself())
            label->scrollContinuousWithInterval(interval, delay, labelAnimation, gradientAnimation);
    };
    labelAnimation->setValueForKey(kMarkerKey, Value(true));
    CAAnimationEngine::addAnimation(subLabel_->layer(), labelAnimation, "position");
    CATransaction::commit();
}

std::shared_ptr<CAKeyframeAnimation> ScrollLabel::keyFrameAnimationForProperty(const std::string& keyPath,
                                                                               std::vector<CAValue> values,
                                                                               double interval, double delay) {
    auto animation = CAKeyframeAnimation::animationWithKeyPath(keyPath);
    auto tf = timingFunctionForAnimationOptions(animationCurve_);
    double T = interval + delay;
    if (oneWay(scrollType_)) {
        animation->setKeyTimes({0, delay / kLongest, T / kLongest, 1});
        animation->setTimingFunctions({tf, tf, tf});
    } else if (returning(scrollType_)) {
        animation->setKeyTimes({0, delay / (2 * T), T / (2 * T), (T + delay) / (2 * T), 1});
        animation->setTimingFunctions({tf, tf, tf, tf});
    } else {
        animation->setKeyTimes({0, delay / T, 1});
        animation->setTimingFunctions({tf, tf});
    }
    animation->setValues(std::move(values));
    animation->setDelegate(std::static_pointer_cast<CAAnimationDelegate>(selfPtr()));
    return animation;
}

std::shared_ptr<CAKeyframeAnimation> ScrollLabel::keyFrameAnimationForGradientFadeLength(double, double interval,
                                                                                         double delay) {
    auto animation = CAKeyframeAnimation::animationWithKeyPath("colors");
    auto tf = timingFunctionForAnimationOptions(animationCurve_);
    animation->setTimingFunctions({tf, tf, tf, tf});
    double D = delay, I = interval, T = I + D;
    std::vector<double> times;
    std::vector<std::vector<CGColor>> lists;
    switch (scrollType_) {
        case ScrollLabelLeftThenBack:
        case ScrollLabelRightThenBack: {
            double span = 2 * T;
            times = {0,        D / span,       (D + kFadeIn) / span,     (T - kFadeIn) / span,
                     T / span, (T + D) / span, (T + D + kFadeIn) / span, (2 * T - kFadeIn) / span,
                     1};
            const char* left[] = {"1110", "1110", "0110", "0110", "0111", "0111", "0110", "0110", "1110"};
            const char* right[] = {"0111", "0111", "0110", "0110", "1110", "1110", "0110", "0110", "0111"};
            for (const char* s : scrollType_ == ScrollLabelLeftThenBack ? left : right) lists.push_back(stops(s));
            break;
        }
        case ScrollLabelLeftOnce:
        case ScrollLabelRightOnce: {
            times = {0, D / kLongest, (D + kFadeIn) / kLongest, (T - kFadeIn) / kLongest, T / kLongest, 1};
            const char* left[] = {"1110", "1110", "0110", "0110", "0111", "0111"};
            const char* right[] = {"0111", "0111", "0110", "0110", "1110", "1110"};
            for (const char* s : scrollType_ == ScrollLabelLeftOnce ? left : right) lists.push_back(stops(s));
            break;
        }
        default: {
            // The fade on the leading edge stays until the text itself (not its copy) has gone.
            double f = awayOffset_ != 0 ? std::abs((subLabel_->bounds().size.width + leadingBuffer_) / awayOffset_) : 0;
            double p = durationPercentageForPositionPercentage(*tf, f, T);
            double S = D + p * I;
            times = {0, D / T, (D + kLoopFadeIn) / T, S / T, (S + kLoopFadeOut) / T, 1};
            const char* left[] = {"1110", "1110", "0110", "0110", "1110", "1110"};
            const char* right[] = {"0111", "0111", "0110", "0110", "0111", "0111"};
            for (const char* s : scrollType_ == ScrollLabelLoopRight ? right : left) lists.push_back(stops(s));
            break;
        }
    }
    // The first list is what the mask shows now.
    if (auto mask = maskLayer()) {
        auto shown = CAAnimationEngine::presentedValue(*mask, "colors");
        if (auto colors = std::get_if<std::vector<CGColor>>(&shown); colors && !colors->empty()) lists[0] = *colors;
    }
    std::vector<CAValue> values(lists.begin(), lists.end());
    animation->setKeyTimes(std::move(times));
    animation->setValues(std::move(values));
    return animation;
}

void ScrollLabel::pauseLabel() {
    if (isPaused_ || !awayFromHome()) return;
    for (auto layerToFreeze : {subLabel_->layer(), layer()->mask()}) {
        if (!layerToFreeze) continue;
        double now = CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, layerToFreeze.get());
        layerToFreeze->setSpeed(0);
        layerToFreeze->setTimeOffset(now);
    }
    isPaused_ = true;
}

void ScrollLabel::unpauseLabel() {
    if (!isPaused_) return;
    for (auto layerToRun : {subLabel_->layer(), layer()->mask()}) {
        if (!layerToRun) continue;
        double paused = layerToRun->timeOffset();
        layerToRun->setSpeed(1);
        layerToRun->setTimeOffset(0);
        layerToRun->setBeginTime(0);
        layerToRun->setBeginTime(CAAnimationEngine::convertTime(CACurrentMediaTime(), nullptr, layerToRun.get()) -
                                 paused);
    }
    isPaused_ = false;
}
