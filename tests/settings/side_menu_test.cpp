// The side menu: rows from the settings, the switches with the location answers, the feedback
// mail and the addresses the rows open.
#include <cstdlib>
#include <fstream>

#include "platform/host/desktop_opener.h"
#include "tests/settings/side_menu_screen.h"

using namespace side_menu_screen;

TEST_F(SideMenuScreen, SwitchesShowTheStoredSettingsAndSaveAtOnce) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    ASSERT_TRUE(switchAt(menu, 0));
    EXPECT_TRUE(switchAt(menu, 0)->isOn()) << "front mirroring is on by default";

    flip(menu, 0, false);  // away from the default, so that only a saved change reads back
    settle();
    EXPECT_FALSE(global()->frontMirrored());
    const auto file = global()->getLastInfoPath();
    ASSERT_TRUE(file);
    const auto stored = GlobalBase::loadFromFilePath(*file);
    ASSERT_TRUE(stored && stored->isDictionary());
    EXPECT_EQ((*stored)["frontMirrored"], Value(false)) << "saved at once";
    Global::resetSharedForTesting();
    registerUIServices();
    registerLanguageServices();
    EXPECT_FALSE(Global::shared()->frontMirrored());

    Global::shared()->setFrontMirrored(true);  // the camera screen changed it
    shown(menu);
    EXPECT_TRUE(switchAt(menu, 0)->isOn());
}

TEST_F(SideMenuScreen, GeotaggingAsksForTheLocationAsTheAuthorisationSays) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);

    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::Denied);
    flip(menu, 1, true);
    auto question = presented<UIAlertController>();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->message(), "Location Service Authorization Required.\nOpen Settings Now?");
    EXPECT_TRUE(global()->geoTagging()) << "on while the question shows";
    ASSERT_TRUE(question->chooseActionWithTitle("No"));
    settle();
    EXPECT_FALSE(global()->geoTagging());
    EXPECT_FALSE(switchAt(menu, 1)->isOn());

    flip(menu, 1, true);
    question = presented<UIAlertController>();
    ASSERT_TRUE(question && question->chooseActionWithTitle("Yes"));
    settle();
    EXPECT_TRUE(global()->geoTagging());
    EXPECT_TRUE(switchAt(menu, 1)->isOn());

    flip(menu, 1, false);
    settle();
    EXPECT_FALSE(global()->geoTagging()) << "turning off asks nothing";

    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::Restricted);
    flip(menu, 1, true);
    auto restricted = presented<UIAlertController>();
    ASSERT_TRUE(restricted);
    EXPECT_EQ(restricted->message(), "Location Service Restricted");
    EXPECT_FALSE(global()->geoTagging());
    EXPECT_FALSE(switchAt(menu, 1)->isOn());
    restricted->chooseActionWithTitle("OK");
    settle();

    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::NotDetermined);
    CLLocationManager::setAuthorizationAnswer(CLAuthorizationStatus::Denied);
    flip(menu, 1, true);
    settle();
    EXPECT_TRUE(global()->geoTagging()) << "the menu asks and does not watch the answer";
}

TEST_F(SideMenuScreen, FeedbackMailAndItsFailures) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    auto table = menu->tableView();

    MFMailComposeViewController::setMailOpener(nullptr);
    table->tapRowAtIndexPath({1, 0});
    auto noMail = presented<UIAlertController>();
    ASSERT_TRUE(noMail);
    EXPECT_EQ(noMail->title(), "Korva");
    EXPECT_EQ(noMail->message(),
              "Unable to send Mail.\nCheck Mail Account Setting on your Device.\n\nsupport@korva.invalid");
    advance(0.5);  // the alert has appeared, as a user's tap finds it
    noMail->chooseActionWithTitle("OK");
    settle();
    advance(1);
    ASSERT_EQ(presented<UIAlertController>(), nullptr);

    MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
    SystemServices::shared()->setSystem("Linux", "6.1");
    table->tapRowAtIndexPath({1, 0});
    auto composer = presented<MFMailComposeViewController>();
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->message().subject, "[Korva 2.5]");
    EXPECT_EQ(composer->message().to, (std::vector<std::string>{"support@korva.invalid"}));
    EXPECT_EQ(composer->message().body, "\n\n\n\n\n[iPhone - Linux 6.1, Korva 2.5]");
    ASSERT_TRUE(composer->cancel());
    settle();
    advance(1);
    EXPECT_EQ(presented<UIAlertController>(), nullptr) << "a cancelled mail closes without an alert";

    MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
    table->tapRowAtIndexPath({1, 0});
    composer = presented<MFMailComposeViewController>();
    ASSERT_TRUE(composer);
    MFMailComposeViewController::setMailOpener(nullptr);
    composer->send();
    settle();
    advance(1);
    auto failed = presented<UIAlertController>();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->message(),
              "Unable to send Mail. Address: support@korva.invalid\n\nMail is not set up on this device");
    EXPECT_EQ(global()->lastViewControllers().size(), 1u) << "the composer has gone, the alert shows";
}

