// The volume layer of the controller chain: watches the output volume while visible, only for a
// screen that switches it on. Main thread only.
#pragma once

#include "app/base/my_ad_controller.h"

class MyVolumeController : public MyAdController {
public:
    KORVA_MAKE(MyVolumeController)

    virtual bool isMyVolumeEnabled() const { return false; }
    virtual void onMyVolumeChanged() {}

    bool observingAudioSession() const { return observingAudioSession_; }
    void addObserverVolume();
    void removeObserverVolume();

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::string className() const override { return "MyVolumeController"; }

protected:
    MyVolumeController() = default;

private:
    bool observingAudioSession_ = false;
    std::shared_ptr<NSObject> volumeToken_;
};
