// The promotion pop-up against a local maker's server: when it fetches, what it chooses, what a
// bad reply leaves behind, when the choice may show, and what the answers remember.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>

#include "app/promo/pop_new_app_view.h"
#include "app/shell/main_controller_base.h"
#include "foundation/language_service.h"
#include "foundation/last_info.h"
#include "foundation/net_services.h"
#include "foundation/string_custom_paths.h"
#include "language/server_pages.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/attributed_string.h"
#include "tests/app/app_test_support.h"
#include "tests/support/local_server.h"
#include "tests/support/run_loop_pump.h"

namespace {

constexpr double kDay = 86400;

class SettableLanguage : public LanguageService {
public:
    std::string device = "fi";
    std::optional<std::string> getDevice() override { return device; }
    std::optional<std::string> getLabel_iso639_2(std::string_view) override { return std::nullopt; }
    std::optional<std::string> getName(std::string_view) override { return std::nullopt; }
    std::optional<std::string> get_iso_639_1_from_iso639_2(std::string_view) override { return std::nullopt; }
};

Value app(const std::string& url, Value extra = Value::dictionary()) {
    Value entry =
        Value::dictionary({{"url", Value(url)}, {"title", Value("Korva Notes")}, {"message", Value("Notes")}});
    if (const ValueDictionary* more = extra.dictionaryPtr())
        for (const auto& [key, value] : *more) entry.set(key, value);
    return entry;
}

std::string pngOfOneColour() {
    UIGraphicsBeginImageContext({8, 8});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto bytes = UIImagePNGRepresentation(image);
    return bytes ? std::string(bytes.value().begin(), bytes.value().end()) : std::string();
}

struct PromotionTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        server.routes().Get(PopNewAppView::kPagePath,
                            [this](const httplib::Request& request, httplib::Response& response) {
                                std::lock_guard lock(mutex);
                                ++hits;
                                lastLang = request.get_param_value("lang");
                                lastName = request.get_param_value("name");
                                response.status = status;
                                response.set_content(page, "text/html; charset=utf-8");
                            });
        server.routes().Get("/notes.png", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(picture, "image/png");
        });
        picture = pngOfOneColour();
        server.start();
        pointHostAt(server.url(""));
        global()->setLcode(language);
        registerPicsAndFilesHost();
        popup = PopNewAppView::make(screen());
    }
    void TearDown() override {
        popup.reset();
        server.stop();
        AppTest::TearDown();
    }
    void pointHostAt(const std::string& host) {
        writeFile("bundle/Info.plist",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                  "<key>CFBundleDisplayName</key><string>Korva</string>"
                  "<key>CFBundleShortVersionString</key><string>2.5</string>"
                  "<key>KorvaDownloadHost</key><string>" +
                      host + "</string></dict></plist>");
        NSBundle::setMainBundleRoot(folders.pathOf("bundle"));
    }
    std::shared_ptr<UIViewController> screen() {
        if (!owner) owner = show(HookScreen::make());
        return owner;
    }
    void serve(const Value& apps) {
        std::lock_guard lock(mutex);
        page = server_pages::replyPage(apps);
        status = 200;
    }
    void serveBody(std::string body, int code = 200) {
        std::lock_guard lock(mutex);
        page = std::move(body);
        status = code;
    }
    int requests() {
        std::lock_guard lock(mutex);
        return hits;
    }
    // Asks the pop-up and waits for its answer; the number of answers is checked too.
    std::optional<bool> ask() {
        int answers = 0;
        std::optional<bool> answer;
        popup->testAvailable([&](bool available) {
            ++answers;
            answer = available;
        });
        EXPECT_TRUE(pumpMainUntil([&] { return answers > 0; }));
        RunLoop::main().runUntilIdle();
        EXPECT_EQ(answers, 1);
        return answer;
    }
    Value stored(const char* key) { return LastInfo::make(popup->store().lastInfo()->path())->get(key); }
    void nextDay() { advance(kDay + 1); }

    LocalServer server;
    std::mutex mutex;
    std::string page, picture, lastLang, lastName;
    int status = 200;
    int hits = 0;
    std::shared_ptr<SettableLanguage> language = std::make_shared<SettableLanguage>();
    std::shared_ptr<UIViewController> owner;
    std::shared_ptr<PopNewAppView> popup;
};

