// A screen base for screens that play audio in the background: while on screen it takes the
// remote-control events (lock screen and headset buttons), lets go of them when the application
// becomes active again and takes them back a second later. Off unless a screen switches it on.
// Main thread only.
//
// This host has no controller-level focus, so the controller keeps its own first-responder state;
// remote-control events sent to it reach remoteControlReceivedWithEvent.
#pragma once

#include <memory>

#include "app/base/my_av_session_controller.h"
#include "platform/dispatch/timer_slots.h"
#include "platform/ui/view/ui_remote_control.h"

class MyBGAudioController : public MyAVSessionController, public RemoteControlResponder {
public:
    KORVA_MAKE(MyBGAudioController)

    // How long after becoming active the events are taken back.
    static constexpr double kReactivateDelay = 1.0;

    virtual bool isBGAudioEnabled() const { return false; }

    bool isRemoteControlActive() const { return isRemoteControlActive_; }
    // The application resigned active or is terminating and has not become active since.
    bool terminated() const { return terminated_; }

    void remoteControlActive();
    void remoteControlDeactive();
    // Clears what the now-playing centre shows.
    void removePlaying();

    void onDidBecomeActive_bgAudio(const std::shared_ptr<NSNotification>& notification);
    void onTerminate_bgAudio(const std::shared_ptr<NSNotification>& notification);

    // Hooks for screens.
    virtual void onDidBecomeActive(const std::shared_ptr<NSNotification>& /*notification*/) {}
    virtual void onTerminate(const std::shared_ptr<NSNotification>& /*notification*/) {}
    virtual void updatePlaying() {}
    void remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>& /*event*/) override {}

    bool canBecomeFirstResponder() const override { return true; }
    bool isFirstResponder() const override { return firstResponder_; }

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::string className() const override { return "MyBGAudioController"; }

protected:
    MyBGAudioController() = default;

private:
    void viewWillAppear_bgAudio();
    void viewDidAppear_bgAudio();
    void viewWillDisappear_bgAudio();
    void addObserver_bgAudio();
    void removeObserver_bgAudio();

    bool isRemoteControlActive_ = false;
    bool terminated_ = false;
    bool firstResponder_ = false;
    OneShotTimer reactivate_;
};
