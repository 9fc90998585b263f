// The app's navigation controller.
#include "app/base/my_navigation_controller.h"

#include "foundation/global.h"
#include "platform/ui/bar/ui_navigation_bar_appearances.h"
#include "ui/popup/hud_view.h"
#include "ui/theme/color.h"

std::shared_ptr<MyNavigationController> MyNavigationController::withRoot(
    const std::shared_ptr<UIViewController>& root) {
    auto nav = make();
    if (root) nav->setViewControllers({root}, false);
    return nav;
}

void MyNavigationController::viewDidLoad() {
    SelectedChildAnswers<UINavigationController>::viewDidLoad();
    setAutomaticallyAdjustsScrollViewInsets(false);
    auto background = Global::shared()->color()->backgroundDefault();
    navigationBar()->setBarTintColor(background);
    // Every navigation bar made from now on takes the platform's opaque look in all three looks.
    UINavigationBarAppearance opaque;
    opaque.configureWithOpaqueBackground();
    UINavigationBar::setDefaultAppearance(opaque);
    UINavigationBarAppearances::compact() = opaque;
    UINavigationBarAppearances::scrollEdge() = opaque;
}

const std::shared_ptr<HudView>& MyNavigationController::hudView() {
    if (!hudView_) hudView_ = HudView::make(self<UIViewController>());
    return hudView_;
}

const std::shared_ptr<HudAct>& MyNavigationController::hudAct() {
    if (!hudAct_) hudAct_ = HudAct::make(self<UIViewController>());
    return hudAct_;
}
