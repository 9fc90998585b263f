// The depth style: events to the container, the snapshot and the full movements.
#include "app/sidebar/side_bar_depth_style.h"

#include <algorithm>
#include <cmath>

#include "app/sidebar/side_bar_image.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_media_timing_function.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/layer/ca_layer.h"

namespace {

constexpr const char* kPositionX = "position.x";
constexpr const char* kTransform = "transform";
// How close the presented menu must be to its open place to count as standing there.
constexpr double kStandTolerance = 0.5;

void afterDelay(double seconds, dispatch_block_t block) {
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, static_cast<std::int64_t>(seconds * NSEC_PER_SEC)),
                   dispatch_get_main_queue(), std::move(block));
}

double presentedNumber(const CALayer& layer, const char* keyPath) {
    return CAValueNumber(CAAnimationEngine::presentedValue(layer, keyPath)).value_or(0);
}

// A full movement: the values at key times [0, 0.5, 1] (or [0, 1] without a middle value), easing
// out and then in and out; the model takes the last value so that the layer stays there.
void addKeyframes(const std::shared_ptr<CALayer>& layer, const char* keyPath, std::vector<CAValue> values,
                  double duration) {
    auto animation = CAKeyframeAnimation::animationWithKeyPath(keyPath);
    auto easeOut = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseOut);
    auto easeInOut = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    if (values.size() == 3) {
        animation->setKeyTimes({0, 0.5, 1});
        animation->setTimingFunctions({easeOut, easeInOut});
    } else {
        animation->setKeyTimes({0, 1});
        animation->setTimingFunctions({easeInOut});
    }
    animation->setDuration(duration);
    CAValue last = values.back();
    animation->setValues(std::move(values));
    CAAnimationEngine::addAnimation(layer, animation, "");
    CAKeyPath::setModelValue(*layer, keyPath, last);
}

// A single value set at once, replacing any movement on the key path.
void setAtOnce(const std::shared_ptr<CALayer>& layer, const char* keyPath, const CAValue& value) {
    addKeyframes(layer, keyPath, {value, value}, 0);
}

CATransform3D scaled(double s) {
    return CATransform3DMakeScale(s, s, s);
}

}  // namespace

void SideBarDepthStyle::init() {
    SideBarStyle::init();
    setMenuWidth(UIScreen::mainScreen()->bounds().size.width * kMenuShareOfScreen);
    setAnimationDuration(kDefaultDuration);
}

void SideBarDepthStyle::setMenuWidth(double width) {
    double screen = UIScreen::mainScreen()->bounds().size.width;
    SideBarStyle::setMenuWidth(std::clamp(width, kMinMenuWidth, std::max(kMinMenuWidth, screen)));
}

void SideBarDepthStyle::setClosedScale(double scale) {
    closedScale_ = std::clamp(scale, kMinClosedScale, 1.0);
}

void SideBarDepthStyle::setBlackMaskAlpha(double alpha) {
    blackMaskAlpha_ = std::clamp(alpha, 0.0, kMaxMaskAlpha);
}

SideBarState SideBarDepthStyle::state() const {
    auto bar = sideBarController();
    return bar ? bar->currentState() : SideBarState::Hidden;
}

SideBarDirection SideBarDepthStyle::direction() const {
    auto bar = sideBarController();
    return bar ? bar->currentDirection() : SideBarDirection::Left;
}

double SideBarDepthStyle::side() const {
    return direction() == SideBarDirection::Left ? 1 : -1;
}

double SideBarDepthStyle::menuX() const {
    return menuView_ ? presentedNumber(*menuView_->layer(), kPositionX) : 0;
}

double SideBarDepthStyle::contentX() const {
    return contentImageView_ ? presentedNumber(*contentImageView_->layer(), kPositionX) : 0;
}

double SideBarDepthStyle::contentScale() const {
    return contentImageView_ ? presentedNumber(*contentImageView_->layer(), "transform.scale") : 1;
}

bool SideBarDepthStyle::menuStandsOpen() const {
    return std::fabs(menuX() - desMenuCenter_.x) < kStandTolerance;
}

