// The app's navigation controller.
#include "app/base/my_navigation_controller.h"

#include "foundation/global.h"
#include "platform/ui/bar/ui_navigation_bar_appearances.h"
#include "ui/theme/color.h"

std::shared_ptr<MyNavigationController> MyNavigationController::withRoot(const std::shared_ptr<UIViewController>& root) {
    auto nav = make();
    if (root) nav->setViewControllers({root}, false);
    return nav;
}

void MyNavigationController::viewDidLoad() {
    SelectedChildAnswers<UINavigationController>::viewDidLoad();
    setAutomaticallyAdjustsScrollViewInsets(false);
    auto background = Global::shared()->color()->backgroundDefault();
    navigationBar()->setBarTintColor(background);
    // Every navigation bar made from now on is opaque in all three looks.
    UINavigationBarAppearance opaque;
    opaque.opaque = true;
    opaque.backgroundColor = background;
    UINavigationBar::setDefaultAppearance(opaque);
    UINavigationBarAppearances::compact() = opaque;
    UINavigationBarAppearances::scrollEdge() = opaque;
}
