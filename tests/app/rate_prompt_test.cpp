// The rating prompt: its rules in order, the launch counting, the store lookup against a local
// server, and the answers.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <mutex>

#include "app/app_delegate.h"
#include "app/shell/placeholder_controller.h"
#include "foundation/strings_table.h"
#include "platform/runtime/source_resources.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_read_fault.h"
#include "platform/storage/property_list.h"
#include "platform/storage/user_defaults.h"
#include "platform/text/locale_region.h"
#include "platform/ui/app/sk_store_review_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_alert_view.h"
#include "tests/app/app_test_support.h"
#include "tests/support/local_server.h"

namespace {

constexpr double kDay = 86400;

// A read error of the medium under the user defaults only.
int defaultsFileFails(const std::string& path) {
    return path.find("/Preferences/") != std::string::npos && path.ends_with(".plist") ? EIO : 0;
}

struct RatePromptTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        NSUserDefaults::resetStandardUserDefaults();
        SKStoreReviewController::resetRequestCount();
        server.routes().Get(R"(/(\w+)/lookup)", [this](const httplib::Request& request, httplib::Response& response) {
            // Two lookups can be served at once (a return from the background asks twice).
            std::lock_guard lock(lookupsMutex);
            lookups.push_back(request.path + "?" +
                              (request.has_param("id") ? "id=" + request.get_param_value("id")
                                                       : "bundleId=" + request.get_param_value("bundleId")));
            response.status = status;
            response.set_content(body, "application/json");
        });
        server.start();
    }
    void TearDown() override {
        DispatchQueue::waitUntilBackgroundIdle();
        server.stop();
        setReadFaultForTesting(nullptr);
        NSUserDefaults::resetStandardUserDefaults();
        LocaleRegion::clearOverride();
        AppTest::TearDown();
    }
    std::shared_ptr<RatePrompt> prompt() {
        auto p = RatePrompt::sharedInstance();
        p->lookupBase = "http://127.0.0.1:" + std::to_string(server.port());
        p->applicationBundleID = "app.korva.camera";
        p->applicationVersion = "1.9";
        p->daysUntilPrompt = 3;
        p->usesUntilPrompt = 1;
        return p;
    }
    // Lets the queued launch and any lookup finish.
    void finish() {
        for (int i = 0; i < 3; ++i) {
            RunLoop::main().runUntilIdle();
            DispatchQueue::waitUntilBackgroundIdle();
        }
        RunLoop::main().runUntilIdle();
    }
    void storeKnows(const std::string& version, const std::string& bundle = "app.korva.camera") {
        body = R"({"resultCount":1,"results":[{"bundleId":")" + bundle +
               R"(","trackId":4242,"primaryGenreId":6008,"version":")" + version + R"("}]})";
    }
    LocalServer server;
    std::mutex lookupsMutex;
    std::vector<std::string> lookups;  // guarded by lookupsMutex while the server runs
    int status = 200;
    std::string body = "{}";
};

TEST_F(RatePromptTest, FirstLaunchCountsOneUseAndThreeDaysLaterTheReviewIsRequested) {
    storeKnows("1.9");
    auto p = prompt();
    finish();  // the launch step queued by the prompt itself
    ASSERT_TRUE(p->firstUsed());
    EXPECT_EQ(p->usesCount(), 1);
    EXPECT_EQ(SKStoreReviewController::requestCount(), 0u);
    EXPECT_EQ(p->appStoreID(), 4242u);  // learnt from the store
    EXPECT_EQ(p->appStoreGenreID, 6008u);

    // Three days later, back from the background: the review is requested and counts as a reminder.
    auto app = UIApplication::sharedApplication();
    app->finishLaunching();
    app->becomeActive();
    app->resignActive();
    app->enterBackground();
    Clock::advanceVirtual(3 * kDay + 1);
    app->enterForeground();
    finish();
    EXPECT_EQ(p->usesCount(), 2);
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1u);
    ASSERT_TRUE(p->lastReminded());
    EXPECT_FALSE(p->checkingForPrompt());

    // The next request no earlier than a day later.
    p->promptIfAllCriteriaMet();
    finish();
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1u);
    Clock::advanceVirtual(kDay + 1);
    p->promptIfAllCriteriaMet();
    finish();
    EXPECT_EQ(SKStoreReviewController::requestCount(), 2u);
}

