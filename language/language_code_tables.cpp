// The built-in language tables and the name lookups on them.
#include <string>

#include "foundation/links.h"
#include "language/code_table_rows.h"
#include "language/language_code.h"
#include "platform/text/case_mapping.h"

namespace {

Value entryOf(std::initializer_list<std::pair<std::string_view, std::string_view>> columns) {
    Value entry = Value::dictionary();
    for (auto [name, text] : columns) {
        if (!text.empty()) entry.set(std::string(name), Value(std::string(text)));
    }
    return entry;
}

std::optional<std::string> column(const Value& entry, std::string_view name) {
    const std::string* text = entry[name].string();
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

std::optional<std::string> beforeFirstComma(std::optional<std::string> name) {
    if (name) name = name->substr(0, name->find(','));
    return name;
}

}  // namespace

Value LanguageCode::iso639_1() {
    if (iso639_1_) return iso639_1_;
    Value table = Value::dictionary();
    for (const LanguageRow& row : kIso639_1Rows) {
        Value entry =
            row.aliasOf.empty() ? entryOf({{"native", row.native}, {"iso", row.english}}) : table[row.aliasOf];
        table.set(std::string(row.key), entry);
    }
    iso639_1_ = table;
    return iso639_1_;
}

Value LanguageCode::base() {
    if (!base_) base_ = iso639_1();
    return base_;
}

Value LanguageCode::iso639_2() {
    if (iso639_2_) return iso639_2_;
    Value table = Value::dictionary();
    for (const Iso639_2Row& row : kIso639_2Rows) {
        table.set(std::string(row.key), entryOf({{"iso", row.english}, {"iso_639_1", row.twoLetter}}));
    }
    iso639_2_ = table;
    return iso639_2_;
}

Value LanguageCode::talkSiteLanguages20180313() {
    if (talkSite_) return talkSite_;
    Value table = Value::dictionary();
    for (const NamedCode& row : kDatedLanguageRows) table.set(std::string(row.code), entryOf({{"iso", row.name}}));
    talkSite_ = table;
    return talkSite_;
}

const std::vector<std::string>& LanguageCode::googleTranslate_20220223() {
    if (!googleTranslate_) googleTranslate_.emplace(kTranslationLanguageCodes.begin(), kTranslationLanguageCodes.end());
    return *googleTranslate_;
}

Value LanguageCode::entryFor(std::string_view code) {
    for (const Value& table : {base(), iso639_2(), talkSiteLanguages()}) {
        const Value& entry = table[code];
        if (entry) return entry;
    }
    return Value();
}

std::optional<std::string> LanguageCode::getNameLocalized(std::string_view code) {
    return column(entryFor(code), "native");
}

std::optional<std::string> LanguageCode::getNameEng0(std::string_view code) {
    return column(entryFor(code), "iso");
}

std::optional<std::string> LanguageCode::getNameEng1(std::string_view code) {
    return beforeFirstComma(getNameEng0(lowercaseString(code)));
}

std::optional<std::string> LanguageCode::getName0(std::string_view code) {
    return beforeFirstComma(getNameLocalized(lowercaseString(code)));
}

std::optional<std::string> LanguageCode::withRegion(
    std::string_view code, std::optional<std::string> (LanguageCode::*lookup)(std::string_view)) {
    Value parts = splitLanguageCountryCode(lowercaseString(code));
    std::optional<std::string> name = (this->*lookup)(parts["lcode"].stringValue());
    if (!name) return std::nullopt;
    if (const std::string* region = parts["ccode"].string()) *name += " (" + uppercaseString(*region) + ")";
    if (name->empty()) return std::string(code);
    return name;
}

std::optional<std::string> LanguageCode::getNameEng(std::string_view code) {
    if (auto name = getNameEng1(code)) return name;
    if (auto name = withRegion(code, &LanguageCode::getNameEng1)) return name;
    return std::string(code);
}

std::optional<std::string> LanguageCode::getName(std::string_view code) {
    if (auto name = getName0(code)) return name;
    if (auto name = withRegion(code, &LanguageCode::getName0)) return name;
    return getNameEng(code);
}

std::optional<std::string> LanguageCode::languageName() {
    return getName0(code());
}

std::optional<std::string> LanguageCode::getLabel(std::string_view code) {
    std::optional<std::string> english = getNameEng(code);
    std::optional<std::string> native = getName(code);
    if (english == native) return english;
    return native.value_or("") + " (" + english.value_or("") + ")";
}

std::optional<std::string> LanguageCode::get_iso_639_1_from_iso639_2(std::string_view code) {
    std::optional<std::string> two = column(iso639_2()[code], "iso_639_1");
    if (two && two->empty()) return std::nullopt;
    return two;
}

std::optional<std::string> LanguageCode::getLabel_iso639_2(std::string_view code) {
    const Value& entry = iso639_2()[code];
    if (!entry) return std::nullopt;
    if (auto two = get_iso_639_1_from_iso639_2(code)) {
        std::optional<std::string> label = getLabel(*two);
        if (label && !label->empty()) return label;
    }
    return column(entry, "iso");
}

std::string LanguageCode::convertLocalized(std::string_view englishName) {
    for (const auto& [key, entry] : *base().dictionaryPtr()) {
        if (const std::string* english = entry["iso"].string(); english && *english == englishName) {
            if (auto native = column(entry, "native")) return *native;
        }
    }
    return std::string(englishName);
}
