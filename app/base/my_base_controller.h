// The first link of every screen's controller chain: turns text-size, rotation and appearance
// events into the hooks screens override. Rotation and text-size changes are debounced. Main
// thread only.
#pragma once

#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/timer_slots.h"
#include "platform/ui/controller/ui_view_controller.h"

class MyBaseController : public UIViewController {
public:
    KORVA_MAKE(MyBaseController)

    static constexpr double kUpdateViewDelay = 1.0;
    static constexpr double kRotateDelay = 0.1;

    // Hooks; overrides call the base first.
    // At once when the system text size changes, after the font catalogue was dropped.
    virtual void updateFontSize() {}
    // A second after the last text-size change.
    virtual void updateView() {}
    // When the colour appearance changes.
    virtual void updateDarkMode() {}
    // A tenth of a second after the last rotation or size transition.
    virtual void didRotateOrResizeInterface() {}

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void traitCollectionDidChange(const UITraitCollection& previous) override;
    void viewWillTransitionToSize(CGSize size) override;
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation from) override;

    void onFontStyleChanged(const std::shared_ptr<NSNotification>& notification);
    void restartTimer_base_UpdateView();
    void resetTimer_base_UpdateView() { timerUpdateView_.reset(); }
    void restartTimer_base_Rotate();
    void resetTimer_base_Rotate() { timerRotate_.reset(); }

    std::string className() const override { return "MyBaseController"; }

protected:
    MyBaseController() = default;

private:
    OneShotTimer timerUpdateView_;
    OneShotTimer timerRotate_;
};
