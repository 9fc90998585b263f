// Application state for collection screens.
#include "app/base/collection_base_controller.h"

#include <utility>

#include "platform/dispatch/notification_center.h"
#include "platform/ui/app/ui_application.h"

namespace {
// Each observed notification with what it becomes.
enum class AppEvent { Activate, Deactivate, None };
const std::pair<const char*, AppEvent> kObserved[] = {
    {UIApplicationDidEnterBackgroundNotification, AppEvent::Deactivate},
    {UIApplicationWillEnterForegroundNotification, AppEvent::Activate},
    {UIApplicationDidFinishLaunchingNotification, AppEvent::None},
    {UIApplicationDidBecomeActiveNotification, AppEvent::Activate},
    {UIApplicationWillResignActiveNotification, AppEvent::Deactivate},
    {UIApplicationDidReceiveMemoryWarningNotification, AppEvent::None},
    {UIApplicationWillTerminateNotification, AppEvent::None},
    {UIApplicationSignificantTimeChangeNotification, AppEvent::None},
};
}  // namespace

void CollectionBaseController::appAddObservers() {
    if (observingApp_) return;
    auto center = NSNotificationCenter::defaultCenter();
    auto me = self<CollectionBaseController>();
    for (const auto& [name, event] : kObserved) {
        switch (event) {
            case AppEvent::Activate:
                center->addObserver(me, &CollectionBaseController::onActivateNotification, name);
                break;
            case AppEvent::Deactivate:
                center->addObserver(me, &CollectionBaseController::onDeactivateNotification, name);
                break;
            case AppEvent::None: center->addObserver(me, &CollectionBaseController::onOtherNotification, name); break;
        }
    }
    observingApp_ = true;
}

void CollectionBaseController::appRemoveObservers() {
    if (!observingApp_) return;
    auto center = NSNotificationCenter::defaultCenter();
    for (const auto& entry : kObserved) center->removeObserver(self<CollectionBaseController>(), entry.first);
    observingApp_ = false;
}

std::shared_ptr<ScrollHandler> CollectionBaseController::scrollHandler() {
    if (!scrollHandler_) {
        scrollHandler_ = ScrollHandler::make();
        scrollHandler_->setDelegate(std::static_pointer_cast<ScrollHandlerDelegate>(self<CollectionBaseController>()));
    }
    return scrollHandler_;
}

std::shared_ptr<AutoScroll> CollectionBaseController::autoScroll() {
    if (!autoScroll_) autoScroll_ = AutoScroll::make();
    return autoScroll_;
}

void CollectionBaseController::viewWillAppear(bool animated) {
    PortraitController::viewWillAppear(animated);
    appAddObservers();
}

void CollectionBaseController::viewWillDisappear(bool animated) {
    PortraitController::viewWillDisappear(animated);
    appRemoveObservers();
}
