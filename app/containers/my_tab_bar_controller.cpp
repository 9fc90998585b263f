// Selection events for the tab bar's children.
#include "app/containers/my_tab_bar_controller.h"

void MyTabBarController::viewDidLoad() {
    SelectedChildAnswers<UITabBarController>::viewDidLoad();
    setAutomaticallyAdjustsScrollViewInsets(false);
}

void MyTabBarController::didSelectItem(UITabBar& bar, const std::shared_ptr<UITabBarItem>& item) {
    SelectedChildAnswers<UITabBarController>::didSelectItem(bar, item);
    auto me = self<UIViewController>();
    for (const auto& child : viewControllers()) {
        auto* listener = dynamic_cast<MyTabBarControllerChild*>(child.get());
        if (!listener) continue;
        if (child->tabBarItem() == item)
            listener->onMyTabBarControllerSelectedThisItem(me);
        else
            listener->onMyTabBarControllerUnselectedThisItem(me);
    }
}
