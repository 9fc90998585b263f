// The side menu's test screen: the menu shown in a window, its stored more-apps list, its switches
// and the addresses its rows open.
#pragma once

#include <algorithm>
#include <filesystem>

#include "app/base/my_navigation_controller.h"
#include "app/shell/app_registry.h"
#include "app/shell/placeholder_controller.h"
#include "app/sidebar/root_controller_base.h"
#include "app/sidebar/side_menu.h"
#include "app/web/my_web_controller.h"
#include "foundation/capture_choices.h"
#include "foundation/date_custom.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "foundation/system_services.h"
#include "platform/dispatch/clock.h"
#include "platform/runtime/log.h"
#include "platform/sensors/cl_location_manager.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/controller/ui_activity_view_controller.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/layer/layer_renderer.h"
#include "settings/left/left_cells.h"
#include "settings/left/left_controller.h"
#include "settings/licenses/licenses_controller.h"
#include "settings/settings_controllers.h"
#include "tests/platform/ui/draw_test_support.h"
#include "tests/settings/settings_screen_support.h"
#include "widgets/flat/flat_palette.h"

namespace side_menu_screen {
inline const std::string kMoreApps(server_pages::kMoreAppsPath);

inline std::vector<std::string> keysOf(const Value& section) {
    std::vector<std::string> keys;
    const Value items = section["items"];
    for (std::size_t i = 0; i < items.count(); ++i) keys.push_back(items[i]["key"].stringValue());
    return keys;
}

inline Value storedList() {
    return Value::array({Value::dictionary({{"title", Value("Stored")},
                                            {"url", Value("https://apps.korva.invalid/stored")},
                                            {"image", Value("/icons/stored.png")}})});
}
}  // namespace side_menu_screen

struct SideMenuScreen : SettingsScreenTest {
    void SetUp() override {
        SettingsScreenTest::SetUp();
        CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::AuthorizedWhenInUse);
        MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
    }
    void TearDown() override {
        MFMailComposeViewController::clearMailboxes();
        MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
        CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::NotDetermined);
        SettingsScreenTest::TearDown();
    }
    std::shared_ptr<LeftController> showMenu() {
        auto menu = LeftController::make();
        window->setRootViewController(menu);
        settle();
        return menu;
    }
    // The menu as the drawer shows it: it has shown, the list reply (if any) has arrived.
    void shown(const std::shared_ptr<LeftController>& menu) {
        menu->onDidShow();
        ASSERT_TRUE(pumpMainUntil([&] { return !menu->loadingApps(); }));
        settle();
    }
    void storeList(const std::shared_ptr<LeftController>& menu, const Value& list, double age,
                   const std::string& lang = "fi") {
        auto store = menu->lastInfo();
        store->set(Value::date(dateNow() - age), "at");
        store->set(Value(lang), "lang");
        store->set(list, "moreapps");
        menu->save();
    }
    std::shared_ptr<UISwitch> switchAt(const std::shared_ptr<LeftController>& menu, std::size_t row) {
        auto cell = menu->tableView()->cellForRowAtIndexPath({0, row});
        return cell ? std::dynamic_pointer_cast<UISwitch>(cell->contentView()->viewWithTag(LeftCell::kSwitchTag))
                    : nullptr;
    }
    void flip(const std::shared_ptr<LeftController>& menu, std::size_t row, bool on) {
        auto toggle = switchAt(menu, row);
        ASSERT_TRUE(toggle);
        toggle->setOn(on);
        toggle->sendActionsForControlEvents(UIControlEventValueChanged);
    }
    std::vector<std::string> opened() { return UIApplication::sharedApplication()->openedURLs(); }
};