TEST_F(RatePromptTest, TheRulesApplyInOrder) {
    auto p = prompt();
    p->promptAtLaunch = false;
    finish();
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject(Value::date(Clock::absoluteTime() - 10 * kDay), "RatePromptFirstUsed");

    p->setRatedThisVersion(true);
    p->setDeclinedThisVersion(true);
    EXPECT_FALSE(p->shouldPromptForRating());
    EXPECT_NE(p->lastReason().find("already rated this version"), std::string::npos);
    p->applicationVersion = "2.0";
    EXPECT_FALSE(p->shouldPromptForRating());
    EXPECT_NE(p->lastReason().find("promptForNewVersionIfUserRated"), std::string::npos);
    p->promptForNewVersionIfUserRated = true;
    EXPECT_FALSE(p->shouldPromptForRating());
    EXPECT_NE(p->lastReason().find("declined"), std::string::npos);
    p->setRatedThisVersion(false);
    p->setDeclinedThisVersion(false);

    p->usesUntilPrompt = 5;
    EXPECT_FALSE(p->shouldPromptForRating());
    EXPECT_NE(p->lastReason().find("only been used 1 times"), std::string::npos);
    p->eventsUntilPrompt = 2;
    p->logEvent(true);
    p->logEvent(true);
    EXPECT_TRUE(p->shouldPromptForRating());  // either count suffices

    p->usesPerWeekForPrompt = 5;
    EXPECT_FALSE(p->shouldPromptForRating());
    EXPECT_NE(p->lastReason().find("times per week"), std::string::npos);
    p->usesPerWeekForPrompt = 0;

    p->remindLater();
    EXPECT_FALSE(p->shouldPromptForRating());
    EXPECT_NE(p->lastReason().find("reminded"), std::string::npos);

    defaults->setObject(Value::date(Clock::absoluteTime() - kDay), "RatePromptFirstUsed");
    EXPECT_FALSE(p->shouldPromptForRating());
    EXPECT_NE(p->lastReason().find("first used less than"), std::string::npos);

    p->previewMode = true;
    EXPECT_TRUE(p->shouldPromptForRating());
}

TEST_F(RatePromptTest, StoredValuesOfTheWrongKindReadAsDefaults) {
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject(Value("yesterday"), "RatePromptFirstUsed");
    defaults->setObject(Value("many"), "RatePromptUseCount");
    defaults->setObject(Value(7), "RatePromptDeclinedVersion");
    defaults->setObject(Value("x"), "RatePromptAppStoreID");
    auto p = prompt();
    EXPECT_FALSE(p->firstUsed());
    EXPECT_EQ(p->usesCount(), 0);
    EXPECT_FALSE(p->declinedAnyVersion());
    EXPECT_EQ(p->appStoreID(), 0u);
    EXPECT_FALSE(p->shouldPromptForRating());
    finish();
    ASSERT_TRUE(p->firstUsed());  // the launch starts a clean period
    EXPECT_EQ(p->usesCount(), 1);
}

TEST_F(RatePromptTest, AnUpdateAsksNoEarlierThanADayLater) {
    storeKnows("1.9");
    auto p = prompt();
    p->promptAtLaunch = false;
    finish();
    NSUserDefaults::standardUserDefaults()->setObject(Value::date(Clock::absoluteTime() - 30 * kDay),
                                                      "RatePromptFirstUsed");
    p->applicationVersion = "2.0";
    p->applicationLaunched();
    finish();
    EXPECT_NEAR(Clock::absoluteTime() - *p->firstUsed(), 2 * kDay, 1);
    EXPECT_FALSE(p->shouldPromptForRating());
    Clock::advanceVirtual(kDay + 1);
    EXPECT_TRUE(p->shouldPromptForRating());
}

