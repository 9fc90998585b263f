// Remote-control events and the application's activity for background-audio screens.
#include "app/base/my_bg_audio_controller.h"

#include "platform/dispatch/notification_center.h"
#include "platform/media/mp_now_playing_info_center.h"
#include "platform/sensors/av_audio_session.h"
#include "platform/ui/app/ui_application.h"

void MyBGAudioController::viewWillAppear(bool animated) {
    MyAVSessionController::viewWillAppear(animated);
    if (isBGAudioEnabled()) viewWillAppear_bgAudio();
}

void MyBGAudioController::viewDidAppear(bool animated) {
    MyAVSessionController::viewDidAppear(animated);
    if (isBGAudioEnabled()) viewDidAppear_bgAudio();
}

void MyBGAudioController::viewWillDisappear(bool animated) {
    MyAVSessionController::viewWillDisappear(animated);
    if (isBGAudioEnabled()) viewWillDisappear_bgAudio();
}

void MyBGAudioController::viewWillAppear_bgAudio() {
    addObserver_bgAudio();
}

void MyBGAudioController::viewDidAppear_bgAudio() {
    remoteControlActive();
}

void MyBGAudioController::viewWillDisappear_bgAudio() {
    removeObserver_bgAudio();
    // A take-back still waiting would grab the events for a screen that has gone.
    reactivate_.reset();
    remoteControlDeactive();
}

void MyBGAudioController::addObserver_bgAudio() {
    auto center = NSNotificationCenter::defaultCenter();
    auto me = self<MyBGAudioController>();
    removeObserver_bgAudio();  // appearing twice observes once
    center->addObserver(me, &MyBGAudioController::onDidBecomeActive_bgAudio, UIApplicationDidBecomeActiveNotification);
    center->addObserver(me, &MyBGAudioController::onTerminate_bgAudio, UIApplicationWillResignActiveNotification);
    center->addObserver(me, &MyBGAudioController::onTerminate_bgAudio, UIApplicationWillTerminateNotification);
}

void MyBGAudioController::removeObserver_bgAudio() {
    auto center = NSNotificationCenter::defaultCenter();
    auto me = self<MyBGAudioController>();
    for (const char* name : {UIApplicationDidBecomeActiveNotification, UIApplicationWillEnterForegroundNotification,
                             UIApplicationWillResignActiveNotification, UIApplicationWillTerminateNotification}) {
        center->removeObserver(me, name);
    }
}

void MyBGAudioController::remoteControlActive() {
    if (isRemoteControlActive_) return;
    firstResponder_ = true;
    RemoteControlEvents::begin();
    isRemoteControlActive_ = true;
}

void MyBGAudioController::remoteControlDeactive() {
    if (!isRemoteControlActive_) return;
    isRemoteControlActive_ = false;
    firstResponder_ = false;
    RemoteControlEvents::end();
}

void MyBGAudioController::removePlaying() {
    MPNowPlayingInfoCenter::defaultCenter()->setNowPlayingInfo({});
}

void MyBGAudioController::onDidBecomeActive_bgAudio(const std::shared_ptr<NSNotification>& notification) {
    terminated_ = false;
    remoteControlDeactive();
    onDidBecomeActive(notification);
    reactivate_.restart(kReactivateDelay,
                        weakBind(self<MyBGAudioController>(), &MyBGAudioController::remoteControlActive));
}

void MyBGAudioController::onTerminate_bgAudio(const std::shared_ptr<NSNotification>& notification) {
    terminated_ = true;
    onTerminate(notification);
}
