// The screen base: overlays, deferred navigation items, gradient background and the fly-in.
#include "app/base/my_view_controller.h"

#include <algorithm>

#include "foundation/global.h"
#include "platform/dispatch/main_queue_marker.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_hierarchy.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/hud_view.h"
#include "ui/popup/pop_confirm_view.h"
#include "ui/popup/pop_message_view.h"
#include "ui/popup/pop_text_view.h"
#include "ui/theme/color.h"

namespace {
constexpr CGFloat kFlyInRed = 202.0 / 255, kFlyInGreen = 8.0 / 255, kFlyInBlue = 8.0 / 255;
constexpr CGFloat kFlyInAlpha = 0.9;
constexpr CGFloat kFlyInDistanceShare = 0.1;
}  // namespace

bool MyViewController::isCalledFromDispatch() {
    return dispatch_in_main_queue_block();
}

void MyViewController::setNavRight(const BarItems& items) {
    if (isCalledFromDispatch() && !didAppeared_) {
        arrNavRight_ = items;
        return;
    }
    ::setNavRight(self<UIViewController>(), items);
    arrNavRight_.clear();
}

void MyViewController::setNavView(const std::shared_ptr<UIView>& view) {
    if (isCalledFromDispatch() && !didAppeared_) {
        tempNavView_ = view;
        return;
    }
    ::setNavView(self<UIViewController>(), view);
    tempNavView_.reset();
}

void MyViewController::viewDidLoad() {
    MyTutorialController::viewDidLoad();
    setAutomaticallyAdjustsScrollViewInsets(false);
    if (isGradationEnabled()) buildGradient();
}

void MyViewController::viewDidAppear(bool animated) {
    MyTutorialController::viewDidAppear(animated);
    didAppeared_ = true;
    if (!arrNavRight_.empty()) {
        ::setNavRight(self<UIViewController>(), arrNavRight_);
        arrNavRight_.clear();
    }
    if (auto navView = tempNavView_.lock()) {
        ::setNavView(self<UIViewController>(), navView);
        navView->setAlpha(0);
        std::weak_ptr<MyViewController> weak = self<MyViewController>();
        UIViewAnimation::animate(
            kNavViewFadeDuration, [navView] { navView->setAlpha(1); },
            [weak](bool) {
                if (auto strong = weak.lock()) strong->tempNavView_.reset();
            });
    }
}

void MyViewController::viewWillDisappear(bool animated) {
    MyTutorialController::viewWillDisappear(animated);
    didAppeared_ = false;
    for (const auto& popup : madePopups())
        if (!popup->hidden()) popup->hide([] {});
    hidePopWeb();
}

void MyViewController::viewWillLayoutSubviews() {
    MyTutorialController::viewWillLayoutSubviews();
    updateGradient();
}

void MyViewController::viewDidLayoutSubviews() {
    MyTutorialController::viewDidLayoutSubviews();
    updateGradient();
}

void MyViewController::updateDarkMode() {
    MyTutorialController::updateDarkMode();
    for (const auto& overlay : madeOverlays()) overlay->updateDarkMode();
    popWebDarkMode();
}

void MyViewController::didRotateOrResizeInterface() {
    MyTutorialController::didRotateOrResizeInterface();
    for (const auto& overlay : madeOverlays()) overlay->scheduledLayout();
    popWebRotated();
}

const std::shared_ptr<HudView>& MyViewController::hudView() {
    if (!hudView_) hudView_ = HudView::make(self<UIViewController>());
    return hudView_;
}

const std::shared_ptr<HudAct>& MyViewController::hudAct() {
    if (!hudAct_) hudAct_ = HudAct::make(self<UIViewController>());
    return hudAct_;
}

const std::shared_ptr<PopTextView>& MyViewController::tip() {
    if (!tip_) {
        tip_ = PopTextView::make(self<UIViewController>());
        tip_->setBgColor(Global::shared()->color()->tip());
    }
    return tip_;
}

