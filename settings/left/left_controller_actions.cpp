// The side menu's row actions: the feedback mail, the maker's pages, the store address, the
// licences and the more-apps rows.
#include <cstdio>

#include "app/base/my_navigation_controller.h"
#include "app/shell/main_controller.h"
#include "app/sidebar/side_bar_controller.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/lang.h"
#include "foundation/links.h"
#include "foundation/system_services.h"
#include "settings/left/left_controller_base.h"
#include "settings/left/maker_links.h"
#include "settings/licenses/third_party_components.h"
#include "settings/value_members.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controller/view_controller_presentation.h"

bool LeftControllerBase::openWebAddress(const std::string& address) {
    // Only web pages: an address from the server never opens another scheme.
    if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) return false;
    return ::openURL(address);
}

void LeftControllerBase::didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) {
    table.deselectRowAtIndexPath(path, true);
    const Value item = itemAt(path);
    const std::string type = textMember(item, "type");
    if (type == "app") {
        if (path.row < arrApps_.count()) openWebAddress(textMember(arrApps_[path.row], "addr"));
        return;
    }
    if (type != "basic") return;
    const std::string key = textMember(item, "key");
    if (key == "feedback") {
        sendFeedback();
    } else if (key == "website") {
        ::openURL(maker_links::webSiteHome());
    } else if (key == "rate") {
        ::openURL(maker_links::rateAddress(Global::shared()->device()->isMac()));
    } else if (key == "url") {
        auto cell = table.cellForRowAtIndexPath(path);
        shareStoreAddress(cell ? cell->contentView() : nullptr);
    } else if (key == "license") {
        showLicenses();
    } else if (key == "help") {
        showHelp();
    } else if (key == kMoreAppsSection) {
        ::openURL(maker_links::makerAppsPage());
    }
}

void LeftControllerBase::sendFeedback() {
    auto global = Global::shared();
    auto me = self<UIViewController>();
    const std::string address = maker_links::supportMail();
    if (!MFMailComposeViewController::canSendMail()) {
        alert(me, "Unable to send Mail.\nCheck Mail Account Setting on your Device.\n\n" + address, nullptr);
        return;
    }
    auto composer = MFMailComposeViewController::make();
    composer->setMailComposeDelegate(self<LeftControllerBase>());
    composer->setSubject("[" + global->appName() + " " + global->appVersion() + "]");
    composer->setToRecipients({address});
    auto system = SystemServices::shared();
    composer->setMessageBody("\n\n\n\n\n[" + std::string(global->device()->IsIPad() ? "iPad" : "iPhone") + " - " +
                                 system->systemName() + " " + system->systemVersion() + ", " + global->appName() + " " +
                                 global->appVersion() + "]",
                             false);
    presentFull(me, composer, nullptr, true);
}

void LeftControllerBase::mailComposeControllerDidFinish(MFMailComposeViewController&, MFMailComposeResult result,
                                                        const std::string& error) {
    auto me = self<UIViewController>();
    // The composer goes first: the alert is then the one presented controller, not the entry a
    // later dismissal would take off.
    std::function<void()> then;
    if (result == MFMailComposeResult::Failed) {
        std::weak_ptr<UIViewController> weak = me;
        then = [weak, error] {
            if (auto menu = weak.lock()) mailFailed(menu, maker_links::supportMail(), error);
        };
    }
    dismiss(me, then, true);
}

void LeftControllerBase::shareStoreAddress(const std::shared_ptr<UIView>& anchor) {
    auto global = Global::shared();
    const std::string subject = global->appName() + " AppStore URL";
    activity(self<UIViewController>(), anchor, subject, {Value(subject + "\n" + global->appUrlString())}, nullptr);
}

void LeftControllerBase::showLicenses() {
    auto licences = LicensesController::make(thirdPartyComponents());
    licences->setDelegate(self<LeftControllerBase>());
    presentFull(self<UIViewController>(), MyNavigationController::withRoot(licences), nullptr, true);
}

void LeftControllerBase::showHelp() {
    openURL(maker_links::productPage(), nullptr);
}

void LeftControllerBase::act(const std::string& name) {
    auto bar = sideBarController(*this);
    if (!bar) return;
    if (auto content = std::dynamic_pointer_cast<MainController>(bar->contentViewController())) content->setName(name);
    bar->hideMenuViewController(true);
}

void LeftControllerBase::onLicensesControllerDone(LicensesController&) {
    dismiss(self<UIViewController>(), nullptr, true);
}
