// The pop-up core's views, placement constraints and the show/hide state machine.
#include "ui/popup/pop_view.h"

#include <utility>

#include "foundation/numeric.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/view/ui_view.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

namespace {

constexpr CGFloat kInitialHolderSide = 500;
constexpr CGFloat kBackgroundAlpha = 0.8;
constexpr CGFloat kGrowScale = 0.01;
constexpr int kIdentifierLimit = 10000;

std::shared_ptr<NSLayoutConstraint> identified(const std::shared_ptr<UIView>& item, NSLayoutAttribute a,
                                               const std::shared_ptr<UIView>& other, NSLayoutAttribute b,
                                               const std::string& identifier) {
    auto c = NSLayoutConstraint::constraintWithItem(item, a, NSLayoutRelation::Equal, other, b, 1,
                                                    other ? 0 : kInitialHolderSide);
    c->setIdentifier(identifier);
    return c;
}

}  // namespace

PopView::~PopView() {
    removeOwnViews();
}

void PopView::init() {
    HudBase::init();
    showAnimDXDY_ = hideAnimDXDY_ = CGPoint{};
    bg_ = UIView::make();
    bg_->setBackgroundColor(UIColor::colorWithWhite(0, kBackgroundAlpha));
    contHolder_ = UIView::make();
    contHolder_->setBackgroundColor(UIColor::clearColor());
    container_ = UIView::make();
    container_->setBackgroundColor(UIColor::colorWithWhite(1, 1));
    assignRound(*container_, kPopupCornerRadius);

    auto root = rootView();
    if (!root) return;
    root->addSubview(bg_);
    addConstraintsFull(bg_, root, 0, 0, 0, 0);
    bg_->setHidden(true);

    kContHolderX_ = getUniqueLayoutConstraint(*root, "hContHolderX");
    kContHolderY_ = getUniqueLayoutConstraint(*root, "hContHolderY");
    kContHolderW_ = getUniqueLayoutConstraint(*contHolder_, "hContHolderW");
    kContHolderH_ = getUniqueLayoutConstraint(*contHolder_, "hContHolderH");

    root->addSubview(contHolder_);
    contHolder_->setTranslatesAutoresizingMaskIntoConstraints(false);
    root->addConstraint(identified(contHolder_, NSLayoutAttribute::Left, root, NSLayoutAttribute::Left, kContHolderX_));
    root->addConstraint(identified(contHolder_, NSLayoutAttribute::Top, root, NSLayoutAttribute::Top, kContHolderY_));
    contHolder_->addConstraint(
        identified(contHolder_, NSLayoutAttribute::Width, nullptr, NSLayoutAttribute::NotAnAttribute, kContHolderW_));
    contHolder_->addConstraint(
        identified(contHolder_, NSLayoutAttribute::Height, nullptr, NSLayoutAttribute::NotAnAttribute, kContHolderH_));

    contHolder_->addSubview(container_);
    addConstraintsFull(container_, contHolder_, 0, kHolderBand, 0, -kHolderBand);
    contHolder_->setHidden(true);
}

std::string PopView::getUniqueLayoutConstraint(const UIView& view, const std::string& head) {
    for (int n = 0; n < kIdentifierLimit; ++n) {
        std::string candidate = head + "-" + std::to_string(n);
        if (!getLayoutConstraint(view, candidate)) return candidate;
    }
    return {};
}

void PopView::setBgColor(std::shared_ptr<UIColor> color) {
    bgColor_ = std::move(color);
    container_->setBackgroundColor(bgColor_);
}

void PopView::updateContainerConstants() {
    auto root = rootView();
    if (!root) return;
    const CGRect& r = containerRect_;
    setLayoutConstant(*root, kContHolderX_, r.origin.x);
    setLayoutConstant(*root, kContHolderY_, r.origin.y - kHolderBand);
    setLayoutConstant(*contHolder_, kContHolderW_, r.size.width);
    setLayoutConstant(*contHolder_, kContHolderH_, r.size.height + 2 * kHolderBand);
}

bool PopView::holderAnimating() const {
    return !CAAnimationEngine::animationKeys(*contHolder_->layer()).empty();
}

CGAffineTransform PopView::pointTransform(CGPoint dxdy) {
    return CGAffineTransformScale(CGAffineTransformMakeTranslation(-dxdy.x, -dxdy.y), kGrowScale, kGrowScale);
}

void PopView::show(CGRect rect, Callback completion, Callback onDidHide) {
    HudBase::show();
    ++showCount_;
    resetTimerHide();  // the newer command wins over a waiting hide
    hideAnimDXDY_ = showAnimDXDY_;
    bringToFront();
    onDidHide_ = std::move(onDidHide);

    // Keep the rectangle inside the root view horizontally; the left edge wins.
    if (auto root = rootView()) {
        const float w = float(root->bounds().size.width);
        const float left = minFloat(float(rect.origin.x), 0);
        const float right = maxFloat(float(rect.origin.x + rect.size.width - w), 0);
        rect.origin.x = isNearlyZero(left) ? rect.origin.x - right : rect.origin.x - left;
    }
    containerRect_ = rect;
    updateContainerConstants();
    lastShowCompletion_ = std::move(completion);

    if (holderAnimating()) {
        phase_ = PopPhase::ShowWaiting;
        restartTimerShow();
        CAAnimationEngine::removeAllAnimations(*contHolder_->layer());
    } else {
        show1();
    }
}

