// A screen base that hears audio-session interruptions while it is on screen and hands them to
// two hooks. Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "app/base/my_view_controller.h"

class NSNotification;

class MyAVSessionController : public MyViewController {
public:
    KORVA_MAKE(MyAVSessionController)

    // The interruption types of the notification's type key.
    static constexpr std::uint64_t kInterruptionEnded = 0;
    static constexpr std::uint64_t kInterruptionBegan = 1;
    // Systems before this one give no reason with a beginning interruption.
    static constexpr float kReasonSystemVersion = 14.5f;

    bool handlingInterruption() const { return handlingInterruption_; }

    // Began: the interruption's reason (0 on older systems); ended: its options.
    void handleInterruption(const std::shared_ptr<NSNotification>& notification);
    virtual void myAVSessionInterruptionBegan(std::uint64_t /*reason*/) {}
    virtual void myAVSessionInterruptionEnd(std::uint64_t /*options*/) {}

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::string className() const override { return "MyAVSessionController"; }

protected:
    MyAVSessionController() = default;

private:
    void handleInterruption1();
    void handleInterruption0();

    bool handlingInterruption_ = false;
};
