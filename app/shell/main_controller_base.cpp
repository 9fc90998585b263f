// The content switcher's base.
#include "app/shell/main_controller_base.h"

#include "app/promo/pop_new_app_view.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/controller/view_controller_transition.h"

namespace {
const char* const kObservedNames[] = {
    UIApplicationDidBecomeActiveNotification, UIApplicationWillEnterForegroundNotification,
    UIApplicationWillResignActiveNotification, UIApplicationWillTerminateNotification};
}  // namespace

std::shared_ptr<UIViewController> MainControllerBase::setVC(const std::shared_ptr<UIViewController>& controller) {
    if (!controller) return vc_;
    auto own = view();
    if (childViewControllers().empty() || childViewControllers().front() != controller) {
        auto child = controller->view();
        child->setFrame(own->bounds());
        child->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    }
    transition(self<UIViewController>(), controller, false);
    vc_ = controller;
    // A shown navigation controller starts at its root; each pop takes one controller off.
    if (auto nav = std::dynamic_pointer_cast<UINavigationController>(vc_)) {
        for (std::size_t n = nav->viewControllers().size(); n >= 2; --n) pop(nav->viewControllers().back(), false);
    }
    return vc_;
}

void MainControllerBase::restartTimerNewApp() {
    std::weak_ptr<MainControllerBase> weak = self<MainControllerBase>();
    timerNewApp_.restart(kNewAppDelay, [weak] {
        if (auto strong = weak.lock()) strong->onTimerNewApp();
    });
}

void MainControllerBase::onTimerNewApp() {
    resetTimerNewApp();
    testNewApp();
}

void MainControllerBase::addObserverApp() {
    if (observingApp_) return;
    auto center = NSNotificationCenter::defaultCenter();
    auto me = self<MainControllerBase>();
    center->addObserver(me, &MainControllerBase::onActivate, UIApplicationDidBecomeActiveNotification);
    for (const char* name : {UIApplicationWillEnterForegroundNotification, UIApplicationWillResignActiveNotification,
                             UIApplicationWillTerminateNotification})
        center->addObserver(me, &MainControllerBase::onTerminate, name);
    observingApp_ = true;
}

void MainControllerBase::removeObserverApp() {
    if (!observingApp_) return;
    auto center = NSNotificationCenter::defaultCenter();
    for (const char* name : kObservedNames) center->removeObserver(self<MainControllerBase>(), name);
    observingApp_ = false;
}

void MainControllerBase::viewDidLoad() {
    MyViewController::viewDidLoad();
    makeNewApp();
    restartTimerNewApp();
}

void MainControllerBase::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    addObserverApp();
}

void MainControllerBase::viewWillDisappear(bool animated) {
    MyViewController::viewWillDisappear(animated);
    hideNewApp();
    removeObserverApp();
}

void MainControllerBase::updateDarkMode() {
    MyViewController::updateDarkMode();
    if (popNewApp_) popNewApp_->updateDarkMode();
}

void MainControllerBase::didRotateOrResizeInterface() {
    MyViewController::didRotateOrResizeInterface();
    if (popNewApp_) popNewApp_->scheduledLayout();
}

bool MainControllerBase::shouldAutorotate() const {
    return vc_ ? vc_->shouldAutorotate() : true;
}

bool MainControllerBase::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const {
    return vc_ ? vc_->shouldAutorotateToInterfaceOrientation(orientation)
               : MyViewController::shouldAutorotateToInterfaceOrientation(orientation);
}

UIInterfaceOrientationMask MainControllerBase::supportedInterfaceOrientations() const {
    return vc_ ? vc_->supportedInterfaceOrientations() : MyViewController::supportedInterfaceOrientations();
}

void MainControllerBase::testNewApp() {
    if (!popNewApp_) return;
    std::weak_ptr<MainControllerBase> weak = self<MainControllerBase>();
    popNewApp_->testAvailable([weak](bool available) {
        auto strong = weak.lock();
        if (strong && available && strong->popNewApp_) strong->popNewApp_->show(strong->view());
    });
}

void MainControllerBase::makeNewApp() {
    popNewApp_ = PopNewAppView::make(self<UIViewController>());
}

void MainControllerBase::hideNewApp() {
    if (popNewApp_ && !popNewApp_->hidden()) popNewApp_->hide([] {});
}