// A start that cannot read the defaults counts its launch in memory only; the user's answers stay
// in the file for the next start, and an answer given meanwhile is laid over the file's values.
TEST_F(RatePromptTest, ALaunchCountedOverAnUnreadableDefaultsFileLeavesTheUsersAnswersInIt) {
    const std::string path = NSUserDefaults::standardUserDefaults()->path();
    const double firstUse = Clock::absoluteTime() - 20 * kDay;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(writePropertyListFile(path,
                                      Value::dictionary({{"RatePromptDeclinedVersion", Value("1.9")},
                                                         {"RatePromptUseCount", Value(12)},
                                                         {"RatePromptFirstUsed", Value::date(firstUse)},
                                                         {"RatePromptLastVersionUsed", Value("1.9")}}),
                                      NSPropertyListBinaryFormat_v1_0)
                    .ok());
    const Bytes answered = readFileData(path).value();
    auto startAgain = [&](ReadFaultCheck fault) {
        setReadFaultForTesting(fault);
        RatePrompt::resetSharedInstance();
        NSUserDefaults::resetStandardUserDefaults();
        auto p = prompt();
        finish();
        return p;
    };

    auto p = startAgain(defaultsFileFails);
    EXPECT_EQ(p->usesCount(), 1);
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->synchronize());
    setReadFaultForTesting(nullptr);
    EXPECT_TRUE(readFileData(path).value() == answered) << "the launch's count replaced the user's file";
    EXPECT_FALSE(std::filesystem::exists(path + ".unreadable"));

    p = startAgain(nullptr);
    EXPECT_TRUE(p->declinedThisVersion());
    EXPECT_EQ(p->usesCount(), 13);
    EXPECT_EQ(p->firstUsed(), firstUse);

    // The read error passes before the user asks to be reminded: the file's count and first use
    // win over those the unread start made up.
    p = startAgain(defaultsFileFails);
    setReadFaultForTesting(nullptr);
    Clock::advanceVirtual(kDay);
    p->remindLater();
    auto disk = NSUserDefaults::make(path);
    EXPECT_EQ(disk->stringForKey("RatePromptDeclinedVersion"), "1.9");
    EXPECT_EQ(disk->integerForKey("RatePromptUseCount"), 13);
    EXPECT_EQ(disk->objectForKey("RatePromptFirstUsed").dateValue(), firstUse);
    EXPECT_EQ(disk->objectForKey("RatePromptLastReminded").dateValue(), Clock::absoluteTime());
    EXPECT_TRUE(p->declinedThisVersion()) << "the prompt reads the merged values";
    EXPECT_FALSE(std::filesystem::exists(path + ".unreadable"));
}

TEST_F(RatePromptTest, TheStoreCountryFollowsTheLocaleRegion) {
    EXPECT_EQ(RatePrompt::storeCountryForRegion("150"), "eu");
    EXPECT_EQ(RatePrompt::storeCountryForRegion("GI"), "GB");
    EXPECT_EQ(RatePrompt::storeCountryForRegion(std::nullopt), "us");
    EXPECT_EQ(RatePrompt::storeCountryForRegion("F"), "us");
    EXPECT_EQ(RatePrompt::storeCountryForRegion("1A"), "us");
    EXPECT_EQ(RatePrompt::storeCountryForRegion("FI"), "FI");
    LocaleRegion::setOverride("150", {});
    RatePrompt::resetSharedInstance();
    auto p = prompt();
    finish();
    ASSERT_FALSE(lookups.empty());
    EXPECT_EQ(lookups[0], "/eu/lookup?bundleId=app.korva.camera");
}

// One lookup made to prompt, with a stored store identifier, and how it ends.
struct LookupCase {
    const char* name;
    int status;
    std::string body;
    bool prompts;
};

