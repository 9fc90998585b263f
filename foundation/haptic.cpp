// Haptic and vibration services over the device's recorded feedback.
#include "foundation/haptic.h"

#include "foundation/system_services.h"
#include "platform/runtime/weak_bind.h"

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
    timer_.restart(kInterval, weakBind(self<Haptic>(), &Haptic::onTimer));
}

void Haptic::onTimer() {
    switch (level_) {
        case 0: tick_level0(); break;
        case 1: tick_level1(); break;
        case 2: tick_level2(); break;
        default: break;
    }
}

void Vibration::start() {
    timer_.restart(Haptic::kInterval, weakBind(self<Vibration>(), &Vibration::tick));
}

void Vibration::tick() {
    SystemServices::shared()->playSystemSound(kVibrateSound);
}