bool SideBarDepthStyle::opening(double velocity) const {
    return direction() == SideBarDirection::Left ? velocity >= 0 : velocity < 0;
}

void SideBarDepthStyle::setContentViewController(const std::shared_ptr<UIViewController>& controller) {
    contentView_ = controller ? controller->view() : nullptr;
}

// ---- events to the container ----

void SideBarDepthStyle::startShowing() {
    if (auto d = delegate()) d->sideBarStyleWillShowMenuViewController();
    if (contentView_) contentView_->setHidden(true);
}

void SideBarDepthStyle::finishShowing() {
    std::weak_ptr<SideBarDepthStyle> weak = self<SideBarDepthStyle>();
    afterDelay(animationDuration(), [weak] {
        auto me = weak.lock();
        if (auto d = me ? me->delegate() : nullptr) d->sideBarStyleDidShowMenuViewController();
    });
}

void SideBarDepthStyle::startHiding() {
    if (auto d = delegate()) d->sideBarStyleWillHideMenuViewController();
    if (contentView_) contentView_->setHidden(true);
}

void SideBarDepthStyle::fadeOutWrapper() {
    auto wrapper = contentWrapperView_;
    if (!wrapper) return;
    UIViewAnimation::animate(
        kFadeDuration, [wrapper] { wrapper->setAlpha(0); }, [wrapper](bool) { wrapper->removeFromSuperview(); });
    if (contentView_) contentView_->setHidden(false);
}

void SideBarDepthStyle::finishHiding(bool animated) {
    std::weak_ptr<SideBarDepthStyle> weak = self<SideBarDepthStyle>();
    if (!animated) {
        if (auto d = delegate()) d->sideBarStyleDidHideMenuViewController();
        fadeOutWrapper();
        return;
    }
    afterDelay(animationDuration(), [weak] {
        auto me = weak.lock();
        if (auto d = me ? me->delegate() : nullptr) d->sideBarStyleDidHideMenuViewController();
    });
    // From the open place the overshoot takes the first part of the movement; from elsewhere the
    // wrapper can go sooner.
    double fadeAt = menuStandsOpen() ? animationDuration() - kFadeDuration : kEarlyFadeDelay;
    afterDelay(fadeAt, [weak] {
        if (auto me = weak.lock()) me->fadeOutWrapper();
    });
}

// ---- the calls the container makes ----

void SideBarDepthStyle::showMenuViewController() {
    startShowing();
    prepareForShowingMenuViewController();
    addMenuViewAnimation();
    if (closedScale_ < 1.0) addContentViewAnimation();
    finishShowing();
}

void SideBarDepthStyle::hideMenuViewController(bool animated) {
    startHiding();
    if (animated) {
        addMenuViewAnimation();
        if (closedScale_ < 1.0) addContentViewAnimation();
    } else {
        if (menuView_) setAtOnce(menuView_->layer(), kPositionX, menuPositionXValues(state(), direction()).back());
        if (contentImageView_) {
            setAtOnce(contentImageView_->layer(), kTransform, contentTransformValues(state(), direction()).back());
            setAtOnce(contentImageView_->layer(), kPositionX, contentPositionXValues(state(), direction()).back());
        }
    }
    finishHiding(animated);
}

void SideBarDepthStyle::handleTapGesture(UIGestureRecognizer& tap) {
    auto bar = sideBarController();
    if (!bar || !bar->contentViewController()) return;
    auto menu = bar->menuViewControllerForDirection(direction());
    CGPoint p = tap.locationInView(bar->view());
    bool inContent = CGRectContainsPoint(bar->contentViewController()->view()->frame(), p);
    bool inMenu = menu && CGRectContainsPoint(menu->view()->frame(), p);
    if (inContent && !inMenu) bar->hideMenuViewController(true);
}

