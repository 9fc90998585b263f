// The content switcher's base: shows one screen at a time as its only child, answers the
// rotation questions with that screen's answers, and asks the promotion pop-up 5 s after loading
// and 5 s after every activation whether it has something to show. Main thread only.
#pragma once

#include <memory>

#include "app/base/my_view_controller.h"

class PopNewAppView;

class MainControllerBase : public MyViewController {
public:
    KORVA_MAKE(MainControllerBase)

    static constexpr double kNewAppDelay = 5.0;

    // Shows the controller (sliding it in when another was shown) and returns it; a navigation
    // controller is popped to its root.
    std::shared_ptr<UIViewController> setVC(const std::shared_ptr<UIViewController>& controller);
    std::shared_ptr<UIViewController> vc() const { return vc_; }
    // The promotion pop-up, made when the view loads.
    const std::shared_ptr<PopNewAppView>& popNewApp() const { return popNewApp_; }

    void resetTimerNewApp() { timerNewApp_.reset(); }
    void restartTimerNewApp();
    bool isTimerNewAppPending() const { return timerNewApp_.pending(); }
    void onTimerNewApp();

    bool observingApp() const { return observingApp_; }
    void addObserverApp();
    void removeObserverApp();
    void onActivate(const std::shared_ptr<NSNotification>&) { restartTimerNewApp(); }
    void onTerminate(const std::shared_ptr<NSNotification>&) {}

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void updateDarkMode() override;
    void didRotateOrResizeInterface() override;
    bool isGradationEnabled() const override { return false; }

    bool shouldAutorotate() const override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const override;

    std::string className() const override { return "MainControllerBase"; }

protected:
    MainControllerBase() = default;
    // Asks the promotion pop-up whether it is due and shows it over this view when it is.
    virtual void testNewApp();
    virtual void makeNewApp();
    virtual void hideNewApp();

private:
    bool observingApp_ = false;
    std::shared_ptr<UIViewController> vc_;
    std::shared_ptr<PopNewAppView> popNewApp_;
    OneShotTimer timerNewApp_;
};
