// The navigation controller wrapped around pushed and presented screens: an opaque bar in the app
// background colour, and the status bar and rotation left to the top screen. Main thread only.
#pragma once

#include "app/base/selected_child_answers.h"
#include "platform/ui/controller/ui_navigation_controller.h"

class MyNavigationController : public SelectedChildAnswers<UINavigationController> {
public:
    KORVA_MAKE(MyNavigationController)
    static std::shared_ptr<MyNavigationController> withRoot(const std::shared_ptr<UIViewController>& root);

    std::shared_ptr<UIViewController> selectedChild() const override { return topViewController(); }
    void viewDidLoad() override;

    std::string className() const override { return "MyNavigationController"; }

protected:
    MyNavigationController() = default;
};