void SideBarDepthStyle::handlePanGesture(UIPanGestureRecognizer& pan) {
    auto bar = sideBarController();
    if (!bar) return;
    switch (pan.state()) {
        case UIGestureRecognizerState::Began:
            if (state() == SideBarState::Shown) {
                startHiding();
            } else if (state() == SideBarState::Hidden) {
                startShowing();
                prepareForShowingMenuViewController();
            }
            break;
        case UIGestureRecognizerState::Changed: {
            double t = std::clamp(double(pan.translationInView(bar->view()).x), -kDragStep, kDragStep);
            double v = pan.velocityInView(bar->view()).x;
            addMenuViewAnimationWithTranslation(t, v);
            if (closedScale_ < 1.0) addContentViewAnimationWithTranslation(t, v);
            break;
        }
        case UIGestureRecognizerState::Ended: {
            double v = pan.velocityInView(bar->view()).x;
            if (opening(v))
                startShowing();
            else
                startHiding();
            addMenuViewAnimation();
            if (closedScale_ < 1.0) addContentViewAnimation();
            if (state() == SideBarState::WillShow)
                finishShowing();
            else if (state() == SideBarState::WillHide)
                finishHiding(true);
            break;
        }
        default: break;
    }
}

void SideBarDepthStyle::willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation, double) {
    if (state() != SideBarState::Shown && state() != SideBarState::Hidden) return;
    computeGeometry();
    hideMenuViewController(false);
}

// ---- the snapshot ----

void SideBarDepthStyle::computeGeometry() {
    if (!contentView_) return;
    animationBounceSize_ = contentView_->frame().size.width * (1 - closedScale_) * 0.5;
    if (contentImageView_) {
        CGRect f = contentImageView_->frame();
        originContentCenter_ = {CGRectGetMidX(f), CGRectGetMidY(f)};
    }
    if (!menuView_) return;
    CGRect m = menuView_->frame();
    if (direction() == SideBarDirection::Left) {
        originMenuCenter_ = {-m.size.width / 2, CGRectGetMidY(m)};
        desMenuCenter_.x = originMenuCenter_.x + menuWidth();
    } else {
        originMenuCenter_ = {1.5 * m.size.width, CGRectGetMidY(m)};
        desMenuCenter_.x = originMenuCenter_.x - menuWidth();
    }
    desMenuCenter_.y = CGRectGetMidY(m);
}

void SideBarDepthStyle::prepareForShowingMenuViewController() {
    auto bar = sideBarController();
    if (!bar) return;
    auto menu = bar->menuViewControllerForDirection(direction());
    auto content = bar->contentViewController();
    if (!menu || !content) return;
    menuView_ = menu->view();
    contentView_ = content->view();
    auto container = bar->view();

    if (contentWrapperView_) contentWrapperView_->removeFromSuperview();
    container->bringSubviewToFront(menuView_);

    CGSize size = contentView_->bounds().size;
    const double k = 3 - 2 * closedScale_;
    auto snapshot = imageFromView(*contentView_, CGSize{size.width, size.height * k});
    if (shouldBlurContentView_) snapshot = blurredImage(snapshot, blurRadius_, kBlurIterations, UIColor::clearColor());

    if (!contentWrapperView_) contentWrapperView_ = UIView::make();
    contentWrapperView_->setFrame(contentView_->bounds());
    contentWrapperView_->setAlpha(1);
    if (!contentWrapperView_->superview()) {
        const auto& below = container->subviews();
        auto at = std::find(below.begin(), below.end(), menuView_);
        container->insertSubviewAtIndex(contentWrapperView_, static_cast<std::size_t>(at - below.begin()));
    }

    if (!contentImageView_) {
        contentImageView_ = UIImageView::make();
        contentImageView_->setBackgroundColor(UIColor::blackColor());
        contentImageView_->setContentMode(UIViewContentMode::Center);
    }
    contentImageView_->setImage(snapshot);
    // Start from rest: no scale left over from the last movement.
    CAAnimationEngine::removeAllAnimations(*contentImageView_->layer());
    contentImageView_->layer()->setTransform(CATransform3DIdentity);
    contentImageView_->setFrame(CGRectMake(-(1 - closedScale_) * size.width, -(1 - closedScale_) * size.height,
                                           size.width * k, size.height * k));
    if (!contentImageView_->superview()) contentWrapperView_->addSubview(contentImageView_);

    if (!blackView_) blackView_ = UIView::make();
    blackView_->setFrame(contentWrapperView_->bounds());
    blackView_->setBackgroundColor(UIColor::colorWithWhite(0, blackMaskAlpha_));
    if (!blackView_->superview()) contentWrapperView_->addSubview(blackView_);

    computeGeometry();
}

