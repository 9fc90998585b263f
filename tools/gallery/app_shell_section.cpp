// The application shell: the started app (root, switcher and the screen it shows), the segmented
// container in a navigation bar, a tab-bar button's badge, the rating prompt's own alert, a screen's overlays and
// tutorial, the custom tab container, the fly-in and the promotion pop-up.
#include "app/app_delegate.h"
#include "app/containers/my_seg_controller.h"
#include "app/containers/my_tab_bar_controller.h"
#include "app/rate/rate_prompt.h"
#include "app/shell/app_registry.h"
#include "app/shell/placeholder_controller.h"
#include "app/shell/root_controller.h"
#include "foundation/global.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/bar/ui_tab_bar.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "tools/gallery/app_shell_gallery.h"
#include "tools/gallery/gallery.h"
#include "ui/controls/anim_button.h"
#include "ui/theme/image_custom.h"
#include "ui/ui_services.h"

namespace {
std::shared_ptr<UIViewController> labelled(const std::string& text, const std::shared_ptr<UIColor>& color) {
    auto screen = PlaceholderController::make();
    screen->view()->setBackgroundColor(color);
    auto label = UILabel::make(CGRectMake(20, 200, 300, 40));
    label->setText(text);
    label->setTextColor(UIColor::whiteColor());
    screen->view()->addSubview(label);
    return screen;
}
}  // namespace

void galleryAppShell(GalleryPage& page) {
    registerUIServices();
    UIStoryboard::resetMainStoryboard();
    registerAppControllers(UIStoryboard::mainStoryboard());

    auto window = page.newWindow();
    window->setRootViewController(UIStoryboard::mainStoryboard()->instantiateInitialViewController());
    page.step(0.5);
    page.shotScreen("started-app");

    window = page.newWindow();
    auto seg = MySegController::make();
    window->setRootViewController(UINavigationController::withRoot(seg));
    seg->update(Value::array({Value::dictionary({{"vc", Value(labelled("First child", UIColor::darkGrayColor()))},
                                                 {"title", Value("First")}}),
                              Value::dictionary({{"vc", Value(labelled("Second child", UIColor::blueColor()))},
                                                 {"title", Value("Second")}})}));
    seg->updateNav();
    seg->selectSeg(1);
    page.step(0.5);
    page.shotScreen("segmented-container");

    // An animated button in the tab bar with a count badge: the badge stands out of the bar on the
    // tab-bar controller's view.
    window = page.newWindow();
    auto tabs = MyTabBarController::make();
    window->setRootViewController(tabs);
    tabs->setViewControllers({labelled("Tab child", UIColor::darkGrayColor())});
    page.step(0.2);
    auto tabButton = AnimButton::make(CGRectMake(20, 2, 40, 40));
    tabButton->setImages(imageColor(UIColor::systemGrayColor(), {40, 40}),
                         imageColor(UIColor::systemBlueColor(), {40, 40}));
    tabs->tabBar()->addSubview(tabButton);
    tabButton->setBadgeValue("12");
    page.step(0.5);
    page.shotScreen("tab-bar-badge");

    // The rating prompt's own alert over the started app.
    window = page.newWindow();
    auto delegate = AppDelegate::make();
    delegate->setWindow(window);
    UIApplication::sharedApplication()->setDelegate(delegate);
    window->setRootViewController(UIStoryboard::mainStoryboard()->instantiateInitialViewController());
    auto prompt = RatePrompt::sharedInstance();
    prompt->promptAtLaunch = false;
    prompt->applicationName = "Korva";
    page.step(0.2);
    prompt->promptForRating(true);
    page.step(1.0);
    page.shotScreen("rating-alert");
    UIApplication::sharedApplication()->setDelegate(nullptr);

    galleryAppShellScreens(page);
    galleryAppShellTutorial(page);
    galleryAppShellPromotion(page);
    UIStoryboard::resetMainStoryboard();
}
