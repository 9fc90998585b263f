// The device language, the current code and the recents list with their store.
#include <gtest/gtest.h>

#include "foundation/addr_service.h"
#include "foundation/download_service.h"
#include "foundation/last_info.h"
#include "foundation/service_factory.h"
#include "foundation/string_custom_paths.h"
#include "foundation/upload_service.h"
#include "language/country_code.h"
#include "language/language_code.h"
#include "language/language_services.h"
#include "platform/runtime/log.h"
#include "platform/text/ns_locale.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

using List = std::vector<std::string>;

const List kDefaults = {"en", "ko", "es", "ja", "zh-cn", "zh-tw", "de", "fr", "it", "ru", "pt", "vi", "tr"};

class DeviceLanguageTest : public TempSandboxTest {
protected:
    void SetUp() override {
        TempSandboxTest::SetUp();
        NSLocale::setPreferredLanguagesForTesting(List{"en-US"});
    }
    void TearDown() override {
        NSLocale::setPreferredLanguagesForTesting(std::nullopt);
        ServiceFactory<LanguageService>::registerMaker(nullptr);
        ServiceFactory<CountryCode>::registerMaker(nullptr);
        ServiceFactory<AddrService>::registerMaker(nullptr);
        ServiceFactory<UploadService>::registerMaker(nullptr);
        ServiceFactory<DownloadService>::registerMaker(nullptr);
        TempSandboxTest::TearDown();
    }

    static std::shared_ptr<LastInfo> store() { return LastInfo::make(withLibraryPath("LanguageCode.1")); }
    static void storeValues(Value code, Value recents) {
        auto s = store();
        s->set(std::move(code), "code");
        s->set(std::move(recents), "recents");
        ASSERT_TRUE(s->save());
    }
    static List withDevice(const std::string& device) {
        List list{device};
        for (const auto& code : kDefaults) {
            if (code != device) list.push_back(code);
        }
        return list;
    }
};

}  // namespace

TEST_F(DeviceLanguageTest, PlatformIdentifiersBecomeTheApplicationsCodes) {
    auto codes = LanguageCode::make();
    for (auto [identifier, code] : {std::pair{"zh-Hans-CN", "zh-cn"},
                                    {"zh-Hans", "zh-cn"},
                                    {"yue-Hans-CN", "zh-cn"},
                                    {"zh-Hant-TW", "zh-tw"},
                                    {"zh-Hant-HK", "zh-tw"},
                                    {"zh-HK", "zh-tw"},
                                    {"yue-Hant-HK", "zh-tw"},
                                    {"ZH-HANS", "zh-cn"},
                                    {"fr-CA", "fr-ca"},
                                    {"fr-FR", "fr"},
                                    {"pt-BR", "pt-br"},
                                    {"pt-PT", "pt"},
                                    {"es-419", "es-419"},
                                    {"es-MX", "es"},
                                    {"xx-YY", "xx"},
                                    {"en-US", "en"},
                                    {"haw-US", "haw"},
                                    {"en-emoji", "emoji"},
                                    {"", "zh-cn"},
                                    {"-US", "zh-cn"}}) {
        EXPECT_EQ(codes->parseFormal(identifier), code) << identifier;
    }
    // Two special keys: the earlier one in the fixed order decides.
    EXPECT_EQ(codes->parseFormal("zh-Hant-zh-Hans"), "zh-cn");
}

TEST_F(DeviceLanguageTest, DeviceLanguageComesFromTheFirstPreferredLanguageOncePerObject) {
    NSLocale::setPreferredLanguagesForTesting(List{"pt-BR", "en"});
    auto codes = LanguageCode::make();
    EXPECT_EQ(codes->getDevice(), "pt-br");
    NSLocale::setPreferredLanguagesForTesting(List{"de-DE"});
    EXPECT_EQ(codes->getDevice(), "pt-br");
    EXPECT_EQ(LanguageCode::make()->getDevice(), "de");

    NSLocale::setPreferredLanguagesForTesting(List{});
    EXPECT_EQ(LanguageCode::make()->getDevice(), "en");
}

