// The licences screen over the acknowledgements table.
#include "settings/licenses/licenses_controller.h"

#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/runtime/log.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/bar_button_item_custom.h"
#include "ui/theme/font.h"

LicensesController::LicensesController(std::vector<std::string> names)
    : AcknowledgementsViewController(UITableViewStyle::Plain), names_(std::move(names)) {}

void LicensesController::init() {
    AcknowledgementsViewController::init();
    std::vector<std::shared_ptr<Acknowledgement>> entries;
    for (const auto& name : names_) entries.push_back(Acknowledgement::make(name, licenceText(name), ""));
    setAcknowledgements(std::move(entries));
}

std::string LicensesController::licenceText(const std::string& name) {
    auto path = NSBundle::mainBundle()->pathForResource(name, "txt", kLicenceFolder);
    if (!path) {
        Log::warning("settings", "licences: no licence text for \"" + name + "\"");
        return {};
    }
    auto data = readFileData(*path);
    if (!data) {
        Log::warning("settings", "licences: no licence text for \"" + name + "\"");
        return {};
    }
    return std::string(data->begin(), data->end());
}

void LicensesController::viewDidLoad() {
    AcknowledgementsViewController::viewDidLoad();
    setFooterText(std::string());
    // The licence text's back button stays short beside the component's name.
    navigationItem()->setBackBarButtonItem(UIBarButtonItem::withTitle("Back", UIBarButtonItemStyle::Plain, nullptr));
    std::weak_ptr<LicensesController> weak = self<LicensesController>();
    bbDone_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Done, [weak](UIBarButtonItem&) {
        if (auto me = weak.lock()) me->onDone();
    });
    updateNav();
}

void LicensesController::viewWillAppear(bool animated) {
    AcknowledgementsViewController::viewWillAppear(animated);
    updateView();
}

void LicensesController::viewDidAppear(bool animated) {
    AcknowledgementsViewController::viewDidAppear(animated);
    updateNav();
}

void LicensesController::updateNav() {
    auto me = self<UIViewController>();
    setNavLeft(me, {bbDone_});
    setNavTitle(me, Global::shared()->lang()->get("Open Source Licenses"));
}

void LicensesController::onDone() {
    if (auto d = delegate()) d->onLicensesControllerDone(*this);
}

std::shared_ptr<UIFont> LicensesController::headerFooterFont() {
    return Global::shared()->font()->textNormal();
}
