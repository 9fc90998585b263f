// The rows of the built-in language and country code tables, in build order. The rows are generated
// (tools/language_tables); LanguageCode and CountryCode turn them into dictionaries on first use.
#pragma once

#include <array>
#include <string_view>

// A two-letter (or regional) language: its name in itself and its English name. An alias row has
// no names of its own and shares the entry of the key it names.
struct LanguageRow {
    std::string_view key;
    std::string_view native;
    std::string_view english;
    std::string_view aliasOf;
};

// A three-letter language: its English name and, when it has one, its two-letter code.
struct Iso639_2Row {
    std::string_view key;
    std::string_view english;
    std::string_view twoLetter;
};

struct NamedCode {
    std::string_view code;
    std::string_view name;
};

extern const std::array<LanguageRow, 198> kIso639_1Rows;
extern const std::array<Iso639_2Row, 505> kIso639_2Rows;
extern const std::array<NamedCode, 115> kDatedLanguageRows;
extern const std::array<std::string_view, 109> kTranslationLanguageCodes;
extern const std::array<NamedCode, 261> kCountryRows;
