// The country code table.
#include "language/country_code.h"

#include <gtest/gtest.h>

#include <set>

TEST(CountryCodeTest, TableHoldsEveryCodeWithDistinctNames) {
    auto countries = CountryCode::make();
    Value table = countries->iso3166_1_alpha_2();
    EXPECT_EQ(table.count(), 261u);
    EXPECT_EQ(countries->dict().identity(), table.identity());
    std::vector<std::string> keys = table.dictionaryPtr()->keys();
    EXPECT_EQ(keys.front(), "AD");
    EXPECT_EQ(keys[248], "ZW");
    EXPECT_EQ(keys.back(), "UN");
    std::set<std::string> names;
    for (const auto& [code, name] : *table.dictionaryPtr()) names.insert(name.stringValue());
    EXPECT_EQ(names.size(), 261u);

    for (auto [code, name] : {std::pair{"AC", "Ascension Island"},
                              {"EA", "Ceuta, Melilla"},
                              {"SU", "USSR"},
                              {"GB", "United Kingdom of Great Britain and Northern Ireland"},
                              {"US", "United States of America"},
                              {"AX", "Åland Islands"},
                              {"CI", "Côte d'Ivoire"},
                              {"BO", "Bolivia (Plurinational State of)"},
                              {"CD", "Congo, Democratic Republic of the"},
                              {"KP", "Korea (Democratic People's Republic of)"},
                              {"TR", "Turkey"},
                              {"CZ", "Czechia"},
                              {"VI", "Virgin Islands (U.S.)"},
                              {"FI", "Finland"}}) {
        EXPECT_EQ(table[code].stringValue(), name) << code;
    }
}

TEST(CountryCodeTest, LookupsBothWays) {
    auto countries = CountryCode::make();
    EXPECT_EQ(countries->getName("tw"), "Taiwan, Province of China");
    EXPECT_EQ(countries->getName("UK"), "United Kingdom");
    EXPECT_EQ(countries->getName("gb"), "United Kingdom of Great Britain and Northern Ireland");
    EXPECT_EQ(countries->getName("XK"), std::nullopt);
    EXPECT_EQ(countries->getName(""), std::nullopt);
    EXPECT_EQ(countries->getCodeFromName("Eurozone"), "EZ");
    EXPECT_EQ(countries->getCodeFromName("eurozone"), std::nullopt);
    EXPECT_EQ(countries->getCodeFromName("Korea, Republic of"), "KR");
    EXPECT_EQ(countries->getCodeFromName(""), std::nullopt);
}