TEST_F(SideMenuScreen, RowsOpenTheMakersAddresses) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    auto table = menu->tableView();
    table->tapRowAtIndexPath({1, 1});
    table->tapRowAtIndexPath({1, 2});
    SystemServices::shared()->setiOSAppOnMac(true);
    table->tapRowAtIndexPath({1, 2});
    table->tapRowAtIndexPath({2, 0});
    EXPECT_EQ(opened(), (std::vector<std::string>{
                            "https://www.korva.invalid/", "https://store.korva.invalid/app/id0?action=write-review",
                            "https://www.korva.invalid/korva/?r=0", "https://store.korva.invalid/developer/korva"}));
}

TEST_F(SideMenuScreen, TheStoreAddressRowSharesAndCopiesTheAddress) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    UIPasteboard::generalPasteboard()->clear();
    std::vector<std::string> opened;
    MFMailComposeViewController::setMailOpener([&](const std::string& address, auto taken) {
        opened.push_back(address);
        taken({});
    });
    menu->tableView()->tapRowAtIndexPath({1, 3});
    auto sheet = presented<UIActivityViewController>();
    ASSERT_TRUE(sheet);
    const std::string shared = "Korva AppStore URL\nhttps://store.korva.invalid/app/id0?mt=8";
    EXPECT_EQ(sheet->sharedText(), shared);
    ASSERT_TRUE(sheet->chooseActivity(UIActivityTypeCopyToPasteboard));
    advance(1);
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), shared);
    EXPECT_EQ(presented<UIActivityViewController>(), nullptr) << "the sheet has gone";

    // Mail from the same sheet: the subject and the address in the body.
    menu->tableView()->tapRowAtIndexPath({1, 3});
    sheet = presented<UIActivityViewController>();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->chooseActivity(UIActivityTypeMail));
    advance(1);
    EXPECT_EQ(opened,
              (std::vector<std::string>{"mailto:?subject=Korva%20AppStore%20URL&body=Korva%20AppStore%20URL%0D%0A"
                                        "https%3A%2F%2Fstore.korva.invalid%2Fapp%2Fid0%3Fmt%3D8"}));
    UIPasteboard::generalPasteboard()->clear();
}

// On a desktop whose xdg-email finds nothing to hand the message to, mail from the store
// address's sheet is told as the feedback mail's failure is, with the reason, once the sheet has gone.
TEST_F(SideMenuScreen, MailFromTheStoreAddressSheetThatDoesNotLeaveIsTold) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    const auto bin = folders.root() / "bin";
    std::filesystem::create_directories(bin);
    std::ofstream(bin / "xdg-email") << "#!/bin/sh\necho \"xdg-email: no method available for opening '$1'\" >&2\n"
                                        "exit 3\n";
    std::filesystem::permissions(bin / "xdg-email", std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    const std::string savedPath = path ? path : "";
    ::setenv("PATH", bin.c_str(), 1);
    // As the window host installs it.
    MFMailComposeViewController::setMailOpener(
        [](const std::string& address, auto outcome) { DesktopOpener::mail(address, std::move(outcome)); });

    LogCapture log;
    menu->tableView()->tapRowAtIndexPath({1, 3});
    auto sheet = presented<UIActivityViewController>();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->chooseActivity(UIActivityTypeMail));
    EXPECT_EQ(DesktopOpener::waitForChildren(), 1);
    ::setenv("PATH", savedPath.c_str(), 1);
    advance(1);
    EXPECT_EQ(presented<UIActivityViewController>(), nullptr) << "the sheet has gone";
    auto failed = presented<UIAlertController>();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->message(),
              "Unable to send Mail\n\nxdg-email exited with status 3: xdg-email: no method available for opening "
              "'the address'");
    EXPECT_TRUE(log.contains("xdg-email exited with status 3"));
    ASSERT_TRUE(failed->chooseActionWithTitle("OK"));
    settle();
    EXPECT_TRUE(global()->lastViewControllers().empty());
}

