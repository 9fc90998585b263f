// Owner resolution and the debounced relayout of pop-ups and HUDs.
#include "ui/popup/hud_base.h"

#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/controller/custom_containers.h"

HudBase::HudBase(std::shared_ptr<UIViewController> vc) : given_(std::move(vc)) {}

void HudBase::init() {
    auto c = std::move(given_);
    if (auto nav = std::dynamic_pointer_cast<UINavigationController>(c); nav && nav->topViewController())
        c = nav->topViewController();
    if (auto host = std::dynamic_pointer_cast<CustomContainerHost>(c))
        if (auto tab = host->myTabBarCustomController()) c = tab;
    while (c && c->parentViewController()) c = c->parentViewController();
    vc_ = c;
}

std::shared_ptr<UIView> HudBase::rootView() const {
    auto c = vc();
    return c ? c->view() : nullptr;
}

void HudBase::resetTimerLayout() {
    timerLayout_.reset();
}

void HudBase::restartTimerLayout() {
    timerLayout_.restart(kLayoutDelay, weakBind(self<HudBase>(), &HudBase::onTimerLayout));
}

void HudBase::onTimerLayout() {
    auto keep = self<HudBase>();
    resetTimerLayout();
    recalcLayout();
    applyLayout(true);
    scheduledInternalLayout();
}
