// The navigation controller wrapped around pushed and presented screens: a bar in the app
// background colour, later bars opaque, its own HUDs, and the status bar and rotation left to the
// top screen. Main thread only.
#pragma once

#include "app/base/selected_child_answers.h"
#include "platform/ui/controller/ui_navigation_controller.h"

class HudAct;
class HudView;

class MyNavigationController : public SelectedChildAnswers<UINavigationController> {
public:
    KORVA_MAKE(MyNavigationController)
    static std::shared_ptr<MyNavigationController> withRoot(const std::shared_ptr<UIViewController>& root);

    std::shared_ptr<UIViewController> selectedChild() const override { return topViewController(); }
    void viewDidLoad() override;

    // The controller's own HUDs, made on first use.
    const std::shared_ptr<HudView>& hudView();
    const std::shared_ptr<HudAct>& hudAct();

    std::string className() const override { return "MyNavigationController"; }

protected:
    MyNavigationController() = default;

private:
    std::shared_ptr<HudView> hudView_;
    std::shared_ptr<HudAct> hudAct_;
};
