// The country code table.
#include "language/country_code.h"

#include "language/code_table_rows.h"
#include "platform/text/case_mapping.h"

Value CountryCode::iso3166_1_alpha_2() {
    if (table_) return table_;
    Value table = Value::dictionary();
    for (const NamedCode& row : kCountryRows) table.set(std::string(row.code), Value(std::string(row.name)));
    table_ = table;
    return table_;
}

Value CountryCode::dict() {
    if (!dict_) dict_ = iso3166_1_alpha_2();
    return dict_;
}

std::optional<std::string> CountryCode::getName(std::string_view code) {
    const std::string* name = dict()[uppercaseString(code)].string();
    return name ? std::optional<std::string>(*name) : std::nullopt;
}

std::optional<std::string> CountryCode::getCodeFromName(std::string_view name) {
    for (const auto& [code, entry] : *dict().dictionaryPtr()) {
        if (const std::string* text = entry.string(); text && *text == name) return code;
    }
    return std::nullopt;
}
