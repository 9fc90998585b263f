// The side menu's more-apps list: the stored list, the once-a-day fetch from the maker's local
// server and what a bad or missing reply leaves.
#include "tests/settings/side_menu_screen.h"

using namespace side_menu_screen;

TEST_F(SideMenuScreen, RowsWithoutStoredListEndInTheSingleMoreAppsRow) {
    maker.setBody(kMoreApps, "no list here");
    auto menu = showMenu();
    shown(menu);
    const Value items = menu->arrItems();
    ASSERT_EQ(items.count(), 3u);
    EXPECT_EQ(keysOf(items[std::size_t{0}]), (std::vector<std::string>{"frontMirrored", "geoTagging"}));
    EXPECT_EQ(keysOf(items[1]), (std::vector<std::string>{"feedback", "website", "rate", "url", "license"}));
    EXPECT_EQ(items[std::size_t{0}]["items"][std::size_t{0}]["text"].stringValue(), "Front Camera,\nMirrored Image");
    EXPECT_EQ(items[1]["items"][1]["text"].stringValue(), "korva.invalid");
    EXPECT_EQ(items[1]["items"][3]["text"].stringValue(), "AppStore URL");
    EXPECT_EQ(keysOf(items[2]), (std::vector<std::string>{"More Apps"}));
    EXPECT_EQ(items[2]["items"][std::size_t{0}]["height"].doubleValue(), 60);

    auto table = menu->tableView();
    EXPECT_EQ(menu->titleForHeaderInSection(*table, 0), "Settings");
    EXPECT_EQ(menu->titleForHeaderInSection(*table, 1), std::nullopt) << "the links section has no header";
    EXPECT_EQ(menu->heightForRowAtIndexPath(*table, {0, 0}), 50);

    auto rate = table->cellForRowAtIndexPath({1, 2});
    auto feedback = table->cellForRowAtIndexPath({1, 0});
    ASSERT_TRUE(rate && feedback);
    auto rateTitle = std::dynamic_pointer_cast<UILabel>(rate->contentView()->viewWithTag(LeftCell::kTitleTag));
    auto feedbackTitle = std::dynamic_pointer_cast<UILabel>(feedback->contentView()->viewWithTag(LeftCell::kTitleTag));
    EXPECT_TRUE(rateTitle->textColor()->isEqual(*flatOrangeColor()));
    EXPECT_FALSE(feedbackTitle->textColor()->isEqual(*flatOrangeColor()));
}

TEST_F(SideMenuScreen, FetchedListReplacesTheSingleRowAndIsStored) {
    auto menu = showMenu();
    shown(menu);
    EXPECT_EQ(maker.hits(kMoreApps), 1);
    auto query = maker.lastQuery(kMoreApps);
    ASSERT_TRUE(query);
    EXPECT_EQ((*query)["name"], "Korva");
    EXPECT_EQ((*query)["version"], "2.5");
    EXPECT_EQ((*query)["lang"], "fi");
    EXPECT_EQ((*query)["p"], "iphone");

    const Value more = menu->arrItems()[2]["items"];
    ASSERT_EQ(more.count(), 2u);
    EXPECT_EQ(more[std::size_t{0}]["title"].stringValue(), "Korva Notes");
    EXPECT_EQ(more[std::size_t{0}]["addr"].stringValue(), "https://apps.korva.invalid/notes");
    EXPECT_EQ(more[std::size_t{0}]["type"].stringValue(), "app");

    // A fresh menu reads the same list from the store without asking again.
    auto again = LeftController::make();
    again->loadViewIfNeeded();
    again->reload();
    EXPECT_FALSE(again->loadingApps());
    EXPECT_EQ(again->arrApps().count(), 2u);
    EXPECT_EQ(maker.hits(kMoreApps), 1);
}

TEST_F(SideMenuScreen, TheListIsDueOnceADayAndWhenTheLanguageChanges) {
    auto menu = showMenu();
    storeList(menu, storedList(), 0);
    EXPECT_FALSE(menu->isActivePerDay()) << "fresh list in the current language";
    shown(menu);
    EXPECT_EQ(maker.hits(kMoreApps), 0);
    EXPECT_EQ(menu->arrApps()[std::size_t{0}]["title"].stringValue(), "Stored");

    Clock::advanceVirtual(86400 - 1);
    EXPECT_FALSE(menu->isActivePerDay());
    Clock::advanceVirtual(1);
    EXPECT_TRUE(menu->isActivePerDay()) << "exactly a day old";

    storeList(menu, storedList(), 0, "de");
    EXPECT_TRUE(menu->isActivePerDay()) << "fetched in another language";

    storeList(menu, Value::array(), 0);
    EXPECT_TRUE(menu->isActivePerDay()) << "an empty list counts as none";
    shown(menu);
    EXPECT_EQ(maker.hits(kMoreApps), 1);
    shown(menu);
    EXPECT_EQ(maker.hits(kMoreApps), 1) << "the fetched list is fresh now";
}

