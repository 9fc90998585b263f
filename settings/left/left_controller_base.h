// The side menu's generic part: the scene (a header over a table), rows drawn from a list of
// section dictionaries, the common row actions and the once-a-day list of the maker's other apps.
//
// Section: {"text": title ("" for none), "items": [item]}. Item: {"type": "basic" | "value" |
// "switch" | "app", "key", "text", "value", "height"}. App row: {"type": "app", "title", "addr",
// "image", "height"}.
//
// Main-thread only; the app icons download on the serial queue "LeftController".
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/base/my_view_controller.h"
#include "app/sidebar/side_menu.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/value.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/table/ui_table_view.h"
#include "settings/licenses/licenses_controller.h"

class LastInfo;
class UISwitch;

class LeftControllerBase : public MyViewController,
                           public UITableViewDataSource,
                           public UITableViewDelegate,
                           public MFMailComposeViewControllerDelegate,
                           public LicensesControllerDelegate,
                           public SideMenu {
public:
    KORVA_MAKE(LeftControllerBase)
    // The scene.
    static constexpr long kTableTag = 1;
    static constexpr long kLogoTag = 11;
    static constexpr long kNameTag = 12;
    static constexpr long kHeaderExtraTag = 13;
    static constexpr CGFloat kSceneWidth = 220;
    static constexpr CGFloat kHeaderHeight = 64;
    static constexpr CGFloat kLogoSize = 44;
    static constexpr CGFloat kHeaderMargin = 10;
    // The more-apps list.
    static constexpr const char* kStoreName = "LeftController.3";
    static constexpr const char* kMoreAppsSection = "More Apps";
    static constexpr double kMoreAppsLifetime = 86400;
    static constexpr CGFloat kAppRowHeight = 60;
    static constexpr CGFloat kIconCornerRadius = 12;
    static constexpr std::uint64_t kIconDays = 20;
    static constexpr std::uint64_t kIconQueueLimit = 10;

    bool loadingApps() const { return loadingApps_; }
    dispatch_queue_t q();
    std::shared_ptr<UITableView> tableView() const { return tableView_.lock(); }
    const Value& arrItems() const { return arrItems_; }
    void setArrItems(Value items) { arrItems_ = std::move(items); }
    const Value& arrApps() const { return arrApps_; }
    // The menu's store, "LeftController.3" in the caches folder, opened on first use.
    std::shared_ptr<LastInfo> lastInfo();

    // Builds the rows (the base has none) and shows them.
    virtual void updateData() {}
    void updateView() override;
    // The menu is about to show: the more-apps list is brought up to date.
    void reload() override;
    // The menu has shown: back to the top, then reload.
    void onDidShow() override;

    // The more-apps list: fetched when due, else built from the store.
    void updateApps();
    bool isActivePerDay();
    void updateApps1();
    void save();

    // The item at a table position, or null.
    Value itemAt(NSIndexPath path) const;
    // Whether the section is the more-apps one.
    bool isMoreAppsSection(std::size_t section) const;

    void loadView() override;
    void viewDidLoad() override;
    bool shouldAutorotate() const override { return true; }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;

    std::size_t numberOfSectionsInTableView(UITableView&) override;
    std::size_t numberOfRowsInSection(UITableView&, std::size_t section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t section) override;
    CGFloat heightForRowAtIndexPath(UITableView&, NSIndexPath path) override;
    void didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) override;

    // The row actions.
    virtual void onSwitch(UISwitch&) {}
    void sendFeedback();
    void shareStoreAddress(const std::shared_ptr<UIView>& anchor);
    void showLicenses();
    // The product page in the in-app web screen, presented full-screen.
    void showHelp();
    // Switches the side bar's content to the named screen and hides the menu; nothing outside a
    // side bar.
    void act(const std::string& name);
    // Opens an address with the system, only http and https.
    static bool openWebAddress(const std::string& address);
    void mailComposeControllerDidFinish(MFMailComposeViewController& composer, MFMailComposeResult result,
                                        const std::string& error) override;
    void onLicensesControllerDone(LicensesController& controller) override;
    std::string className() const override { return "LeftControllerBase"; }

protected:
    LeftControllerBase() = default;
    void configureCell(UITableViewCell& cell, const Value& item);
    void configureAppCell(UITableViewCell& cell, std::size_t index);

private:
    void receiveApps(const std::optional<Bytes>& data);

    bool loadingApps_ = false;
    // Whether the log has been told that the maker's page gives no list. The menu lives for the
    // run and asks again at each opening, so a known absence is told once, until a list comes.
    bool noListTold_ = false;
    dispatch_queue_t q_;
    std::weak_ptr<UITableView> tableView_;
    Value arrItems_ = Value::array();
    Value arrApps_ = Value::array();
    std::shared_ptr<LastInfo> lastInfo_;
};
