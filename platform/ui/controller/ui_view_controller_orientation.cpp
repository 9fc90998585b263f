// The screen orientation as a controller sees it.
#include "platform/ui/controller/ui_view_controller_orientation.h"

#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"

UIInterfaceOrientation interfaceOrientation(const UIViewController& vc) {
    std::shared_ptr<UIScreen> screen;
    if (auto view = vc.viewIfLoaded())
        if (auto window = view->window()) screen = window->screen();
    if (!screen) screen = UIScreen::mainScreen();
    return screen ? screen->orientation() : UIInterfaceOrientation::Unknown;
}
