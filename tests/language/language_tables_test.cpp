// The built-in language tables and the name lookups on them.
#include <gtest/gtest.h>

#include <set>

#include "language/language_code.h"

namespace {

class LanguageTablesTest : public ::testing::Test {
protected:
    std::shared_ptr<LanguageCode> codes_ = LanguageCode::make();

    std::string column(const Value& table, std::string_view key, std::string_view name) {
        return table[key][name].stringValue();
    }
};

}  // namespace

TEST_F(LanguageTablesTest, TablesHaveTheirKeysAndAliasesShareOneEntry) {
    Value one = codes_->iso639_1();
    EXPECT_EQ(one.count(), 198u);
    EXPECT_EQ(codes_->iso639_2().count(), 505u);
    EXPECT_EQ(codes_->talkSiteLanguages().count(), 115u);
    EXPECT_EQ(codes_->googleTranslate().size(), 109u);
    EXPECT_EQ(codes_->googleTranslate().front(), "hi");
    EXPECT_EQ(codes_->googleTranslate().back(), "pl");

    EXPECT_EQ(codes_->base().identity(), one.identity());
    EXPECT_EQ(codes_->iso639_1().identity(), one.identity());
    EXPECT_EQ(one.dictionaryPtr()->keys().front(), "ab");
    EXPECT_EQ(one.dictionaryPtr()->keys().back(), "zu");

    std::set<const void*> distinct;
    for (const auto& [key, entry] : *one.dictionaryPtr()) distinct.insert(entry.identity());
    EXPECT_EQ(distinct.size(), 194u);
    for (auto [a, b] : {std::pair{"zh-cn", "zs"}, {"zh-tw", "zt"}, {"he", "iw"}, {"pt-br", "pb"}}) {
        EXPECT_EQ(one[a].identity(), one[b].identity()) << a;
    }
    // Terminology and bibliographic codes hold equal entries.
    Value two = codes_->iso639_2();
    for (auto [t, b] : {std::pair{"zho", "chi"}, {"deu", "ger"}, {"slk", "slo"}, {"sqi", "alb"}}) {
        EXPECT_TRUE(two[t].isEqual(two[b])) << t;
    }
    std::size_t withTwoLetter = 0;
    for (const auto& [key, entry] : *two.dictionaryPtr()) {
        EXPECT_EQ(key.size(), 3u);
        if (entry["iso_639_1"]) ++withTwoLetter;
    }
    EXPECT_EQ(withTwoLetter, 204u);
    EXPECT_FALSE(two["und"]);
    EXPECT_FALSE(two["qaa-qtz"]);
}

TEST_F(LanguageTablesTest, TellingRowsCarryTheirNames) {
    Value one = codes_->iso639_1();
    struct Row {
        const char* key;
        const char* native;
        const char* english;
    };
    for (const Row& row : {Row{"zh", "中文", "Chinese"},
                           {"zs", "中文 (简体)", "Chinese (Simplified)"},
                           {"zt", "中文 (繁體)", "Chinese (Traditional)"},
                           {"iw", "עברית", "Hebrew"},
                           {"pt", "Português", "Portuguese"},
                           {"pb", "Português (Brasil)", "Portuguese, Brazilian"},
                           {"fr", "Français", "French"},
                           {"fr-ca", "Français (Canada)", "French, Canadian"},
                           {"es", "Español", "Spanish"},
                           {"es-419", "Español (Latin America)", "Latin American Spanish"},
                           {"ceb", "Cebuano", "Cebuano"},
                           {"fil", "Filipino", "Filipino"},
                           {"hup", "Hupa", "Hupa"},
                           {"inh", "Ingush", "Ingush"},
                           {"tlh", "Klingon", "Klingon"},
                           {"ab", "аҧсуа бызшәа, аҧсшәа", "Abkhazian"},
                           {"ha", " هَوُسَ", "Hausa"},
                           {"ie", "Originally called Occidental; then Interlingue after WWII", "Interlingue"},
                           {"nd", "isiNdebele", "North Ndebele"},
                           {"nr", "isiNdebele", "South Ndebele"},
                           {"km", "ខ្មែរ, ខេមរភាសា, ភាសាខ្មែរ", "Central Khmer"},
                           {"en", "English", "English"},
                           {"de", "Deutsch", "German"},
                           {"ja", "日本語", "Japanese"},
                           {"ko", "한국어", "Korean"},
                           {"dv", nullptr, "Divehi, Dhivehi, Maldivian"},
                           {"kj", nullptr, "Kuanyama, Kwanyama"},
                           {"eu", "euskara, euskera", nullptr},
                           {"ca", "català, valencià", nullptr}}) {
        if (row.native) {
            EXPECT_EQ(column(one, row.key, "native"), row.native) << row.key;
        }
        if (row.english) {
            EXPECT_EQ(column(one, row.key, "iso"), row.english) << row.key;
        }
    }
    // Every two-letter row has both names.
    for (const auto& [key, entry] : *one.dictionaryPtr()) {
        EXPECT_FALSE(entry["native"].stringValue().empty()) << key;
        EXPECT_FALSE(entry["iso"].stringValue().empty()) << key;
    }

    Value two = codes_->iso639_2();
    EXPECT_EQ(column(two, "ady", "iso"), "Adyghe; Adygei");
    EXPECT_EQ(column(two, "tlh", "iso"), "Klingon; tlhIngan-Hol");
    EXPECT_EQ(column(two, "mis", "iso"), "Uncoded languages");
    EXPECT_EQ(column(two, "mul", "iso"), "Multiple languages");
    EXPECT_EQ(column(two, "zxx", "iso"), "No linguistic content; Not applicable");
    EXPECT_EQ(column(two, "heb", "iso_639_1"), "he");
    EXPECT_FALSE(two["ace"]["iso_639_1"]);

    Value dated = codes_->talkSiteLanguages();
    for (auto [key, name] : {std::pair{"arq", "Algerian Arabic"},
                             {"srp", "Montenegrin"},
                             {"rup", "Macedo"},
                             {"zh", "Chinese, Yue"},
                             {"nb", "Norwegian Bokmal"},
                             {"de", "German"}}) {
        EXPECT_EQ(column(dated, key, "iso"), name) << key;
        EXPECT_FALSE(dated[key]["native"]) << key;
    }
}

