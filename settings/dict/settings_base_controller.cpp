// The settings base screen.
#include "settings/dict/settings_base_controller.h"

#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/runtime/format.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/bar_button_item_custom.h"

void SettingsBaseController::viewDidLoad() {
    if (titleText().empty()) setTitleText(formatString("%@ SETTINGS", {Value(Global::shared()->appName())}));
    if (delegate()) {
        std::weak_ptr<SettingsBaseController> weak = self<SettingsBaseController>();
        bbDone_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Done, [weak](UIBarButtonItem&) {
            auto c = weak.lock();
            auto d = c ? c->myDelegate() : nullptr;
            if (d) d->onSettingsBaseControllerDone(*c);
        });
    }
    SettingsDictController::viewDidLoad();
}

void SettingsBaseController::updateNav() {
    SettingsDictController::updateNav();
    if (bbDone_ && isModal(*this)) setNavLeft(self<SettingsBaseController>(), {bbDone_});
}

UIInterfaceOrientationMask SettingsBaseController::supportedInterfaceOrientations() const {
    return Global::shared()->device()->IsIPad() ? UIInterfaceOrientationMaskAll : UIInterfaceOrientationMaskPortrait;
}
