// The ad layer of the controller chain. Ads are off: the hooks are empty and nothing starts the
// timers; they stay as the offer to screens that would show ads. Main thread only.
#pragma once

#include <memory>

#include "app/base/my_base_controller.h"

class MyAdController : public MyBaseController {
public:
    KORVA_MAKE(MyAdController)

    static constexpr double kDelayedAdInterval = 2.0;
    static constexpr double kTraceBlockedInterval = 60.0;
    static constexpr double kAdPresentingInterval = 2.0;

    virtual bool isAdEnabled() const { return false; }
    virtual void restartAd() {}
    virtual void presentAd() {}
    virtual void onAdDismissed() {}
    virtual void requestIDFA() {}
    virtual void onAdDetectedBlocked() {}
    virtual std::shared_ptr<NSObject> loadBanner(bool /*visible*/) { return nullptr; }
    void processAd() {
        if (isAdEnabled()) restartAd();
    }

    bool appearing() const { return appearing_; }

    void restartTimerDelayedAd();
    void resetTimerDelayedAd() { timerDelayedAd_.reset(); }
    void restartTimerTraceBlocked();
    void resetTimerTraceBlocked() { timerTraceBlocked_.reset(); }
    void restartTimerAdPresenting();
    void resetTimerAdPresenting() { timerAdPresenting_.reset(); }

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::string className() const override { return "MyAdController"; }

protected:
    MyAdController() = default;

private:
    bool appearing_ = false;
    OneShotTimer timerDelayedAd_;
    OneShotTimer timerTraceBlocked_;
    OneShotTimer timerAdPresenting_;
};