TEST_F(RatePromptTest, LookupOutcomesEndTheAttemptAndALaterPromptStillRuns) {
    auto p = prompt();
    p->promptAtLaunch = false;
    finish();
    NSUserDefaults::standardUserDefaults()->setObject(Value::date(Clock::absoluteTime() - 10 * kDay),
                                                      "RatePromptFirstUsed");
    const std::string ok = R"({"results":[{"bundleId":"APP.korva.camera","version":"1.9","trackId":4242}]})";
    const std::vector<LookupCase> cases = {
        {"404", 404, "{}", false},
        {"bundle mismatch", 200, R"({"results":[{"bundleId":"other.app","version":"1.9"}]})", false},
        {"unknown app", 200, R"({"results":[]})", false},
        {"newer store version", 200, R"({"results":[{"bundleId":"app.korva.camera","version":"1.10"}]})", false},
        {"junk", 200, "<html>not json", false},
        {"wrong shape", 200, R"({"results":{"bundleId":"app.korva.camera"}})", false},
        {"success", 200, ok, true},
    };
    p->setAppStoreIDOnMainThread(4242);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SKStoreReviewController::resetRequestCount();
        NSUserDefaults::standardUserDefaults()->removeObjectForKey("RatePromptLastReminded");
        status = c.status;
        body = c.body;
        p->promptIfAllCriteriaMet();
        EXPECT_TRUE(p->checkingForPrompt());
        p->promptIfNetworkAvailable();  // a second while one runs: no second lookup
        finish();
        EXPECT_FALSE(p->checkingForPrompt());
        EXPECT_FALSE(p->checkingForAppStoreID());
        EXPECT_EQ(SKStoreReviewController::requestCount(), c.prompts ? 1u : 0u);
    }
    EXPECT_EQ(lookups.size(), cases.size() + 1);  // plus the launch's own
    EXPECT_EQ(lookups.back(), "/us/lookup?id=4242");
}

