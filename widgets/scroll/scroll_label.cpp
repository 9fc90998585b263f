// The scrolling label's data, properties, layout and edge-fade mask; the animations are in
// scroll_label_animation.cpp.
#include "widgets/scroll/scroll_label.h"

#include <cmath>

#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"

namespace {

constexpr long kSubLabelTag = 700;
constexpr double kSetupFadeDuration = 0.25;
// A text must be wider than the bounds by more than this to scroll.
constexpr double kWiderBy = 1.1920928955078125e-7;

const CGColor kOpaque = CGColor::rgb(0, 0, 0, 1);
const CGColor kClear = CGColor::rgb(0, 0, 0, 0);

CGRect integral(CGRect r) {
    if (CGRectIsNull(r)) return r;
    CGFloat x0 = std::floor(r.origin.x), y0 = std::floor(r.origin.y);
    CGFloat x1 = std::ceil(r.origin.x + r.size.width), y1 = std::ceil(r.origin.y + r.size.height);
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

}  // namespace

// ---- GradientSetupAnimation ----

std::shared_ptr<GradientSetupAnimation> GradientSetupAnimation::animationWithKeyPath(const std::string& keyPath) {
    return make<GradientSetupAnimation>(keyPath);
}

std::shared_ptr<CAAnimation> GradientSetupAnimation::copy() const {
    return cloneOf(*this);
}

// ---- construction ----

std::shared_ptr<ScrollLabel> ScrollLabel::make(CGRect frame) {
    return makeWithDuration(frame, 7.0, 0);
}

std::shared_ptr<ScrollLabel> ScrollLabel::makeWithDuration(CGRect frame, double duration, double fadeLength) {
    auto label = ::make<ScrollLabel>(frame);
    label->scrollDuration_ = duration;
    label->setFadeLength(std::min(fadeLength, frame.size.width / 2));
    return label;
}

std::shared_ptr<ScrollLabel> ScrollLabel::makeWithRate(CGRect frame, double rate, double fadeLength) {
    auto label = ::make<ScrollLabel>(frame);
    label->rate_ = rate;
    label->setFadeLength(std::min(fadeLength, frame.size.width / 2));
    return label;
}

ScrollLabel::~ScrollLabel() {
    auto center = NSNotificationCenter::defaultCenter();
    for (const auto& token : observers_) center->removeObserver(token);
}

void ScrollLabel::init() {
    UILabel::init();
    setupLabel();
}

void ScrollLabel::setupLabel() {
    setClipsToBounds(true);
    UILabel::setNumberOfLines(1);
    subLabel_ = UILabel::make(bounds());
    subLabel_->setTag(kSubLabelTag);
    subLabel_->layer()->setAnchorPoint({0, 0});
    subLabel_->setFrame(bounds());
    addSubview(subLabel_);
    scrollType_ = ScrollLabelLoopLeft;
    awayOffset_ = 0;
    animationCurve_ = ScrollLabelCurveLinear;
    labelize_ = holdScrolling_ = tapToScroll_ = isPaused_ = false;
    fadeLength_ = 0;
    animationDelay_ = 1.0;
    animationDuration_ = 0;
    leadingBuffer_ = trailingBuffer_ = 0;
    observeNotifications();
}

void ScrollLabel::observeNotifications() {
    auto center = NSNotificationCenter::defaultCenter();
    std::weak_ptr<ScrollLabel> weak = selfPtr();
    auto controllerBlock = [weak](const std::shared_ptr<NSNotification>& n) {
        if (auto label = weak.lock()) label->controllerNotification(n);
    };
    for (const char* name : {kScrollLabelControllerRestart, kScrollLabelShouldLabelize, kScrollLabelShouldAnimate})
        observers_.push_back(center->addObserver(name, nullptr, nullptr, controllerBlock));
    observers_.push_back(center->addObserver(UIApplicationDidBecomeActiveNotification, nullptr, nullptr,
                                             [weak](const std::shared_ptr<NSNotification>&) {
                                                 if (auto label = weak.lock()) label->restartLabel();
                                             }));
    observers_.push_back(center->addObserver(UIApplicationDidEnterBackgroundNotification, nullptr, nullptr,
                                             [weak](const std::shared_ptr<NSNotification>&) {
                                                 if (auto label = weak.lock()) label->shutdownLabel();
                                             }));
}

void ScrollLabel::controllerNotification(const std::shared_ptr<NSNotification>& n) {
    const Value& info = n->userInfo();
    if (!info.isDictionary()) return;
    auto controller = info["controller"].object();
    auto mine = firstAvailableViewController(*this);
    if (!controller || controller != std::static_pointer_cast<NSObject>(mine)) return;
    if (n->name() == kScrollLabelControllerRestart)
        restartLabel();
    else if (n->name() == kScrollLabelShouldLabelize)
        setLabelize(true);
    else if (n->name() == kScrollLabelShouldAnimate)
        setLabelize(false);
}

// ---- properties ----

void ScrollLabel::setLabelize(bool labelize) {
    if (labelize == labelize_) return;
    labelize_ = labelize;
    updateSublabelAndBeginScroll(true);
}

void ScrollLabel::setHoldScrolling(bool hold) {
    if (hold == holdScrolling_) return;
    holdScrolling_ = hold;
    if (!hold && !awayFromHome() && !labelize_ && !tapToScroll_ && labelShouldScroll()) beginScroll();
}

void ScrollLabel::setTapToScroll(bool tap) {
    if (tap == tapToScroll_) return;
    tapToScroll_ = tap;
    if (tap) {
        std::weak_ptr<ScrollLabel> weak = selfPtr();
        auto recognizer = UITapGestureRecognizer::make([weak](UIGestureRecognizer&) {
            if (auto label = weak.lock()) label->labelWasTapped();
        });
        UIViewAddGestureRecognizer(*this, recognizer);
        tapRecognizer_ = recognizer;
        setUserInteractionEnabled(true);
    } else {
        if (auto recognizer = tapRecognizer_.lock()) UIViewRemoveGestureRecognizer(*this, recognizer);
        tapRecognizer_.reset();
        setUserInteractionEnabled(false);
    }
}

void ScrollLabel::setScrollType(unsigned type) {
    if (type == scrollType_) return;
    scrollType_ = type;
    updateSublabel();
}

void ScrollLabel::setScrollDuration(double seconds) {
    if (seconds == scrollDuration_) return;
    rate_ = 0;
    scrollDuration_ = seconds;
    updateSublabel();
}

void ScrollLabel::setRate(double pointsPerSecond) {
    if (pointsPerSecond == rate_) return;
    scrollDuration_ = 0;
    rate_ = pointsPerSecond;
    updateSublabel();
}

void ScrollLabel::setLeadingBuffer(double points) {
    if (points == leadingBuffer_) return;
    leadingBuffer_ = std::abs(points);
    updateSublabel();
}

void ScrollLabel::setTrailingBuffer(double points) {
    if (points == trailingBuffer_) return;
    trailingBuffer_ = std::abs(points);
    updateSublabel();
}

void ScrollLabel::setFadeLength(double points) {
    if (points == fadeLength_) return;
    fadeLength_ = points;
    updateSublabel();
}

const std::vector<std::shared_ptr<UIColor>>& ScrollLabel::gradientColors() {
    if (gradientColors_.empty())
        gradientColors_ = {UIColor::clearColor(), UIColor::blackColor(), UIColor::blackColor(), UIColor::clearColor()};
    return gradientColors_;
}

std::shared_ptr<CAReplicatorLayer> ScrollLabel::repliLayer() const {
    return std::static_pointer_cast<CAReplicatorLayer>(layer());
}

std::shared_ptr<CAGradientLayer> ScrollLabel::maskLayer() const {
    return std::dynamic_pointer_cast<CAGradientLayer>(layer()->mask());
}

// ---- checks ----

CGSize ScrollLabel::subLabelSize() const {
    CGFloat width = subLabel_->sizeThatFits({0, 0}).width;
    if (!(width <= kMaxTextWidth)) width = kMaxTextWidth;  // also NaN
    return {width, bounds().size.height};
}

bool ScrollLabel::labelShouldScroll() const {
    const auto& text = subLabel_->text();
    if (!text || text->empty()) return false;
    if (!(subLabelSize().width + leadingBuffer_ > bounds().size.width + kWiderBy)) return false;
    return !labelize_ && (scrollDuration_ > 0 || rate_ > 0);
}

bool ScrollLabel::labelReadyForScroll() const {
    if (!superview() || !window()) return false;
    auto controller = firstAvailableViewController(*this);
    return controller && controller->isViewLoaded();
}

bool ScrollLabel::awayFromHome() const {
    if (!subLabel_->layer()->presentation()) return false;
    auto shown = CAAnimationEngine::presentedValue(*subLabel_->layer(), "position");
    auto point = std::get_if<CGPoint>(&shown);
    return point && point->x != homeLabelFrame_.origin.x;
}

// ---- control ----

void ScrollLabel::restartLabel() {
    shutdownLabel();
    if (labelShouldScroll() && canStartByItself()) beginScroll();
}

void ScrollLabel::shutdownLabel() {
    returnLabelToOriginImmediately();
    applyGradientMaskForFadeLength(fadeLength_, false);
}

void ScrollLabel::resetLabel() {
    returnLabelToOriginImmediately();
    homeLabelFrame_ = CGRectNull();
    awayOffset_ = 0;
}

void ScrollLabel::returnLabelToOriginImmediately() {
    // The cycle's callback goes first: the animations removed below report their end at once,
    // and a cut-short cycle must not start the next one.
    scrollCompletionBlock_ = nullptr;
    if (auto mask = layer()->mask()) CAAnimationEngine::removeAllAnimations(*mask);
    CAAnimationEngine::removeAllAnimations(*subLabel_->layer());
}

void ScrollLabel::labelWasTapped() {
    if (labelShouldScroll() && !awayFromHome()) beginScrollWithDelay(false);
}

void ScrollLabel::triggerScrollStart() {
    if (labelShouldScroll() && !awayFromHome()) beginScroll();
}

void ScrollLabel::minimizeLabelFrameWithMaximumSize(CGSize size, bool adjustHeight) {
    if (!subLabel_->text()) return;
    CGSize limit = size.width == 0 && size.height == 0
                       ? CGSize{std::numeric_limits<CGFloat>::max(), std::numeric_limits<CGFloat>::max()}
                       : size;
    CGSize measured = subLabelSize();
    CGRect f = frame();
    f.size.width = std::min(measured.width + 2 * fadeLength_, limit.width);
    if (adjustHeight) f.size.height = std::min(measured.height, limit.height);
    setFrame(f);
}

// ---- layout ----

void ScrollLabel::updateSublabelAndBeginScroll(bool begin) {
    if (!subLabel_ || !subLabel_->text() || !superview()) return;
    CGSize measured = subLabelSize();
    CGFloat w = measured.width;
    CGRect B = bounds();
    double L = leadingBuffer_, T = trailingBuffer_;
    invalidateIntrinsicContentSize();
    returnLabelToOriginImmediately();
    applyGradientMaskForFadeLength(fadeLength_, true);

    CATransactionWithoutActions quiet;
    if (!labelShouldScroll()) {
        subLabel_->setTextAlignment(textAlignment());
        subLabel_->setLineBreakMode(lineBreakMode());
        homeLabelFrame_ = rightHanded() ? integral({B.origin, {B.size.width - L, B.size.height}})
                                        : integral({{L, 0}, {B.size.width - L, B.size.height}});
        awayOffset_ = 0;
        repliLayer()->setInstanceCount(1);
        subLabel_->setFrame(homeLabelFrame_);
        removeGradientMask();
        return;
    }
    subLabel_->setLineBreakMode(NSLineBreakMode::ByClipping);
    double gap = std::max({L, T, fadeLength_});
    switch (scrollType_) {
        case ScrollLabelLoopLeft:
        case ScrollLabelLoopRight:
            if (scrollType_ == ScrollLabelLoopLeft) {
                homeLabelFrame_ = integral({{L, 0}, {w, B.size.height}});
                awayOffset_ = -(gap + homeLabelFrame_.size.width);
            } else {
                homeLabelFrame_ = integral({{B.size.width - (w + L), 0}, {w, B.size.height}});
                awayOffset_ = gap + homeLabelFrame_.size.width;
            }
            subLabel_->setFrame(homeLabelFrame_);
            repliLayer()->setInstanceCount(2);
            repliLayer()->setInstanceTransform(CATransform3DMakeTranslation(-awayOffset_, 0, 0));
            break;
        case ScrollLabelLeftThenBack:
        case ScrollLabelLeftOnce:
            homeLabelFrame_ = integral({{L, 0}, {w, B.size.height}});
            awayOffset_ = B.size.width - (w + L + T);
            subLabel_->setTextAlignment(NSTextAlignment::Left);
            subLabel_->setFrame(homeLabelFrame_);
            repliLayer()->setInstanceCount(1);
            break;
        case ScrollLabelRightThenBack:
        case ScrollLabelRightOnce:
            homeLabelFrame_ = integral({{B.size.width - (w + L), 0}, {w, B.size.height}});
            awayOffset_ = (w + T + L) - B.size.width;
            subLabel_->setTextAlignment(NSTextAlignment::Right);
            subLabel_->setFrame(homeLabelFrame_);
            repliLayer()->setInstanceCount(1);
            break;
        default:
            homeLabelFrame_ = CGRectZero;
            awayOffset_ = 0;
            return;
    }
    animationDuration_ = rate_ != 0 ? std::abs(awayOffset_) / rate_ : scrollDuration_;
    if (canStartByItself() && begin) beginScroll();
}

void ScrollLabel::layoutSubviews() {
    UILabel::layoutSubviews();
    updateSublabel();
}

void ScrollLabel::didMoveToSuperview() {
    UILabel::didMoveToSuperview();
    updateSublabel();
}

void ScrollLabel::willMoveToWindow(const std::shared_ptr<UIWindow>& newWindow) {
    UILabel::willMoveToWindow(newWindow);
    if (!newWindow) shutdownLabel();
}

void ScrollLabel::didMoveToWindow() {
    UILabel::didMoveToWindow();
    if (!window())
        shutdownLabel();
    else
        updateSublabel();
}

CGSize ScrollLabel::intrinsicContentSize() const {
    CGSize s = subLabel_->intrinsicContentSize();
    return {s.width + leadingBuffer_, s.height};
}

CGSize ScrollLabel::sizeThatFits(CGSize size) const {
    CGSize s = subLabel_->sizeThatFits(size);
    return {s.width + leadingBuffer_, s.height};
}

bool ScrollLabel::drawLayerInContext(CALayer&, CGContext&) {
    return false;  // the background is the layer's own; the inner label draws the text
}

// ---- the fade mask ----

void ScrollLabel::removeGradientMask() {
    layer()->setMask(nullptr);
}

void ScrollLabel::applyGradientMaskForFadeLength(double fade, bool animated) {
    if (auto mask = layer()->mask()) CAAnimationEngine::removeAllAnimations(*mask);
    if (!(fade > 0)) {
        removeGradientMask();
        return;
    }
    CGRect B = bounds();
    std::shared_ptr<CAGradientLayer> mask;
    std::vector<CGColor> from;
    {
        CATransactionWithoutActions quiet;
        mask = maskLayer();
        if (!mask) {
            mask = CAGradientLayer::make();
            mask->setShouldRasterize(true);
            mask->setRasterizationScale(UIScreen::mainScreen()->scale());
            mask->setStartPoint({0, 0.5});
            mask->setEndPoint({1, 0.5});
        }
        if (mask->bounds() != B && B.size.width > 0) {
            double stop = fade / B.size.width;
            mask->setLocations({0, stop, 1 - stop, 1});
        }
        mask->setBounds(B);
        mask->setPosition({CGRectGetMidX(B), CGRectGetMidY(B)});
        layer()->setMask(mask);
        CGColor edge = labelShouldScroll() ? kClear : kOpaque;
        std::vector<CGColor> colors = rightHanded() ? std::vector<CGColor>{edge, kOpaque, kOpaque, kOpaque}
                                                    : std::vector<CGColor>{kOpaque, kOpaque, kOpaque, edge};
        from = mask->colors();
        mask->setColors(colors);
        if (!animated || from.empty() || from == colors) return;
    }
    auto setup = GradientSetupAnimation::animationWithKeyPath("colors");
    setup->setFromValue(from);
    setup->setToValue(mask->colors());
    setup->setDuration(kSetupFadeDuration);
    setup->setRemovedOnCompletion(false);
    setup->setDelegate(std::static_pointer_cast<CAAnimationDelegate>(selfPtr()));
    CAAnimationEngine::addAnimation(mask, setup, "setupFade");
}

void ScrollLabel::animationDidStop(CAAnimation& animation, bool finished) {
    if (auto setup = dynamic_cast<GradientSetupAnimation*>(&animation)) {
        auto mask = maskLayer();
        if (!mask) return;
        if (auto colors = std::get_if<std::vector<CGColor>>(&setup->toValue())) {
            CATransactionWithoutActions quiet;
            mask->setColors(*colors);
        }
        CAAnimationEngine::removeAnimationForKey(*mask, "setupFade");
        return;
    }
    if (auto block = scrollCompletionBlock_) block(finished);
}

// ---- notifications posted for controllers ----

void ScrollLabel::restartLabelsOfController(const std::shared_ptr<NSObject>& controller) {
    notifyController(controller, kScrollLabelControllerRestart);
}

void ScrollLabel::controllerLabelsShouldLabelize(const std::shared_ptr<NSObject>& controller) {
    notifyController(controller, kScrollLabelShouldLabelize);
}

void ScrollLabel::controllerLabelsShouldAnimate(const std::shared_ptr<NSObject>& controller) {
    notifyController(controller, kScrollLabelShouldAnimate);
}

void ScrollLabel::notifyController(const std::shared_ptr<NSObject>& controller, const std::string& name) {
    if (!controller || name.empty()) return;
    Value info = Value::dictionary();
    info.set("controller", Value(controller));
    NSNotificationCenter::defaultCenter()->post(name, nullptr, info);
}

// ---- the owning controller ----

std::shared_ptr<UIViewController> firstAvailableViewController(const UIView& view) {
    for (auto next = view.nextResponder(); next; next = next->nextResponder()) {
        if (auto controller = std::dynamic_pointer_cast<UIViewController>(next)) return controller;
        if (!std::dynamic_pointer_cast<UIView>(next)) return nullptr;
    }
    return nullptr;
}