TEST_F(LanguageTablesTest, NameLookups) {
    EXPECT_EQ(codes_->getName0("ZH-cn"), "中文 (简体)");
    EXPECT_EQ(codes_->getNameLocalized("ZH-CN"), std::nullopt);
    EXPECT_EQ(codes_->getName0("ab"), "аҧсуа бызшәа");
    EXPECT_EQ(codes_->getNameEng1("ny"), "Chichewa");

    EXPECT_EQ(codes_->getName("de-AT"), "Deutsch (AT)");
    EXPECT_EQ(codes_->getNameEng("de-AT"), "German (AT)");
    EXPECT_EQ(codes_->getName("zh-Hant-TW"), "中文 (HANT-TW)");
    EXPECT_EQ(codes_->getName("xx-YY"), "xx-YY");
    EXPECT_EQ(codes_->getNameEng("xx-YY"), "xx-YY");
    EXPECT_EQ(codes_->getName("fil"), "Filipino");
    EXPECT_EQ(codes_->getName("haw"), "Hawaiian");

    // A code only the dated table holds has an English name but no native one.
    EXPECT_EQ(codes_->getName0("arq"), std::nullopt);
    EXPECT_EQ(codes_->getNameEng("arq"), "Algerian Arabic");
    // The ISO 639-2 table comes before the dated table.
    EXPECT_EQ(codes_->getNameEng("srp"), "Serbian");
    EXPECT_EQ(codes_->getNameEng("ast"), "Asturian");
    EXPECT_EQ(codes_->getNameEng("rup"), "Aromanian");
    // An entry without the column ends the search.
    EXPECT_EQ(codes_->getNameLocalized("ger"), std::nullopt);

    EXPECT_EQ(codes_->getLabel("zh-cn"), "中文 (简体) (Chinese (Simplified))");
    EXPECT_EQ(codes_->getLabel("de"), "Deutsch (German)");
    EXPECT_EQ(codes_->getLabel("en"), "English");

    EXPECT_EQ(codes_->get_iso_639_1_from_iso639_2("ace"), std::nullopt);
    EXPECT_EQ(codes_->get_iso_639_1_from_iso639_2("chi"), "zh");
    EXPECT_EQ(codes_->get_iso_639_1_from_iso639_2("zho"), "zh");
    EXPECT_EQ(codes_->get_iso_639_1_from_iso639_2("ZHO"), std::nullopt);
    EXPECT_EQ(codes_->getLabel_iso639_2("ger"), "Deutsch (German)");
    EXPECT_EQ(codes_->getLabel_iso639_2("haw"), "Hawaiian");
    EXPECT_EQ(codes_->getLabel_iso639_2("qqq"), std::nullopt);

    EXPECT_EQ(codes_->convertLocalized("Hebrew"), "עברית");
    EXPECT_EQ(codes_->convertLocalized("Klingon"), "Klingon");
    EXPECT_EQ(codes_->convertLocalized("Elvish"), "Elvish");
    EXPECT_EQ(codes_->convertLocalized(""), "");
}

TEST_F(LanguageTablesTest, EnglishNamesOfTheTwoLetterTableAreUniqueOutsideAliases) {
    std::map<std::string, const void*> seen;
    for (const auto& [key, entry] : *codes_->base().dictionaryPtr()) {
        auto [it, fresh] = seen.emplace(entry["iso"].stringValue(), entry.identity());
        EXPECT_TRUE(fresh || it->second == entry.identity()) << key;
    }
}
