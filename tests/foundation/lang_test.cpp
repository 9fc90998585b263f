// String lookup: the bundle's string tables, the remote table with its daily refresh, and the
// string-table reader.
#include "foundation/lang.h"

#include "foundation/addr_service.h"
#include "foundation/date_custom.h"
#include "foundation/language_service.h"
#include "foundation/last_info.h"
#include "foundation/service_factory.h"
#include "foundation/string_custom_paths.h"
#include "foundation/strings_table.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

class DeviceLanguage : public LanguageService {
public:
    std::optional<std::string> getDevice() override { return *code; }
    std::optional<std::string> getLabel_iso639_2(std::string_view) override { return std::nullopt; }
    std::optional<std::string> getName(std::string_view) override { return std::nullopt; }
    std::optional<std::string> get_iso_639_1_from_iso639_2(std::string_view) override { return std::nullopt; }
    std::shared_ptr<std::string> code;
};

// An address book whose answers the test hands out.
class QueuedBook : public AddrService {
public:
    void stringTable(std::function<void(Value)> completion) override { pending.push_back(std::move(completion)); }
    std::vector<std::function<void(Value)>> pending;
};

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

}  // namespace

class LangTest : public TempSandboxTest {
protected:
    void SetUp() override {
        TempSandboxTest::SetUp();
        language_ = std::make_shared<std::string>("fi");
        book_ = std::make_shared<QueuedBook>();
        ServiceFactory<LanguageService>::registerMaker([code = language_] {
            auto tables = std::make_shared<DeviceLanguage>();
            tables->code = code;
            return tables;
        });
        ServiceFactory<AddrService>::registerMaker([book = book_] { return book; });
    }
    void TearDown() override {
        ServiceFactory<LanguageService>::registerMaker(nullptr);
        ServiceFactory<AddrService>::registerMaker(nullptr);
        TempSandboxTest::TearDown();
    }
    std::shared_ptr<std::string> language_;
    std::shared_ptr<QueuedBook> book_;
};

TEST_F(LangTest, BundleLookupAnswersTheKeyWhenNothingIsKnown) {
    writeFile("bundle/en.lproj/Localizable.strings",
              "/* menu */\n\"Settings\" = \"Asetukset\";\n// note\n\"Quote\" = \"a \\\"b\\\"\\n\\u00e4\";\n");
    NSBundle::setMainBundleRoot(pathOf("bundle"));
    auto lang = Global::shared()->lang();
    EXPECT_EQ(lang->get("Settings"), "Asetukset");
    EXPECT_EQ(lang->get("Quote"), "a \"b\"\n\xC3\xA4");
    EXPECT_EQ(lang->get("Unknown key"), "Unknown key");
    EXPECT_TRUE(book_->pending.empty());  // the application's lookup never fetches
}

TEST_F(LangTest, BrokenBundleTableGivesTheKeys) {
    writeFile("bundle/en.lproj/Localizable.strings", "\"a\" = \"unterminated");
    NSBundle::setMainBundleRoot(pathOf("bundle"));
    EXPECT_EQ(Global::shared()->lang()->get("a"), "a");
}

TEST_F(LangTest, RemoteTableValuesByLanguageWithObjectPlaceholders) {
    auto lang = LangBase::make();  // a fetch is due at once
    ASSERT_EQ(book_->pending.size(), 1u);
    EXPECT_TRUE(lang->loading());
    lang->get("x");  // no second fetch while one is in flight
    EXPECT_EQ(book_->pending.size(), 1u);
    book_->pending[0](Value::dictionary({
        {"plain", Value("all %s here")},
        {"byLang", Value::dictionary({{"fi", Value("hei %s")}, {"en", Value("hi")}})},
        {"other", Value::dictionary({{"en", Value("only english")}})},
        {"empty", Value::dictionary({{"fi", Value("")}})},
    }));
    EXPECT_FALSE(lang->loading());
    EXPECT_EQ(lang->get("plain"), "all %@ here");
    EXPECT_EQ(lang->get("byLang"), "hei %@");
    EXPECT_EQ(lang->get("other"), "other");
    EXPECT_EQ(lang->get("empty"), "empty");
    EXPECT_EQ(lang->get("missing %s"), "missing %@");

    auto stored = LastInfo::make(lang->lastInfo()->path());
    EXPECT_EQ(stored->get("lang").stringValue(), "fi");
    EXPECT_EQ(stored->get("at").dateValue(), dateNow());
    EXPECT_TRUE(stored->get("dict").isDictionary());
}

