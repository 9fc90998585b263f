// The side-bar form of the application's root: the side menu ("LeftController", 220 points wide,
// depth style) on the left and the content switcher ("MainController") as the content. The
// storyboard decides whether the root is this or the plain root controller. The rotation
// questions are answered as the content answers them. Main thread only.
#pragma once

#include "app/shell/main_controller.h"
#include "app/sidebar/side_bar_controller.h"
#include "platform/ui/view/ui_remote_control.h"

class RootControllerBase : public SideBarController, public SideBarControllerDelegate, public RemoteControlResponder {
public:
    KORVA_MAKE(RootControllerBase)
    static constexpr const char* kStoryboardID = "RootControllerBase";
    static constexpr const char* kMenuID = "LeftController";
    static constexpr const char* kContentID = "MainController";
    static constexpr double kMenuWidth = 220;

    // Made from the storyboard on first use; none when the storyboard has none.
    std::shared_ptr<UIViewController> left();
    std::shared_ptr<MainController> main();
    bool statusBarHidden() const { return statusBarHidden_; }

    void awakeFromStoryboard() override;
    void viewDidLoad() override;
    bool prefersStatusBarHidden() const override { return statusBarHidden_; }
    bool shouldAutorotate() const override;
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    void remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>& event) override;

    void sideBarControllerWillShowMenuViewController(SideBarController& bar, UIViewController& menu) override;
    void sideBarControllerDidShowMenuViewController(SideBarController& bar, UIViewController& menu) override;
    void sideBarControllerWillHideMenuViewController(SideBarController& bar, UIViewController& menu) override;
    void sideBarControllerDidHideMenuViewController(SideBarController& bar, UIViewController& menu) override;

    std::string className() const override { return "RootControllerBase"; }

protected:
    RootControllerBase() = default;

private:
    // The content switcher's present screen, when it listens to the side bar.
    std::shared_ptr<SideBarControllerDelegate> listeningScreen() const;

    bool statusBarHidden_ = false;
    std::shared_ptr<UIViewController> left_;
    std::shared_ptr<MainController> main_;
};