TEST_F(SideMenuScreen, TheLicenceRowShowsTheListAndDoneClosesIt) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    menu->tableView()->tapRowAtIndexPath({1, 4});
    auto navigation = presented<UINavigationController>();
    ASSERT_TRUE(navigation);
    advance(1);
    auto licences = std::dynamic_pointer_cast<LicensesController>(navigation->topViewController());
    ASSERT_TRUE(licences);
    EXPECT_FALSE(licences->acknowledgements().empty());
    EXPECT_EQ(licences->delegate(), std::dynamic_pointer_cast<LicensesControllerDelegate>(menu));
    ASSERT_TRUE(licences->bbDone());
    licences->onDone();
    advance(1);
    EXPECT_EQ(menu->presentedViewController(), nullptr);
}

TEST_F(SideMenuScreen, TappingTheLogoOrNameScrollsToTheTop) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    auto table = menu->tableView();
    table->setContentOffset(CGPoint{0, 120});
    auto name = std::dynamic_pointer_cast<UIControl>(menu->view()->viewWithTag(LeftControllerBase::kNameTag));
    ASSERT_TRUE(name);
    name->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1);
    EXPECT_EQ(table->contentOffset().y, 0);
}

TEST_F(SideMenuScreen, RowTitlesKeepTheirLinesAndMarginsAndShrinkRatherThanLoseTheirEnd) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    auto parts = [&](std::size_t row) {
        auto cell = menu->tableView()->cellForRowAtIndexPath({0, row});
        auto content = cell->contentView();
        content->layoutIfNeeded();
        return std::make_pair(std::dynamic_pointer_cast<UILabel>(content->viewWithTag(LeftCell::kTitleTag)),
                              content->viewWithTag(LeftCell::kSwitchTag));
    };
    auto [mirror, mirrorSwitch] = parts(0);
    ASSERT_TRUE(mirror && mirrorSwitch);
    EXPECT_EQ(mirror->numberOfLines(), 2) << "the mirroring title stands on its own two lines";
    // The switch rows keep their margins; the title ends a gap before the switch.
    const CGFloat width = mirror->superview()->bounds().size.width;
    EXPECT_EQ(mirror->frame().origin.x, LeftCell::kSideMargin);
    EXPECT_EQ(CGRectGetMaxX(mirrorSwitch->frame()), width - LeftCell::kSideMargin);
    EXPECT_EQ(CGRectGetMaxX(mirror->frame()) + LeftCell::kIconGap, mirrorSwitch->frame().origin.x);

    // A title too long for its row is drawn whole, smaller, on its one line within its width.
    auto [geo, geoSwitch] = parts(1);
    ASSERT_TRUE(geo);
    std::string text = "Geo Tagging";
    while (geo->sizeThatFits({0, 0}).width < geo->bounds().size.width * 1.3) {
        text += " and more";
        LeftCell::setRowText(*geo, text);
    }
    EXPECT_EQ(geo->numberOfLines(), 1);
    struct Ink {
        int rows = 0, left = 1 << 20, right = -1;
    };
    auto inkOf = [](UILabel& label) {
        Ink ink;
        auto picture = LayerRenderer::snapshot(*label.layer(), 1);
        if (!picture) return ink;
        for (int y = 0; y < int(picture->height()); ++y) {
            bool any = false;
            for (int x = 0; x < int(picture->width()); ++x)
                if (pixelAt(*picture, x, y).a > 128) {
                    any = true;
                    ink.left = std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                }
            ink.rows += any;
        }
        return ink;
    };
    const Ink shrunk = inkOf(*geo);
    geo->setAdjustsFontSizeToFitWidth(false);
    geo->setNeedsDisplay();
    const Ink cut = inkOf(*geo);
    ASSERT_GT(cut.rows, 0);
    EXPECT_LT(shrunk.rows, cut.rows) << "the long title was not drawn smaller";
    EXPECT_LT(shrunk.right, int(geo->bounds().size.width));
    EXPECT_GT(shrunk.right - shrunk.left, geo->bounds().size.width * 0.8) << "the title uses its width";
}