TEST_F(PromotionTest, FetchesOnceADayUnlessTheLanguageChangesAndNeverTwiceAtOnce) {
    serve(Value::array({app("https://apps.korva.invalid/notes")}));
    int answers = 0;
    bool first = true, second = true;
    popup->testAvailable([&](bool a) {
        ++answers;
        first = a;
    });
    popup->testAvailable([&](bool a) {
        ++answers;
        second = a;
    });
    EXPECT_EQ(answers, 1) << "the second test answers at once";
    EXPECT_FALSE(second);
    ASSERT_TRUE(pumpMainUntil([&] { return answers == 2; }));
    EXPECT_FALSE(popup->loading());
    EXPECT_EQ(requests(), 1);
    EXPECT_FALSE(first) << "an app waits at least a second after the first reply";
    EXPECT_EQ(lastLang, "fi");
    EXPECT_EQ(lastName, "Korva");

    advance(kDay);
    EXPECT_EQ(ask(), false);
    EXPECT_EQ(requests(), 1) << "exactly a day later is not yet due";
    advance(0.5);
    EXPECT_EQ(ask(), true);
    EXPECT_EQ(requests(), 2);

    language->device = "sv";
    EXPECT_EQ(ask(), true);
    EXPECT_EQ(requests(), 3) << "a new device language fetches within the day";
    EXPECT_EQ(stored("lang"), Value("sv"));
    EXPECT_EQ(stored("executed"), Value(3));
}

TEST_F(PromotionTest, ChoosesTheFirstEntryThatIsAnAppNeitherInstalledNorDeclined) {
    SystemServices::shared()->setInstalledSchemes({"korvascan"});
    serve(Value::array({Value("not an entry"), Value::dictionary({{"title", Value("no address")}}),
                        Value::dictionary({{"url", Value("")}}), Value::dictionary({{"url", Value(42)}}),
                        app("https://apps.korva.invalid/scan", Value::dictionary({{"scheme", Value("korvascan")}})),
                        app("https://apps.korva.invalid/notes"), app("https://apps.korva.invalid/later")}));
    ask();
    EXPECT_EQ(popup->dict()["url"], Value("https://apps.korva.invalid/notes"));

    popup->onNoThanks();
    nextDay();
    ask();
    EXPECT_EQ(popup->dict()["url"], Value("https://apps.korva.invalid/later"));

    // Only declined or installed apps: nothing stays chosen.
    serve(Value::array({app("https://apps.korva.invalid/notes"),
                        app("https://apps.korva.invalid/scan", Value::dictionary({{"scheme", Value("korvascan")}}))}));
    nextDay();
    EXPECT_EQ(ask(), false);
    EXPECT_EQ(popup->dict().count(), 0u);
    EXPECT_EQ(stored("dict").count(), 0u);
}

TEST_F(PromotionTest, BadRepliesClearTheChoiceButStillCountTheFetch) {
    const std::string refused = "http://127.0.0.1:" + std::to_string(LocalServer::closedPort());
    const std::vector<std::function<void()>> badReplies = {
        [&] { serveBody("<html><body>No comment here</body></html>"); },
        [&] { serveBody("<!-- DRAVELINQT:[{\"url\": -->"); },
        [&] { serveBody("<!-- DRAVELINQT:{\"url\":\"https://apps.korva.invalid/notes\"}-->"); },
        [&] { serveBody(server_pages::replyPage(Value::array({app("https://apps.korva.invalid/notes")})), 500); },
        [&] { pointHostAt(refused); },
    };
    int executed = 0;
    for (const auto& breakReply : badReplies) {
        pointHostAt(server.url(""));
        serve(Value::array({app("https://apps.korva.invalid/notes")}));
        ask();
        ++executed;
        ASSERT_EQ(popup->dict()["url"], Value("https://apps.korva.invalid/notes"));
        nextDay();

        breakReply();
        const double before = stored("at").dateValue();
        EXPECT_EQ(ask(), false);
        ++executed;
        EXPECT_EQ(popup->dict().count(), 0u);
        EXPECT_EQ(stored("dict").count(), 0u);
        EXPECT_GT(stored("at").dateValue(), before) << "the next fetch is a day later";
        EXPECT_EQ(stored("lang"), Value("fi"));
        EXPECT_EQ(stored("executed"), Value(executed));
        nextDay();
    }
}

TEST_F(PromotionTest, AChoiceShowsOnceTheServersCountAndAgeAreReached) {
    // "executed" as a numeric string, "at0" of 0 still means at least a second.
    serve(Value::array(
        {app("https://apps.korva.invalid/notes", Value::dictionary({{"executed", Value("3")}, {"at0", Value(0)}}))}));
    EXPECT_EQ(ask(), false);
    nextDay();
    EXPECT_EQ(ask(), false);
    nextDay();
    EXPECT_EQ(ask(), true);

    // Thresholds the server writes oddly.
    EXPECT_EQ(newAppThreshold(Value("soon")), 1);
    EXPECT_EQ(newAppThreshold(Value(-5)), 1);
    EXPECT_EQ(newAppThreshold(Value(2.9)), 2);
    EXPECT_EQ(newAppThreshold(Value::array()), 1);
    EXPECT_EQ(newAppThreshold(Value("100000")), 100000);
}

