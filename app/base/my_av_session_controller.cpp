// The interruption observer of the shared audio session.
#include "app/base/my_av_session_controller.h"

#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/system_services.h"
#include "platform/dispatch/notification_center.h"
#include "platform/sensors/av_audio_session.h"

namespace {

constexpr const char* kPhoneSystem = "iOS";

// Whether a beginning interruption carries its reason. This host's platform layer always gives
// it; only a device that reports the phone system before the version that added it goes without.
bool interruptionsCarryReason() {
    if (SystemServices::shared()->systemName() != kPhoneSystem) return true;
    return Global::shared()->device()->osVersion() >= MyAVSessionController::kReasonSystemVersion;
}

}  // namespace

void MyAVSessionController::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    handleInterruption1();
}

void MyAVSessionController::viewWillDisappear(bool animated) {
    MyViewController::viewWillDisappear(animated);
    handleInterruption0();
}

void MyAVSessionController::handleInterruption1() {
    if (handlingInterruption_) return;
    NSNotificationCenter::defaultCenter()->addObserver(
        self<MyAVSessionController>(), &MyAVSessionController::handleInterruption,
        AVAudioSessionInterruptionNotification, AVAudioSession::sharedInstance());
    handlingInterruption_ = true;
}

void MyAVSessionController::handleInterruption0() {
    if (!handlingInterruption_) return;
    NSNotificationCenter::defaultCenter()->removeObserver(
        self<MyAVSessionController>(), AVAudioSessionInterruptionNotification, AVAudioSession::sharedInstance());
    handlingInterruption_ = false;
}

void MyAVSessionController::handleInterruption(const std::shared_ptr<NSNotification>& notification) {
    const Value& info = notification->userInfo();
    const auto type = info[AVAudioSessionInterruptionTypeKey].unsignedIntegerValue();
    if (type == kInterruptionEnded) {
        myAVSessionInterruptionEnd(info[AVAudioSessionInterruptionOptionKey].unsignedIntegerValue());
    } else if (type == kInterruptionBegan) {
        myAVSessionInterruptionBegan(
            interruptionsCarryReason() ? info[AVAudioSessionInterruptionReasonKey].unsignedIntegerValue() : 0);
    }
}