TEST_F(DeviceLanguageTest, DefaultRecentsFollowTheDeviceLanguageAndStayInMemory) {
    auto english = LanguageCode::make();
    EXPECT_EQ(english->recents(), kDefaults);
    EXPECT_EQ(english->recents().size(), 13u);
    EXPECT_EQ(english->code(), "en");

    NSLocale::setPreferredLanguagesForTesting(List{"th-TH"});
    auto thai = LanguageCode::make();
    EXPECT_EQ(thai->recents().size(), 14u);
    EXPECT_EQ(thai->recents(), withDevice("th"));
    EXPECT_FALSE(store()->exists());
}

TEST_F(DeviceLanguageTest, MakeRecentMovesToTheFrontAndSaves) {
    auto codes = LanguageCode::make();
    codes->makeRecent("de");
    List expected = withDevice("de");
    EXPECT_EQ(codes->recents(), expected);
    EXPECT_EQ(store()->get("code").stringValue(), "en");
    EXPECT_EQ(store()->get("recents").count(), 13u);
    EXPECT_EQ(store()->get("recents")[std::size_t(0)].stringValue(), "de");

    codes->makeRecent("de");
    EXPECT_EQ(codes->recents(), expected);
    codes->makeRecent("xx-YY");
    EXPECT_EQ(codes->recents().front(), "xx-YY");
    EXPECT_EQ(codes->recents().size(), 14u);
    // An empty code names nothing and changes nothing.
    codes->makeRecent("");
    EXPECT_EQ(codes->recents().size(), 14u);

    // A fresh object reads the store again, whatever the device says now.
    NSLocale::setPreferredLanguagesForTesting(List{"ja-JP"});
    auto fresh = LanguageCode::make();
    EXPECT_EQ(fresh->code(), "en");
    EXPECT_EQ(fresh->recents().front(), "xx-YY");
    EXPECT_EQ(fresh->recents().size(), 14u);
    EXPECT_EQ(fresh->languageName(), "English");
}

TEST_F(DeviceLanguageTest, SetCodeAndSetRecentsStayInMemoryUntilSaved) {
    auto codes = LanguageCode::make();
    codes->setCode("fi");
    codes->setRecents({"fi", "sv"});
    EXPECT_FALSE(store()->exists());
    codes->save();
    EXPECT_EQ(store()->get("code").stringValue(), "fi");
    EXPECT_EQ(store()->get("recents").count(), 2u);
}

TEST_F(DeviceLanguageTest, WrongKindOrCorruptStoreFallsBackWithALogLine) {
    LogCapture log;
    storeValues(Value(int64_t(7)), Value("de"));
    auto codes = LanguageCode::make();
    EXPECT_EQ(codes->code(), "en");
    EXPECT_EQ(codes->recents(), kDefaults);
    EXPECT_GE(log.lines().size(), 2u);

    // Only the string elements of a stored list are kept; none left means no list.
    storeValues(Value(""), Value::array({Value("ko"), Value(int64_t(3)), Value::dictionary(), Value("fi")}));
    EXPECT_EQ(LanguageCode::make()->recents(), (List{"ko", "fi"}));
    storeValues(Value("sv"), Value::array({Value(int64_t(3)), Value(true)}));
    auto mixed = LanguageCode::make();
    EXPECT_EQ(mixed->recents(), kDefaults);
    EXPECT_EQ(mixed->code(), "sv");
    storeValues(Value("sv"), Value::array());
    EXPECT_EQ(LanguageCode::make()->recents(), kDefaults);

    // An unreadable file gives an empty store; it is set aside, not destroyed.
    writeFile("data/Library/LanguageCode.1", "not an archive");
    auto broken = LanguageCode::make();
    EXPECT_EQ(broken->code(), "en");
    EXPECT_EQ(broken->recents(), kDefaults);
    broken->makeRecent("fr");
    EXPECT_EQ(LanguageCode::make()->recents().front(), "fr");
}

TEST_F(DeviceLanguageTest, TheGlobalServiceIsTheLanguageCode) {
    registerLanguageServices();
    auto service = Global::shared()->lcode();
    ASSERT_TRUE(std::dynamic_pointer_cast<LanguageCode>(service));
    EXPECT_EQ(service->getDevice(), "en");
    EXPECT_EQ(service->getLabel_iso639_2("ger"), "Deutsch (German)");
    EXPECT_TRUE(Global::shared()->ccode());
}
