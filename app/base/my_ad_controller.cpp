// The ad layer: appearance flag and the (unstarted) ad timers.
#include "app/base/my_ad_controller.h"

#include "foundation/date_stamps.h"
#include "foundation/global.h"
#include "platform/dispatch/clock.h"

void MyAdController::viewWillAppear(bool animated) {
    MyBaseController::viewWillAppear(animated);
    Global::shared()->setIsAdPresenting(false);
}

void MyAdController::viewDidAppear(bool animated) {
    MyBaseController::viewDidAppear(animated);
    appearing_ = true;
}

void MyAdController::viewWillDisappear(bool animated) {
    MyBaseController::viewWillDisappear(animated);
    appearing_ = false;
    resetTimerDelayedAd();
    resetTimerTraceBlocked();
    resetTimerAdPresenting();
}

void MyAdController::restartTimerDelayedAd() {
    timerDelayedAd_.restart(kDelayedAdInterval, [this] { processAd(); });
}

void MyAdController::restartTimerTraceBlocked() {
    timerTraceBlocked_.restart(kTraceBlockedInterval, [this] { onAdDetectedBlocked(); });
}

void MyAdController::restartTimerAdPresenting() {
    timerAdPresenting_.restart(kAdPresentingInterval, [] {
        auto global = Global::shared();
        global->date()->setAd(Clock::absoluteTime());
        global->setIsAdPresenting(false);
    });
}