// ---- full movements ----

std::vector<CAValue> SideBarDepthStyle::menuPositionXValues(SideBarState s, SideBarDirection d) const {
    const double b = animationBounceSize_ * (d == SideBarDirection::Left ? 1 : -1);
    const double x = menuX();
    if (s == SideBarState::WillShow || s == SideBarState::Shown) return {x, desMenuCenter_.x + b, desMenuCenter_.x};
    if (menuStandsOpen()) return {x, x + b, originMenuCenter_.x};
    return {x, originMenuCenter_.x};
}

std::vector<CAValue> SideBarDepthStyle::contentTransformValues(SideBarState s, SideBarDirection) const {
    CAValue current = contentImageView_ ? CAAnimationEngine::presentedValue(*contentImageView_->layer(), kTransform)
                                        : CAValue(CATransform3DIdentity);
    if (s == SideBarState::WillShow || s == SideBarState::Shown)
        return {current, scaled(closedScale_ - kScaleDip), scaled(closedScale_)};
    if (menuStandsOpen()) return {current, scaled(closedScale_ - kScaleDip), CATransform3DIdentity};
    return {current, CATransform3DIdentity};
}

std::vector<CAValue> SideBarDepthStyle::contentPositionXValues(SideBarState s, SideBarDirection d) const {
    const double b = animationBounceSize_ * (d == SideBarDirection::Left ? 1 : -1);
    const double x = contentX();
    if (s == SideBarState::WillShow || s == SideBarState::Shown)
        return {x, originContentCenter_.x + 2 * b, originContentCenter_.x + b};
    if (menuStandsOpen()) return {x, x + b, originContentCenter_.x};
    return {x, originContentCenter_.x};
}

void SideBarDepthStyle::addMenuViewAnimation() {
    if (!menuView_) return;
    addKeyframes(menuView_->layer(), kPositionX, menuPositionXValues(state(), direction()), animationDuration());
}

void SideBarDepthStyle::addContentViewAnimation() {
    if (!contentImageView_) return;
    // Both lists read the snapshot's present values, so they are made before either is added.
    auto transforms = contentTransformValues(state(), direction());
    auto positions = contentPositionXValues(state(), direction());
    addKeyframes(contentImageView_->layer(), kTransform, std::move(transforms), animationDuration());
    addKeyframes(contentImageView_->layer(), kPositionX, std::move(positions), animationDuration());
}

// ---- following a finger ----

void SideBarDepthStyle::addMenuViewAnimationWithTranslation(double t, double) {
    if (!menuView_) return;
    double lo = std::min(originMenuCenter_.x, desMenuCenter_.x), hi = std::max(originMenuCenter_.x, desMenuCenter_.x);
    setAtOnce(menuView_->layer(), kPositionX, std::clamp(menuX() + t, lo, hi));
}

void SideBarDepthStyle::addContentViewAnimationWithTranslation(double t, double v) {
    if (!contentImageView_ || !menuView_) return;
    const double b = animationBounceSize_ * side();
    const bool open = opening(v);
    // The snapshot covers the same share of its way as the menu's step is of the menu's.
    const double menuNow = menuX();
    const double menuTo = open ? desMenuCenter_.x + b : originMenuCenter_.x;
    const double contentTo = open ? originContentCenter_.x + 2 * b : originContentCenter_.x;
    const double scaleTo = open ? closedScale_ : 1.0;
    if (menuTo == menuNow) return;
    const double share = t / (menuTo - menuNow);
    const double x = contentX(), s = contentScale();
    double lo = std::min(originContentCenter_.x, originContentCenter_.x + 2 * b);
    double hi = std::max(originContentCenter_.x, originContentCenter_.x + 2 * b);
    setAtOnce(contentImageView_->layer(), kPositionX, std::clamp(x + share * (contentTo - x), lo, hi));
    setAtOnce(contentImageView_->layer(), kTransform, scaled(std::clamp(s + share * (scaleTo - s), closedScale_, 1.0)));
}