TEST_F(SideMenuScreen, TheImageSizeChoiceKeepsTheListItShowed) {
    maker.setBody(kMoreApps, "");
    auto menu = showMenu();
    shown(menu);
    const auto offered = menu->sessionPresets();
    ASSERT_GE(offered.size(), 2u) << "the synthetic camera takes several sizes";
    EXPECT_EQ(offered.front().second, "Default");
    menu->showImageSizes();
    auto chooser = presented<UINavigationController>();
    ASSERT_TRUE(chooser);
    auto list = std::dynamic_pointer_cast<ValueTableBasicController>(chooser->topViewController());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->def(), "Default");
    EXPECT_EQ(list->textTitle(), "BACK Camera: Image Size");

    menu->updateData();  // a rebuild while the list shows
    const std::string before = global()->value()->sessionPreset();
    menu->onValueTableBasicControllerSelected(*list, "past the end", long(offered.size()));
    EXPECT_EQ(global()->value()->sessionPreset(), before) << "an index the list did not show changes nothing";
    menu->showImageSizes();
    menu->onValueTableBasicControllerSelected(*list, offered[1].second, 1);
    EXPECT_EQ(global()->value()->sessionPreset(), offered[1].first);
}

// The side bar knows the menu only through the registry and its small interface.
TEST_F(SideMenuScreen, TheRegisteredMenuAnswersTheSideBarsInterface) {
    registerSettingsControllers(UIStoryboard::mainStoryboard());
    auto made = UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("LeftController");
    ASSERT_TRUE(made);
    EXPECT_NE(std::dynamic_pointer_cast<::SideMenu>(made), nullptr);
}

TEST_F(SideMenuScreen, TheHelpRowOpensTheProductPageInTheWebScreen) {
    maker.setBody(kMoreApps, "");
    registerAppControllers(UIStoryboard::mainStoryboard());
    auto menu = LeftController::make();
    menu->setStoryboard(UIStoryboard::mainStoryboard());  // as the storyboard makes it
    window->setRootViewController(menu);
    settle();
    shown(menu);
    Value items = menu->arrItems();
    items[1]["items"].append(Value::dictionary(
        {{"type", Value("basic")}, {"key", Value("help")}, {"text", Value("Help")}, {"height", Value(50)}}));
    menu->setArrItems(items);
    menu->updateView();
    menu->tableView()->tapRowAtIndexPath({1, 5});
    auto nav = presented<MyNavigationController>();
    ASSERT_TRUE(nav) << "no web screen was presented";
    auto web = std::dynamic_pointer_cast<MyWebController>(nav->topViewController());
    ASSERT_TRUE(web);
    EXPECT_EQ(web->url(), "https://www.korva.invalid/korva/");
    EXPECT_EQ(web->delegate().get(), static_cast<MyWebControllerDelegate*>(menu.get()));
    EXPECT_TRUE(opened().empty()) << "the page opens inside the app";
    advance(1);
    web->onDone();
    advance(1);
    EXPECT_EQ(presented<MyNavigationController>(), nullptr);
}

TEST_F(SideMenuScreen, ActSwitchesTheSideBarsContentAndHidesTheMenu) {
    maker.setBody(kMoreApps, "");
    registerSettingsControllers(UIStoryboard::mainStoryboard());
    registerAppControllers(UIStoryboard::mainStoryboard());
    UIStoryboard::mainStoryboard()->registerController("Other", [] { return PlaceholderController::make(); });
    auto root = std::dynamic_pointer_cast<RootControllerBase>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier(RootControllerBase::kStoryboardID));
    ASSERT_TRUE(root);
    window->setRootViewController(root);
    settle();
    auto menu = std::dynamic_pointer_cast<LeftControllerBase>(root->left());
    ASSERT_TRUE(menu);
    root->showMenuViewControllerInDirection(SideBarDirection::Left);
    advance(0.6);
    ASSERT_EQ(root->currentState(), SideBarState::Shown);
    menu->act("Other");
    advance(1);
    EXPECT_TRUE(std::dynamic_pointer_cast<PlaceholderController>(root->main()->vc())) << "the content did not switch";
    EXPECT_EQ(root->currentState(), SideBarState::Hidden);

    // Outside a side bar there is nothing to switch.
    auto alone = showMenu();
    alone->act("Other");
    settle();
}