const std::shared_ptr<PopMessageView>& MyViewController::message() {
    if (!message_) message_ = PopMessageView::make(self<UIViewController>());
    return message_;
}

const std::shared_ptr<PopConfirmView>& MyViewController::confirm() {
    if (!confirm_) confirm_ = PopConfirmView::make(self<UIViewController>());
    return confirm_;
}

void MyViewController::hideTip() {
    tip()->hide([] {});
}

std::vector<std::shared_ptr<HudBase>> MyViewController::madeOverlays() const {
    std::vector<std::shared_ptr<HudBase>> made;
    for (std::shared_ptr<HudBase> overlay :
         std::initializer_list<std::shared_ptr<HudBase>>{hudAct_, tip_, message_, confirm_})
        if (overlay) made.push_back(std::move(overlay));
    return made;
}

std::vector<std::shared_ptr<PopView>> MyViewController::madePopups() const {
    std::vector<std::shared_ptr<PopView>> made;
    for (std::shared_ptr<PopView> popup : std::initializer_list<std::shared_ptr<PopView>>{message_, tip_, confirm_})
        if (popup) made.push_back(std::move(popup));
    return made;
}

void MyViewController::buildGradient() {
    if (gradientView_) gradientView_->removeFromSuperview();
    auto color = Global::shared()->color();
    auto own = view();
    gradientView_ = UIView::make();
    gradientView_->setBackgroundColor(color->backgroundDefault());
    own->addSubview(gradientView_);
    addConstraintsFull(gradientView_, own, 0, 0, 0, 0);
    own->sendSubviewToBack(gradientView_);
    gradientLayer_ = CAGradientLayer::make();
    gradientLayer_->setFrame(own->bounds());
    gradientLayer_->setColors({color->theme0()->cgColor(), color->theme1()->cgColor()});
    gradientView_->layer()->insertSublayerAtIndex(gradientLayer_, 0);
}

void MyViewController::updateGradient() {
    if (!gradientLayer_ || !gradientView_) return;
    CGRect bounds = gradientView_->bounds();
    CGFloat side = std::max(bounds.size.height, bounds.size.width);
    gradientLayer_->setFrame(CGRectMake(0, 0, side, side));
}

void MyViewController::anim_AddItem(const std::shared_ptr<NSObject>& sender, const std::shared_ptr<UIImage>& image) {
    auto nav = navigationController();
    if (!nav) return;
    auto senderView = trackSender(sender, self<UIViewController>());
    if (!senderView) return;
    auto navView = nav->view();
    CGRect frame = senderView->convertRectToView(senderView->bounds(), navView);
    CGFloat cx = CGRectGetMidX(frame), cy = CGRectGetMidY(frame);
    CGFloat distance = std::max(kFlyInMinDistance, kFlyInDistanceShare * view()->bounds().size.height);

    auto flyer = UIImageView::make(image);
    assignRound(*flyer, kFlyInSize / 2);
    flyer->setBackgroundColor(UIColor::colorWithRed(kFlyInRed, kFlyInGreen, kFlyInBlue, 1));
    flyer->setFrame(CGRectMake(cx - kFlyInSize / 2, cy - kFlyInSize / 2, kFlyInSize, kFlyInSize));
    flyer->setContentMode(UIViewContentMode::Center);
    flyer->setAlpha(kFlyInAlpha);
    bool aboveMiddle = cy < CGRectGetMidY(navView->bounds());
    flyer->setTransform(CGAffineTransformMakeTranslation(0, aboveMiddle ? distance : -distance));
    navView->addSubview(flyer);
    navView->bringSubviewToFront(flyer);
    UIViewAnimation::animate(
        kFlyInDuration, kFlyInDelay, UIViewAnimationOptions{},
        [flyer] {
            flyer->setTransform(CGAffineTransformIdentity);
            flyer->setAlpha(0);
        },
        [flyer](bool) { flyer->removeFromSuperview(); });
}
