// The dimming HUD with its indicator and progress bar, and the small indicator over a sender.
#include "ui/popup/hud_view.h"

#include "foundation/global.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_touch.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_hierarchy.h"
#include "ui/theme/color.h"
#include "widgets/flat/flat_palette.h"
#include "widgets/indicator/busy_indicator_view.h"

namespace {
constexpr CGFloat kDimAlpha = 0.5;
constexpr double kMoveDuration = 0.3;

// The holder keeps every touch that lands on it from what lies beneath: the views, the recognisers
// of the views around it, the scroll view it may sit in and the status bar's tap.
class HudHolderView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(HudHolderView)
    bool takesTouchesBeforeAncestorRecognizers() const override { return true; }
    bool keepsTouchesFromScrolling() const override { return true; }
    std::string className() const override { return "HudHolderView"; }

protected:
    HudHolderView() = default;
};
}  // namespace

HudTimed::~HudTimed() {
    if (holder_) holder_->removeFromSuperview();
}

void HudTimed::makeHolder(std::shared_ptr<UIColor> color) {
    holder_ = HudHolderView::make();
    holder_->setBackgroundColor(std::move(color));
    holder_->setHidden(true);
    if (auto root = rootView()) {
        root->addSubview(holder_);
        addConstraintsFull(holder_, root, 0, 0, 0, 0);
    }
}

void HudTimed::restartTimerHide(double seconds) {
    timerHide_.restart(seconds, weakBind(self<HudTimed>(), &HudTimed::onTimerHide));
}

void HudTimed::onTimerHide() {
    resetTimerHide();
    hide();
}

void HudTimed::showHolder() {
    holder_->setHidden(false);
    auto parent = holder_->superview();
    if (!parent) return;
    parent->bringSubviewToFront(holder_);
    // The constraints place the holder at the next layout pass; a touch that comes before it (in
    // the batch of input that showed the HUD, say) must already land on it.
    holder_->setFrame(parent->bounds());
}

bool HudTimed::shown() const {
    return !holder_->isHidden();
}

void HudTimed::removeFromSuperview() {
    holder_->removeFromSuperview();
    HudBase::removeFromSuperview();
}

void HudView::init() {
    HudTimed::init();
    makeHolder(UIColor::colorWithWhite(0, kDimAlpha));
    auto palette = Global::shared()->color();
    act_ = BusyIndicatorView::make(kIndicatorType, palette ? palette->loadingTint() : nullptr);
    prog_ = UIProgressView::make();
    prog_->setProgressTintColor(flatRedColor());
    holder()->addSubview(act_);
    addConstraintsCenter(act_, holder(), 0, 0, kIndicatorSide, kIndicatorSide);
    holder()->addSubview(prog_);
    addConstraintsCenter(prog_, holder(), 0, kProgressOffset, kProgressSize.width, kProgressSize.height);
}

void HudView::show() {
    HudBase::show();
    // A plain show stays up: an auto-hide of an earlier show must not take it away.
    resetTimerHide();
    showHolder();
    prog_->setHidden(true);
    act_->startAnimating();
}

void HudView::hide() {
    HudBase::hide();
    resetTimerHide();
    holder()->setHidden(true);
    act_->stopAnimating();
}

void HudView::showWithAutoHide(double seconds) {
    show();
    restartTimerHide(seconds);
}

void HudView::showWithProgress() {
    show();
    prog_->setHidden(false);
    prog_->setProgress(0);
}

void HudView::setProgress(float p) {
    prog_->setProgress(p);
}

void HudAct::init() {
    HudTimed::init();
    makeHolder(UIColor::clearColor());
    act_ = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::Gray);
    holder()->addSubview(act_);
}

void HudAct::show(const std::shared_ptr<NSObject>& sender) {
    HudBase::show();
    resetTimerHide();
    last_ = trackSender(sender, vc());
    showHolder();
    recalcLayout();
    applyLayout(false);
    act_->startAnimating();
}

void HudAct::hide() {
    HudBase::hide();
    resetTimerHide();
    holder()->setHidden(true);
    act_->stopAnimating();
}

void HudAct::showWithAutoHide(const std::shared_ptr<NSObject>& sender, double seconds) {
    show(sender);
    restartTimerHide(seconds);
}

void HudAct::recalcLayout() {
    if (auto v = last_.lock()) rt_ = v->convertRectToView(v->bounds(), holder());
}

void HudAct::applyLayout(bool animated) {
    if (last_.expired()) return;
    if (!animated) return act_->setFrame(rt_);
    std::weak_ptr<UIActivityIndicatorView> weak = act_;
    UIViewAnimation::animate(kMoveDuration, [weak, r = rt_] {
        if (auto a = weak.lock()) a->setFrame(r);
    });
}