TEST_F(PromotionTest, TheAnswersRememberDeclinedAppsAcrossANewPopupOnTheSameFile) {
    serve(Value::array({app("https://apps.korva.invalid/notes"), app("https://apps.korva.invalid/scan")}));
    ask();
    nextDay();
    ASSERT_EQ(ask(), true);
    popup->show(owner->view());
    advance(0.5);
    popup->onYes();
    advance(0.5);
    EXPECT_TRUE(popup->hidden());
    EXPECT_EQ(UIApplication::sharedApplication()->openedURLs().back(), "https://apps.korva.invalid/notes");
    nextDay();
    ask();
    popup->onNoThanks();
    popup->onRemind();

    // A relaunch reads both declines from the file.
    popup = PopNewAppView::make(screen());
    EXPECT_TRUE(popup->denied().setPtr()->contains(Value("https://apps.korva.invalid/notes")));
    EXPECT_TRUE(popup->denied().setPtr()->contains(Value("https://apps.korva.invalid/scan")));
    nextDay();
    EXPECT_EQ(ask(), false);
    EXPECT_EQ(popup->dict().count(), 0u);
}

TEST_F(PromotionTest, ACorruptOrWrongShapedStoreReadsAsEmpty) {
    const std::string path = withLibraryPath("Global.NewApp.4.2.5");
    ASSERT_EQ(popup->store().lastInfo()->path(), path);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(writeFileAtomically(path, "not an archive").ok());
    popup = PopNewAppView::make(screen());
    EXPECT_EQ(popup->dict().count(), 0u);
    serve(Value::array({app("https://apps.korva.invalid/notes")}));
    ask();
    EXPECT_EQ(stored("executed"), Value(1));

    auto file = LastInfo::make(path);
    file->set(Value("junk"), "dict");
    file->set(Value::array({Value("https://apps.korva.invalid/notes")}), "denied");
    file->set(Value("many"), "executed");
    file->set(Value("yesterday"), "at");
    ASSERT_TRUE(file->save());
    popup = PopNewAppView::make(screen());
    EXPECT_EQ(popup->dict().count(), 0u);
    EXPECT_EQ(popup->denied().count(), 0u);
    ask();
    EXPECT_EQ(requests(), 2) << "an \"at\" that is no date makes a fetch due";
    EXPECT_EQ(stored("executed"), Value(1));
    EXPECT_EQ(popup->dict()["url"], Value("https://apps.korva.invalid/notes"));
}

TEST_F(PromotionTest, ThePopupShowsTheChoicesTextAndPicture) {
    serve(Value::array({app("https://apps.korva.invalid/notes",
                            Value::dictionary({{"image", Value(server.url("/notes.png"))}, {"title", Value(7)}}))}));
    ask();
    popup->show(owner->view());
    EXPECT_EQ(popup->attributedText()->string(), "Notes\n\n") << "a title that is no string is empty";
    EXPECT_GE(popup->size().width, 280);
    EXPECT_LE(popup->size().width, owner->view()->frame().size.width - 20);
    EXPECT_TRUE(pumpMainUntil([&] { return popup->iv()->image() != nullptr; }));
    EXPECT_TRUE(std::filesystem::exists(withCachePath("moreapp") + "/" + fileName(server.url("/notes.png"))));
    advance(0.5);
    EXPECT_FALSE(popup->hidden());
    EXPECT_EQ(popup->ts(), -1);
}

// The switcher asks 5 s after loading and shows the pop-up over itself when the answer is yes.
TEST_F(PromotionTest, TheSwitcherShowsAReadyChoiceOverItself) {
    serve(Value::array({app("https://apps.korva.invalid/notes")}));
    ask();  // the first reply is counted by the pop-up of the same file
    nextDay();
    auto switcher = show(MainControllerBase::make());
    ASSERT_TRUE(switcher->popNewApp());
    advance(5.1);
    ASSERT_TRUE(pumpMainUntil([&] { return !switcher->popNewApp()->loading() && requests() == 2; }));
    RunLoop::main().runUntilIdle();
    advance(0.5);
    EXPECT_FALSE(switcher->popNewApp()->hidden());
    EXPECT_EQ(switcher->popNewApp()->bg()->superview(), switcher->view());
    switcher->disappear(false);
    advance(0.5);
    EXPECT_TRUE(switcher->popNewApp()->hidden());
}

}  // namespace