TEST_F(SideMenuScreen, OneRequestAtATime) {
    auto menu = showMenu();
    storeList(menu, storedList(), 86400 * 2);
    menu->reload();
    EXPECT_TRUE(menu->loadingApps());
    EXPECT_EQ(menu->arrItems()[2]["items"][std::size_t{0}]["key"].stringValue(), "More Apps")
        << "the single row while loading";
    menu->reload();
    EXPECT_EQ(menu->arrApps()[std::size_t{0}]["title"].stringValue(), "Stored")
        << "a reload meanwhile builds from the store";
    ASSERT_TRUE(pumpMainUntil([&] { return !menu->loadingApps(); }));
    EXPECT_EQ(maker.hits(kMoreApps), 1);
}

TEST_F(SideMenuScreen, BadRepliesKeepTheStoredList) {
    const std::vector<std::pair<std::string, std::string>> replies{
        {"junk", "\x01\x02 not a page"},
        {"empty", ""},
        {"no payload", "<html><body>hello</body></html>"},
        {"not JSON", "<!-- DRAVELINQT:[{\"title\": -->"},
        {"an object", server_pages::replyPage(Value::dictionary({{"title", Value("x")}}))},
        {"enormous junk", std::string(4 << 20, 'x')},
    };
    for (const auto& [name, body] : replies) {
        auto menu = showMenu();
        storeList(menu, storedList(), 86400 * 2);
        const double at = menu->lastInfo()->get("at").dateValue();
        maker.setBody(kMoreApps, body);
        shown(menu);
        EXPECT_EQ(menu->arrApps().count(), 1u) << name;
        EXPECT_EQ(menu->arrApps()[std::size_t{0}]["title"].stringValue(), "Stored") << name;
        EXPECT_EQ(menu->lastInfo()->get("at").dateValue(), at) << name << ": the date stays";
    }
}

TEST_F(SideMenuScreen, AMissingListIsLoggedOnceNotAtEveryOpening) {
    auto told = [](const LogCapture& log) {
        auto lines = log.lines();
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.find("more apps") != std::string::npos; });
    };
    maker.setBody(kMoreApps, "no list here");
    auto menu = showMenu();
    LogCapture log;
    for (int i = 0; i < 4; ++i) shown(menu);
    EXPECT_EQ(maker.hits(kMoreApps), 4) << "asked again at each opening";
    EXPECT_EQ(told(log), 1);

    // A list comes; when the page loses it a day later, that is news again, told once.
    maker.setPayload(kMoreApps, storedList());
    shown(menu);
    EXPECT_EQ(menu->arrApps().count(), 1u);
    Clock::advanceVirtual(86400);
    maker.setBody(kMoreApps, "no list here");
    shown(menu);
    shown(menu);
    EXPECT_EQ(maker.hits(kMoreApps), 7);
    EXPECT_EQ(told(log), 2);
}

TEST_F(SideMenuScreen, AnUnreachableHostKeepsTheStoredList) {
    writeFile("bundle/Info.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
              "<key>KorvaDownloadHost</key><string>http://127.0.0.1:" +
                  std::to_string(LocalServer::closedPort()) + "</string></dict></plist>");
    NSBundle::setMainBundleRoot(folders.pathOf("bundle"));
    auto menu = showMenu();
    storeList(menu, storedList(), 86400 * 2);
    shown(menu);
    EXPECT_EQ(menu->arrApps()[std::size_t{0}]["title"].stringValue(), "Stored");
}

TEST_F(SideMenuScreen, TheServersListIsCheckedEntryByEntry) {
    maker.setPayload(
        kMoreApps,
        Value::array(
            {Value("not an object"), Value(std::int64_t(7)),
             Value::dictionary(
                 {{"title", Value(std::int64_t(3))}, {"url", Value("javascript:alert(1)")}, {"image", Value::array()}}),
             Value::dictionary({{"title", Value("Good")}, {"url", Value("https://ok.invalid/")}})}));
    auto menu = showMenu();
    shown(menu);
    const Value apps = menu->arrApps();
    ASSERT_EQ(apps.count(), 2u) << "elements that are not objects are skipped";
    EXPECT_TRUE(apps[std::size_t{0}]["title"].isNull()) << "a member that is not a string is missing";
    EXPECT_TRUE(apps[std::size_t{0}]["image"].isNull());
    EXPECT_EQ(apps[1]["title"].stringValue(), "Good");

    auto table = menu->tableView();
    table->tapRowAtIndexPath({2, 0});
    table->tapRowAtIndexPath({2, 1});
    EXPECT_EQ(opened(), (std::vector<std::string>{"https://ok.invalid/"})) << "only web addresses open";
}

TEST_F(SideMenuScreen, CorruptOrWrongKindStoreCountsAsNoList) {
    writeFile("data/Library/Caches/LeftController.3", "garbage that is no archive");
    maker.setBody(kMoreApps, "nothing");
    auto menu = showMenu();
    shown(menu);
    EXPECT_EQ(menu->arrItems()[2]["items"][std::size_t{0}]["key"].stringValue(), "More Apps");

    menu->lastInfo()->set(Value("a string"), "moreapps");
    menu->lastInfo()->set(Value(std::int64_t(5)), "at");
    EXPECT_TRUE(menu->isActivePerDay());
    menu->updateApps1();
    EXPECT_EQ(menu->arrApps().count(), 0u);
}
