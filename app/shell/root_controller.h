// The window's root: sets the app-wide appearance defaults and embeds the content switcher, which
// shows the camera screen. Main thread only.
#pragma once

#include "app/shell/main_controller.h"
#include "platform/ui/view/ui_remote_control.h"

inline constexpr const char* kRemoteControlReceivedNotification = "remoteControlReceivedWithEvent";

class RootController : public UIViewController, public RemoteControlResponder {
public:
    KORVA_MAKE(RootController)

    // The switcher, made from the storyboard on first access.
    std::shared_ptr<MainController> main();

    // The application's appearance defaults, set when the root's view loads: every view laid out
    // left to right and bar buttons in the palette's bar-button colour. Screens drawn outside the
    // running program (the gallery) install them to look as they do in it.
    static void installAppearance();

    void viewDidLoad() override;
    bool shouldAutorotate() const override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const override;
    UIInterfaceOrientation preferredInterfaceOrientationForPresentation() const override;
    void remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>& event) override;

    std::string className() const override { return "RootController"; }

protected:
    RootController() = default;

private:
    std::shared_ptr<MainController> main_;
};
