// Links, language codes, error texts and contact names.
#include "foundation/links.h"

#include <gtest/gtest.h>

#include "foundation/string_custom_values.h"
#include "platform/net/url.h"
#include "platform/ui/app/ui_application.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

class LinksTest : public TempSandboxTest {
protected:
    void TearDown() override {
        UIApplication::resetSharedApplication();
        TempSandboxTest::TearDown();
    }
};

TEST_F(LinksTest, LanguageCodesSplitAtTheFirstDash) {
    Value split = splitLanguageCountryCode("zh-Hant-TW");
    EXPECT_EQ(split["lcode"], Value("zh"));
    EXPECT_EQ(split["ccode"], Value("Hant-TW"));
    Value plain = splitLanguageCountryCode("en");
    EXPECT_EQ(plain.count(), 1u);
    EXPECT_EQ(plain["lcode"], Value("en"));
    EXPECT_EQ(languageCodeOnly("pt-BR"), "pt");
    EXPECT_EQ(languageCodeOnly(""), "");
}

TEST_F(LinksTest, TranslationLinksCarryTheEscapedQuery) {
    Global::shared()->setGoogleTranslateLangCode(std::string("zh-tw"));
    std::string link = googleTranslate("a b&c", std::nullopt);
    EXPECT_EQ(link.rfind("https://", 0), 0u);
    EXPECT_NE(link.find("/?op=translate&sl=auto&tl=zh-TW&text=a%20b%26c"), std::string::npos) << link;
    Global::shared()->setGoogleTranslateLangCode(std::string("fi"));
    EXPECT_NE(googleTranslate("x", std::string("en")).find("sl=en&tl=fi&"), std::string::npos);
    EXPECT_NE(urlContent("id=5&x").find("?id=5&x"), std::string::npos);
}

// Only names that can never reach another machine: the ".invalid" top-level domain and loopback.
bool isReservedHost(const std::string& address) {
    auto url = NSURL::URLWithString(address.find("://") == std::string::npos ? "https://" + address : address);
    if (!url) return false;
    const std::string& host = url->host();
    const std::string invalid = ".invalid";
    bool underInvalid = host.size() > invalid.size() && host.ends_with(invalid);
    return underInvalid || host == "127.0.0.1" || host == "localhost" || host == "::1";
}

TEST_F(LinksTest, NoServerAddressLeavesTheReservedNames) {
    // Without configuration (the test bundle names no hosts): the built-in fallbacks.
    auto g = Global::shared();
    g->setGoogleTranslateLangCode(std::string("fi"));
    for (const std::string& address : {g->appUrlString(), googleTranslate("x", std::nullopt), urlContent("q")})
        EXPECT_TRUE(isReservedHost(address)) << address;

    // The shipped configuration.
    NSBundle::setMainBundleRoot("");
    Global::resetSharedForTesting();
    g = Global::shared();
    g->setGoogleTranslateLangCode(std::string("fi"));
    for (const std::string& address : {g->appUrlString(), googleTranslate("x", std::nullopt), urlContent("q")})
        EXPECT_TRUE(isReservedHost(address)) << address;
    for (const char* key : {"KorvaServerHost", "KorvaTranslateHost", "KorvaShareURL", "KorvaStoreHost"}) {
        std::string value = configuredString(key);
        EXPECT_FALSE(value.empty()) << key;
        EXPECT_TRUE(isReservedHost(value)) << key << " = " << value;
    }
    Value others = NSBundle::mainBundle()->objectForInfoDictionaryKey("KorvaOtherHosts");
    if (others.isArray()) {
        for (const Value& host : *others.arrayPtr())
            EXPECT_TRUE(isReservedHost(host.stringValue())) << host.stringValue();
    }
}

TEST_F(LinksTest, OpeningAsksTheSystemFirst) {
    auto app = UIApplication::sharedApplication();
    EXPECT_FALSE(openURL("https://127.0.0.1/app"));  // nothing can open it yet
    app->setURLOpener([](const std::string&) { return true; });
    EXPECT_FALSE(openURL("not a url"));
    EXPECT_TRUE(app->openedURLs().empty());
    EXPECT_TRUE(openURL("https://127.0.0.1/app"));
    loop().runUntilIdle();
    ASSERT_FALSE(app->openedURLs().empty());
    EXPECT_EQ(app->openedURLs().back(), "https://127.0.0.1/app");
}

TEST_F(LinksTest, ErrorTextsPreferTheFailureReason) {
    auto both = NSError::make(
        "d", 1,
        Value::dictionary({{NSLocalizedDescriptionKey, "described"}, {NSLocalizedFailureReasonKey, "because"}}));
    EXPECT_EQ(desc(*both), "because");
    auto described = NSError::make("d", 1, Value::dictionary({{NSLocalizedDescriptionKey, "described"}}));
    EXPECT_EQ(desc(*described), "described");
    EXPECT_FALSE(desc(*NSError::make("d", 2)).empty());
}

TEST_F(LinksTest, ContactNames) {
    CNContact person;
    person.givenName = "Anna";
    person.familyName = "Berg";
    person.departmentName = " Sales ";
    EXPECT_EQ(name1(person), "Anna Berg");
    EXPECT_EQ(title(person), "Anna Berg");
    EXPECT_EQ(subtitle(person), "Sales");
    EXPECT_EQ(initial(person), "AB");

    CNContact company;
    company.departmentName = " Sales ";
    EXPECT_EQ(name2(company), "Sales");
    EXPECT_EQ(title(company), "Sales");
    EXPECT_FALSE(subtitle(company));
    company.organizationName = "Korva Oy";
    EXPECT_EQ(name2(company), "Korva Oy Sales");
    EXPECT_EQ(initial(company), initial(std::string_view("Korva Oy")));

    CNContact blanks;
    blanks.organizationName = "";
    blanks.departmentName = "";
    EXPECT_EQ(name2(blanks), "");
    CNContact nobody;
    EXPECT_FALSE(name2(nobody));
    EXPECT_FALSE(title(nobody));
    EXPECT_EQ(initial(nobody), initial(std::string_view("Noname")));
}

}  // namespace
