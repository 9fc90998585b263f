// The web pop-up.
#include "app/web/pop_web_view.h"

#include "app/web/my_web_controller.h"
#include "foundation/numeric.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/draw/color.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

CGSize PopWebView::panelSize(CGSize owner) {
    // Single precision, as the screen's numbers are; each product rounded once.
    const float w = float(owner.width), h = float(owner.height);
    const float width =
        minFloat(clampFloat(float(minFloat(w, h) * kShortSideShare), kMinWidth, kMaxWidth), float(w * kScreenShare));
    return {width, minFloat(float(width * kHeightPerWidth), float(h * kScreenShare))};
}

void PopWebView::init() {
    PopVCView::init();
    container()->addSubview(body());
    addConstraintsFull(body(), container(), kBodyInset, kBodyInset, -kBodyInset, -kBodyInset);
    act_ = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::White);
    act_->setHidesWhenStopped(true);
    container()->addSubview(act_);
    addConstraintsCenter(act_, container(), 0, 0, kSpinnerSide, kSpinnerSide);
    act_->startAnimating();
    hideOnTapOutside();
    updateDarkMode();
}

std::shared_ptr<MyWebController> PopWebView::web() {
    if (!web_) {
        web_ = std::dynamic_pointer_cast<MyWebController>(storyboard(vc(), MyWebController::kStoryboardID));
        if (web_) {
            web_->setHostedInPopup(true);
            ignoreDarkMode(*web_);
        }
    }
    return web_;
}

void PopWebView::show(const std::shared_ptr<NSObject>& sender, const std::string& url, Callback completion) {
    auto screen = web();
    if (screen) {
        screen->setDelegate(std::dynamic_pointer_cast<MyWebControllerDelegate>(self<PopWebView>()));
        screen->setUrl(url);
        screen->updateData();
    }
    updateView();
    PopVCView::show(sender, screen, std::move(completion), nullptr);
}

void PopWebView::hide(Callback completion) {
    if (auto d = delegate()) d->onPopWebViewWillHide(*this);
    PopVCView::hide(std::move(completion));
}

void PopWebView::recalcLayout() {
    updateView();
    PopVCView::recalcLayout();
}

void PopWebView::updateView() {
    auto owner = vc();
    if (owner) setSize(panelSize(owner->view()->frame().size));
}

void PopWebView::updateDarkMode() {
    PopVCView::updateDarkMode();
    bg()->setBackgroundColor(UIColor::colorWithWhite(0, kDimAlpha));
    setBgColor(UIColor::whiteColor());
    assignRound(*body(), kPopupCornerRadius);
    body()->setBackgroundColor(UIColor::whiteColor());
    container()->setBackgroundColor(UIColor::whiteColor());
    act_->setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle::Gray);
    if (web_) web_->updateDarkMode();
}

void PopWebView::onMyWebControllerDone(MyWebController& screen) {
    if (auto d = delegate()) d->onMyWebControllerDone(screen);
}

void PopWebView::onMyWebControllerWillNavigate(MyWebController& screen, const NSURLRequest& request,
                                               WKNavigationType type) {
    if (auto d = delegate()) d->onMyWebControllerWillNavigate(screen, request, type);
}

void PopWebView::onMyWebControllerDidStartLoad(MyWebController& screen, const std::string& url) {
    act_->startAnimating();
    if (auto d = delegate()) d->onMyWebControllerDidStartLoad(screen, url);
}

void PopWebView::onMyWebControllerDidFinishLoad(MyWebController& screen, const std::string& url) {
    act_->stopAnimating();
    if (auto d = delegate()) d->onMyWebControllerDidFinishLoad(screen, url);
}

void PopWebView::onMyWebControllerDidFailLoad(MyWebController& screen, const std::string& reason) {
    act_->stopAnimating();
    if (auto d = delegate()) d->onMyWebControllerDidFailLoad(screen, reason);
}
