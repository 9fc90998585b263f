// BackTask: holds at most one grant of background execution time. Main-thread only.
#pragma once

#include <memory>

#include "foundation/system_services.h"
#include "platform/runtime/object.h"

class BackTask : public NSObject {
public:
    KORVA_MAKE(BackTask)
    ~BackTask() override;

    // Begins a grant at once.
    void init() override;

    // Begins a new grant, ending the one still held first so that no grant is left running.
    void start();
    // Ends the grant held, if any.
    void stop();
    bool isHolding() const { return bgTask_ != UIBackgroundTaskInvalid; }
    UIBackgroundTaskIdentifier bgTask() const { return bgTask_; }
    // Seconds of background time left.
    double getRemainSec() const;

    std::string className() const override { return "BackTask"; }

protected:
    BackTask() = default;

private:
    UIBackgroundTaskIdentifier bgTask_ = UIBackgroundTaskInvalid;
    std::weak_ptr<SystemServices> services_;  // the services that gave the grant
};