TEST_F(RatePromptTest, AnUnknownAppWithoutAnIdentifierIsNotAnError) {
    auto p = prompt();
    p->promptAtLaunch = false;
    finish();
    NSUserDefaults::standardUserDefaults()->setObject(Value::date(Clock::absoluteTime() - 10 * kDay),
                                                      "RatePromptFirstUsed");
    int failures = 0;
    auto token =
        NSNotificationCenter::defaultCenter()->addObserver("RatePromptCouldNotConnectToAppStore", nullptr, nullptr,
                                                           [&](const std::shared_ptr<NSNotification>&) { ++failures; });
    body = R"({"results":[]})";
    p->promptIfAllCriteriaMet();
    finish();
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(p->checkingForPrompt());
    EXPECT_EQ(SKStoreReviewController::requestCount(), 0u);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

// Answers the visible alert, whichever kind it is, with the button at the index.
void answerAlert(const std::shared_ptr<RatePrompt>& p, long index) {
    if (auto view = std::dynamic_pointer_cast<UIAlertView>(p->visibleAlert())) {
        view->alertController()->chooseAction(view->alertController()->actions()[static_cast<std::size_t>(index)]);
    } else if (auto controller = std::dynamic_pointer_cast<UIAlertController>(p->visibleAlert())) {
        controller->chooseAction(controller->actions()[static_cast<std::size_t>(index)]);
    }
}

TEST_F(RatePromptTest, TheOwnAlertAnswersByIndexWithAndWithoutCancel) {
    auto p = prompt();
    p->promptAtLaunch = false;
    finish();
    auto delegate = AppDelegate::make();
    delegate->setWindow(window);
    UIApplication::sharedApplication()->setDelegate(delegate);
    show(PlaceholderController::make());
    for (bool controller : {false, true}) {
        SCOPED_TRACE(controller ? "alert controller" : "alert view");
        p->useUIAlertControllerIfAvailable = controller;
        p->setDeclinedThisVersion(false);
        p->setRatedThisVersion(false);
        p->customCancelButtonLabel.reset();
        p->promptForRating(true);
        ASSERT_TRUE(p->visibleAlert());
        EXPECT_EQ(std::dynamic_pointer_cast<UIAlertView>(p->visibleAlert()) != nullptr, !controller);
        auto first = p->visibleAlert();
        p->promptForRating(true);  // one at a time
        EXPECT_EQ(p->visibleAlert(), first);
        advance(0.5);
        answerAlert(p, 2);  // remind
        finish();
        advance(0.5);
        EXPECT_TRUE(p->lastReminded());
        EXPECT_FALSE(p->visibleAlert());

        p->customCancelButtonLabel = "";
        EXPECT_FALSE(p->showCancelButton());
        p->promptForRating(true);
        NSUserDefaults::standardUserDefaults()->removeObjectForKey("RatePromptLastReminded");
        advance(0.5);
        answerAlert(p, 1);  // without cancel, 1 reminds and nothing declines
        finish();
        advance(0.5);
        EXPECT_TRUE(p->lastReminded());
        EXPECT_FALSE(p->declinedAnyVersion());

        p->customCancelButtonLabel.reset();
        p->promptForRating(true);
        advance(0.5);
        answerAlert(p, 1);
        finish();
        advance(0.5);
        EXPECT_TRUE(p->declinedThisVersion());

        p->setAppStoreIDOnMainThread(4242);
        p->promptForRating(true);
        advance(0.5);
        answerAlert(p, 0);
        finish();
        advance(0.5);
        EXPECT_TRUE(p->ratedThisVersion());
        EXPECT_EQ(UIApplication::sharedApplication()->openedURLs().back(),
                  "itms-apps://" + p->reviewHost + "/app/id4242?action=write-review");
        EXPECT_EQ(
            window->rootViewController()
                ? std::dynamic_pointer_cast<UIViewController>(window->rootViewController())->presentedViewController()
                : nullptr,
            nullptr);
    }
}

// A delegate that records the events and answers the two questions as told.
struct RecordingDelegate : RatePromptDelegate {
    std::vector<std::string> events;
    std::optional<bool> shouldPrompt, shouldOpen;
    void RatePromptDidPromptForRating() override { events.push_back("prompted"); }
    void RatePromptUserDidAttemptToRateApp() override { events.push_back("rate"); }
    void RatePromptUserDidRequestReminderToRateApp() override { events.push_back("remind"); }
    void RatePromptDidOpenAppStore() override { events.push_back("opened"); }
    void RatePromptCouldNotConnectToAppStore(const std::shared_ptr<NSError>&) override { events.push_back("failed"); }
    std::optional<bool> RatePromptShouldPromptForRating() override { return shouldPrompt; }
    std::optional<bool> RatePromptShouldOpenAppStore() override { return shouldOpen; }
};

struct ListeningAppDelegate : AppDelegate, RecordingDelegate {
    KORVA_MAKE(ListeningAppDelegate)

protected:
    ListeningAppDelegate() = default;
};

TEST_F(RatePromptTest, TheDelegateHearsEachEventAndMayHoldThePromptOrThePageBack) {
    auto p = prompt();
    p->promptAtLaunch = false;
    finish();
    auto listener = std::make_shared<RecordingDelegate>();
    p->setDelegate(listener);
    int notified = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserver(
        "RatePromptDidPromptForRating", nullptr, nullptr, [&](const std::shared_ptr<NSNotification>&) { ++notified; });

    storeKnows("1.9");
    p->previewMode = true;
    listener->shouldPrompt = false;
    p->promptIfAllCriteriaMet();
    finish();
    EXPECT_TRUE(listener->events.empty()) << "the delegate held the prompt back";
    EXPECT_EQ(SKStoreReviewController::requestCount(), 0u);

    listener->shouldPrompt.reset();
    p->promptIfAllCriteriaMet();
    finish();
    EXPECT_EQ(listener->events, (std::vector<std::string>{"remind", "prompted"}));
    EXPECT_EQ(notified, 1);

    listener->events.clear();
    listener->shouldOpen = false;
    p->rate();
    EXPECT_EQ(listener->events, std::vector<std::string>{"rate"});
    listener->shouldOpen = true;
    UIApplication::sharedApplication()->setURLOpener([](const std::string&) { return true; });
    p->rate();
    finish();
    EXPECT_EQ(listener->events, (std::vector<std::string>{"rate", "rate", "opened"}));
    NSNotificationCenter::defaultCenter()->removeObserver(token);

    // Without a delegate of its own, the application's delegate is asked when it is one.
    p->setDelegate(nullptr);
    auto appDelegate = ListeningAppDelegate::make();
    UIApplication::sharedApplication()->setDelegate(appDelegate);
    EXPECT_EQ(p->delegate().get(), static_cast<RatePromptDelegate*>(appDelegate.get()));
    UIApplication::sharedApplication()->setDelegate(nullptr);
}

TEST_F(RatePromptTest, TextsComeFromTheBundleInTheUsersLanguageAndTheApplicationsOwnWin) {
    writeFile("bundle/RatePrompt.bundle/en.lproj/Localizable.strings", "\"RatePromptRateButton\" = \"Rate now\";\n");
    writeFile("bundle/RatePrompt.bundle/fi.lproj/Localizable.strings",
              "\"RatePromptRateButton\" = \"Arvioi nyt\";\n\"RatePromptMessageTitle\" = \"Arvioi %@\";\n");
    struct Case {
        std::vector<std::string> languages;
        bool useAll;
        std::string folder, rate;
    };
    const std::vector<Case> cases = {{{"fi-FI"}, true, "fi.lproj", "Arvioi nyt"},
                                     {{"fi"}, true, "fi.lproj", "Arvioi nyt"},
                                     {{"pt-BR"}, true, "", "Rate now"},
                                     {{}, true, "en.lproj", "Rate now"},
                                     {{"fi-FI"}, false, "", "Rate now"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.languages.empty() ? "none" : c.languages.front());
        LocaleRegion::setOverride(std::nullopt, c.languages);
        RatePrompt::resetSharedInstance();
        auto p = prompt();
        p->useAllAvailableLanguages = c.useAll;
        p->applicationName = "Korva";
        EXPECT_EQ(p->rateButtonLabel(), c.rate);
        EXPECT_EQ(p->remindButtonLabel(), "Remind Me Later") << "a key the bundle lacks keeps its default";
        RatePromptTexts texts(c.useAll);
        EXPECT_EQ(texts.chosenFolder(), c.folder);
    }
    EXPECT_EQ(prompt()->messageTitle(), "Rate Korva");

    // The application's own strings win over the bundle's.
    writeFile("bundle/en.lproj/Localizable.strings", "\"RatePromptRateButton\" = \"Rate Korva\";\n");
    RatePrompt::resetSharedInstance();
    EXPECT_EQ(prompt()->rateButtonLabel(), "Rate Korva");
}

TEST_F(RatePromptTest, TheShippedTextsHaveEveryKeyInEveryLanguage) {
    const std::filesystem::path shipped = std::filesystem::path(kSourceResourcesFolder) / "RatePrompt.bundle";
    int languages = 0;
    for (const auto& folder : std::filesystem::directory_iterator(shipped)) {
        SCOPED_TRACE(folder.path().filename().string());
        auto table = readStringsTable((folder.path() / "Localizable.strings").string());
        ASSERT_TRUE(table);
        for (const char* key :
             {"RatePromptMessageTitle", "RatePromptAppMessage", "RatePromptGameMessage", "RatePromptUpdateMessage",
              "RatePromptCancelButton", "RatePromptRateButton", "RatePromptRemindButton"})
            EXPECT_TRUE(table.value()[key].isString()) << key;
        ++languages;
    }
    EXPECT_GE(languages, 2);
}

TEST_F(RatePromptTest, TextsNameTheApplication) {
    auto p = prompt();
    p->applicationName = "Korva";
    EXPECT_EQ(p->messageTitle(), "Rate Korva");
    EXPECT_NE(p->message().find("enjoy using Korva"), std::string::npos);
    p->appStoreGenreID = RatePrompt::kGameGenreID;
    EXPECT_NE(p->message().find("enjoy playing Korva"), std::string::npos);
    EXPECT_EQ(p->cancelButtonLabel(), "No, Thanks");
    EXPECT_EQ(p->remindButtonLabel(), "Remind Me Later");
    EXPECT_EQ(p->rateButtonLabel(), "Rate It Now");
}

}  // namespace