TEST_F(LangTest, RemoteTableIsFetchedAgainAfterADayOrALanguageChange) {
    auto lang = LangBase::make();
    book_->pending[0](Value::dictionary({{"k", Value("v")}}));
    EXPECT_FALSE(lang->isActive());
    loop().advance(86399);
    EXPECT_FALSE(lang->isActive());
    loop().advance(1);
    EXPECT_TRUE(lang->isActive());

    auto fresh = LangBase::make();
    ASSERT_EQ(book_->pending.size(), 2u);
    book_->pending[1](Value::dictionary({{"k", Value("v2")}}));
    EXPECT_FALSE(fresh->isActive());
    *language_ = "de";
    EXPECT_TRUE(fresh->isActive());
}

TEST_F(LangTest, FailedFetchChangesNothingAndAllowsAnother) {
    auto lang = LangBase::make();
    book_->pending[0](Value());
    EXPECT_FALSE(lang->loading());
    EXPECT_EQ(lang->get("k"), "k");
    EXPECT_EQ(book_->pending.size(), 2u);  // the lookup asked again
    EXPECT_FALSE(lang->lastInfo()->exists());
}

TEST_F(LangTest, AnswerAfterTheLookupIsGoneIsIgnored) {
    { auto lang = LangBase::make(); }
    book_->pending[0](Value::dictionary({{"k", Value("v")}}));
    EXPECT_FALSE(existFile(pathOf("data/Library/Global.Lang.5")));
}

TEST(StringsTable, ReadsTextAndPropertyListFormsAndRejectsJunk) {
    auto text = parseStringsTable(bytesOf("\"a\" = \"1\"; b = two; \"c\";"));
    ASSERT_TRUE(text.ok());
    EXPECT_EQ((*text)["a"].stringValue(), "1");
    EXPECT_EQ((*text)["b"].stringValue(), "two");
    EXPECT_EQ((*text)["c"].stringValue(), "c");

    auto pair = parseStringsTable(bytesOf("\"e\" = \"\\UD83D\\Ude00\\UD83D!\";"));
    ASSERT_TRUE(pair.ok());
    EXPECT_EQ((*pair)["e"].stringValue(), "\xF0\x9F\x98\x80\xEF\xBF\xBD!");

    Bytes utf16 = {0xFF, 0xFE, '"', 0, 'k', 0, '"', 0, '=', 0, '"', 0, 'v', 0, '"', 0, ';', 0};
    auto wide = parseStringsTable(utf16);
    ASSERT_TRUE(wide.ok());
    EXPECT_EQ((*wide)["k"].stringValue(), "v");

    auto plist =
        parseStringsTable(bytesOf("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                  "<key>p</key><string>q</string></dict></plist>"));
    ASSERT_TRUE(plist.ok());
    EXPECT_EQ((*plist)["p"].stringValue(), "q");

    for (std::string_view junk : {"\"a\" = ", "\"a\" \"b\";", "\"a\" = \"b\"", "\"x\\u12\" = 1;", "= ;"})
        EXPECT_FALSE(parseStringsTable(bytesOf(junk)).ok()) << junk;
    EXPECT_FALSE(parseStringsTable(Bytes{0xC3, 0x28}).ok());
    EXPECT_TRUE(parseStringsTable(Bytes{}).ok());
}