void PopView::hide(Callback completion) {
    HudBase::hide();
    resetTimerShow();  // the newer command wins over a waiting show
    lastHideCompletion_ = std::move(completion);
    if (holderAnimating()) {
        phase_ = PopPhase::HideWaiting;
        restartTimerHide();
        CAAnimationEngine::removeAllAnimations(*contHolder_->layer());
    } else {
        hide1();
    }
}

void PopView::show1() {
    phase_ = PopPhase::Showing;
    const std::uint64_t mine = ++animation_;
    setHidden(false);
    contHolder_->setTransform(pointTransform(showAnimDXDY_));
    setAlpha(0);
    std::weak_ptr<PopView> weak = self<PopView>();
    UIViewAnimation::animate(
        kAnimDuration,
        [weak] {
            if (auto s = weak.lock()) {
                s->setAlpha(1);
                s->contHolder_->setTransform(CGAffineTransformIdentity);
            }
        },
        [weak, mine](bool) {
            auto s = weak.lock();
            if (!s) return;
            if (s->animation_ == mine && s->phase_ == PopPhase::Showing) s->phase_ = PopPhase::Shown;
            if (auto c = std::move(s->lastShowCompletion_)) {
                s->lastShowCompletion_ = nullptr;
                c();
            }
        });
}

void PopView::hide1() {
    phase_ = PopPhase::Hiding;
    const std::uint64_t mine = ++animation_;
    // This shrink ends the show that stored the current `onDidHide`; a later show brings its own.
    Callback didHide = std::move(onDidHide_);
    onDidHide_ = nullptr;
    contHolder_->setTransform(CGAffineTransformIdentity);
    std::weak_ptr<PopView> weak = self<PopView>();
    UIViewAnimation::animate(
        kAnimDuration,
        [weak] {
            if (auto s = weak.lock()) {
                s->setAlpha(0);
                s->contHolder_->setTransform(pointTransform(s->hideAnimDXDY_));
            }
        },
        [weak, mine, didHide = std::move(didHide)](bool) mutable {
            auto s = weak.lock();
            if (!s) return;
            if (s->animation_ == mine && s->phase_ == PopPhase::Hiding) s->phase_ = PopPhase::Hidden;
            s->setHidden(true);
            s->contHolder_->setTransform(CGAffineTransformIdentity);
            if (auto c = std::move(s->lastHideCompletion_)) {
                s->lastHideCompletion_ = nullptr;
                c();
            }
            // The caller's callbacks may have released the pop-up; `s` keeps it alive until here.
            if (didHide) std::exchange(didHide, nullptr)();
        });
}

void PopView::resetTimerShow() {
    timerShow_.reset();
}

void PopView::restartTimerShow() {
    timerShow_.restart(kShowRetryDelay, weakBind(self<PopView>(), &PopView::onTimerShow));
}

void PopView::onTimerShow() {
    if (phase_ == PopPhase::ShowWaiting) show1();
}

void PopView::resetTimerHide() {
    timerHide_.reset();
}

void PopView::restartTimerHide() {
    timerHide_.restart(kHideRetryDelay, weakBind(self<PopView>(), &PopView::onTimerHide));
}

void PopView::onTimerHide() {
    if (phase_ == PopPhase::HideWaiting) hide1();
}

void PopView::bringToFront() {
    auto root = rootView();
    if (!root) return;
    root->bringSubviewToFront(bg_);
    root->bringSubviewToFront(contHolder_);
}

void PopView::sendToBack() {
    auto root = rootView();
    if (!root) return;
    root->sendSubviewToBack(bg_);
    root->sendSubviewToBack(contHolder_);
}

void PopView::sendToBack_bg() {
    if (auto root = rootView()) root->sendSubviewToBack(bg_);
}

void PopView::setAlpha(CGFloat alpha) {
    bg_->setAlpha(alpha);
    contHolder_->setAlpha(alpha);
}

void PopView::setHidden(bool hidden) {
    bg_->setHidden(hidden);
    contHolder_->setHidden(hidden);
    container_->setHidden(hidden);
}

bool PopView::hidden() const {
    return bg_->isHidden() && contHolder_->isHidden();
}

bool PopView::tapOutsideContainer(UIGestureRecognizer& recognizer) const {
    auto view = recognizer.view();
    if (!view || recognizer.state() != UIGestureRecognizerState::Ended) return false;
    const CGRect box = container_->convertRectToView(container_->bounds(), view);
    return !CGRectContainsPoint(box, recognizer.locationInView(view));
}

void PopView::hideOnTapOutside() {
    bg_->setUserInteractionEnabled(true);
    std::weak_ptr<PopView> weak = self<PopView>();
    UIViewAddGestureRecognizer(*bg_, UITapGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        auto s = weak.lock();
        if (s && s->tapOutsideContainer(r)) s->hide(Callback([] {}));
    }));
}

void PopView::removeOwnViews() {
    if (bg_) bg_->removeFromSuperview();
    if (contHolder_) contHolder_->removeFromSuperview();
}

void PopView::removeFromSuperview() {
    removeOwnViews();
    HudBase::removeFromSuperview();
}
