// Haptic and vibration services over the device's recorded feedback.
#include "foundation/haptic.h"

#include "foundation/system_services.h"
#include "platform/dispatch/timer.h"

Haptic::~Haptic() {
    resetTimer();
}

void Haptic::prepareOnce(int generator) {
    // A generator is made on first use and prepared at once.
    if (prepared_[generator]) return;
    prepared_[generator] = true;
    SystemServices::shared()->prepareFeedback(static_cast<FeedbackKind>(generator));
}

void Haptic::tick_level0() {
    prepareOnce(0);
    SystemServices::shared()->playFeedback(FeedbackKind::Impact);
    SystemServices::shared()->prepareFeedback(FeedbackKind::Impact);
}

void Haptic::tick_level1() {
    prepareOnce(1);
    SystemServices::shared()->playFeedback(FeedbackKind::Selection);
    SystemServices::shared()->prepareFeedback(FeedbackKind::Selection);
}

void Haptic::tick_level2() {
    prepareOnce(2);
    SystemServices::shared()->playFeedback(FeedbackKind::NotificationSuccess);
    SystemServices::shared()->prepareFeedback(FeedbackKind::NotificationSuccess);
}

void Haptic::start(std::int64_t level) {
    level_ = level;
    restartTimer();
}

void Haptic::restartTimer() {
    resetTimer();
    std::weak_ptr<Haptic> weakSelf = self<Haptic>();
    timer_ = NSTimer::scheduledTimer(kInterval, true, [weakSelf](const std::shared_ptr<NSTimer>& timer) {
        if (auto strong = weakSelf.lock()) {
            strong->onTimer();
        } else {
            timer->invalidate();
        }
    });
}

void Haptic::resetTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void Haptic::onTimer() {
    switch (level_) {
        case 0: tick_level0(); break;
        case 1: tick_level1(); break;
        case 2: tick_level2(); break;
        default: break;
    }
}

Vibration::~Vibration() {
    stop();
}

void Vibration::start() {
    stop();
    std::weak_ptr<Vibration> weakSelf = self<Vibration>();
    timer_ = NSTimer::scheduledTimer(Haptic::kInterval, true, [weakSelf](const std::shared_ptr<NSTimer>& timer) {
        if (auto strong = weakSelf.lock()) {
            strong->tick();
        } else {
            timer->invalidate();
        }
    });
}

void Vibration::stop() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void Vibration::tick() {
    SystemServices::shared()->playSystemSound(kVibrateSound);
}
