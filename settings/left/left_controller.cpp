// The app's side menu: its rows, its header and its switches.
#include "settings/left/left_controller.h"

#include "foundation/global.h"
#include "foundation/image_service.h"
#include "foundation/lang.h"
#include "platform/sensors/cl_location_manager.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_switch.h"
#include "settings/left/maker_links.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/layout/view_custom_hierarchy.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {
Value row(const char* type, const std::string& key, const std::string& text, CGFloat height, Value value = Value()) {
    Value item = Value::dictionary({{"type", Value(type)}, {"key", Value(key)}, {"text", Value(text)}});
    if (!value.isNull()) item.set("value", value);
    item.set("height", Value(double(height)));
    return item;
}

Value section(const std::string& title, Value items) {
    return Value::dictionary({{"text", Value(title)}, {"items", std::move(items)}});
}
}  // namespace

void LeftController::updateData() {
    auto global = Global::shared();
    auto lang = global->lang();
    Value settings = Value::array({
        row("switch", "frontMirrored", "Front Camera,\nMirrored Image", kRowHeight, Value(global->frontMirrored())),
        row("switch", "geoTagging", "Geo Tagging", kRowHeight, Value(global->geoTagging())),
    });
    Value links = Value::array({
        row("basic", "feedback", lang->get("Feedback") + " / " + lang->get("Suggestions"), kRowHeight),
        row("basic", "website", maker_links::webSiteName(), kRowHeight),
        row("basic", "rate", lang->get("Rate our App"), kRowHeight),
        row("basic", "url", lang->get("AppStore") + " URL", kRowHeight),
        row("basic", "license", lang->get("Open Source Licenses"), kRowHeight),
    });
    Value more = arrApps().count() > 0
                     ? arrApps().deepCopy()
                     : Value::array({row("basic", kMoreAppsSection, kMoreAppsSection, kAppRowHeight)});
    setArrItems(Value::array({section("Settings", settings), section("", links), section(kMoreAppsSection, more)}));
    sessionPresets_.reset();
    updateView();
}

void LeftController::reload() {
    LeftControllerBase::reload();
    updateData();
}

void LeftController::viewDidLoad() {
    LeftControllerBase::viewDidLoad();
    auto global = Global::shared();
    std::weak_ptr<LeftController> weak = self<LeftController>();
    auto scrollUp = [weak](UIControl&) {
        if (auto me = weak.lock()) me->onLogo();
    };
    if (auto logo = std::dynamic_pointer_cast<UIButton>(view()->viewWithTag(kLogoTag))) {
        logo->addAction(scrollUp, UIControlEventTouchUpInside);
        assignRound(*logo, logo->frame().size.height * kLogoCornerRatio);
        // The logo fills the button.
        logo->setImage(resizedImage(global->image()->logo(), logo->bounds().size), UIControlStateNormal);
    }
    if (auto name = std::dynamic_pointer_cast<UIButton>(view()->viewWithTag(kNameTag))) {
        name->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Left);
        name->addAction(scrollUp, UIControlEventTouchUpInside);
        name->setTitle(global->appName(), UIControlStateNormal);
        name->titleLabel()->setFont(global->font()->textFixedLarge2());
        name->setTitleColor(global->color()->labelDefault(), UIControlStateNormal);
    }
    if (auto extra = view()->viewWithTag(kHeaderExtraTag)) extra->setHidden(true);
}

void LeftController::viewWillAppear(bool animated) {
    LeftControllerBase::viewWillAppear(animated);
    updateView();
}

void LeftController::onLogo() {
    if (auto table = tableView()) table->setContentOffset(CGPoint{0, 0}, true);
}

std::shared_ptr<CLLocationManager> LeftController::locManager() {
    if (!locManager_) locManager_ = CLLocationManager::make();
    return locManager_;
}

void LeftController::onSwitch(UISwitch& toggle) {
    auto table = tableView();
    if (!table) return;
    auto path = tableIndex(toggle.self<UIView>(), *table);
    if (!path || isMoreAppsSection(path->section)) return;
    const Value item = itemAt(*path);
    const Value key = item.isDictionary() ? item["key"] : Value();
    if (!key.isString()) return;
    auto global = Global::shared();
    if (*key.string() == "frontMirrored") {
        global->setFrontMirrored(toggle.isOn());
    } else if (*key.string() == "geoTagging") {
        global->setGeoTagging(toggle.isOn());
        if (toggle.isOn()) geoTaggingTurnedOn();
    } else {
        return;
    }
    global->saveCurrentSettings();
    updateData();
}

void LeftController::geoTaggingTurnedOn() {
    auto global = Global::shared();
    auto me = self<UIViewController>();
    std::weak_ptr<LeftController> weak = self<LeftController>();
    switch (CLLocationManager::authorizationStatus()) {
        case CLAuthorizationStatus::Denied:
            ::confirm(
                me, "Location Service Authorization Required.\nOpen Settings Now?", [] { openDeviceSettings(); },
                [weak] {
                    auto global = Global::shared();
                    if (global->geoTagging()) global->setGeoTagging(false);
                    global->saveCurrentSettings();
                    if (auto menu = weak.lock()) menu->updateData();
                });
            break;
        case CLAuthorizationStatus::Restricted:
            if (global->geoTagging()) global->setGeoTagging(false);
            alert(me, "Location Service Restricted", nullptr);
            break;
        case CLAuthorizationStatus::NotDetermined: locManager()->requestWhenInUseAuthorization(); break;
        default: break;
    }
}

void LeftController::didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) {
    const Value item = itemAt(path);
    const Value key = item.isDictionary() ? item["key"] : Value();
    if (key.isString() && *key.string() == kImageSizeKey && !isMoreAppsSection(path.section)) {
        table.deselectRowAtIndexPath(path, true);
        showImageSizes();
        return;
    }
    LeftControllerBase::didSelectRowAtIndexPath(table, path);
}
