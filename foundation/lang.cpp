// String lookup from the bundle and from the remote table.
#include "foundation/lang.h"

#include "foundation/addr_service.h"
#include "foundation/date_custom.h"
#include "foundation/global.h"
#include "foundation/language_service.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "foundation/strings_table.h"
#include "platform/storage/bundle.h"

namespace {

std::string withObjectPlaceholders(std::string text) {
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + 2)) text[at + 1] = '@';
    return text;
}

}  // namespace

void LangBase::init() {
    if (isActive()) update();
}

std::optional<std::string> LangBase::deviceLanguage() {
    auto codes = Global::shared()->lcode();
    return codes ? codes->getDevice() : std::nullopt;
}

std::shared_ptr<LastInfo> LangBase::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath("Global.Lang.5"));
    return lastInfo_;
}

Value LangBase::dict() {
    if (dict_.isNull()) {
        Value stored = lastInfo()->get("dict");
        dict_ = stored.isDictionary() ? stored : Value::dictionary();
    }
    return dict_;
}

bool LangBase::isActive() {
    Value storedLang = lastInfo()->get("lang");
    std::optional<std::string> lang;
    if (storedLang.isString()) lang = *storedLang.string();
    if (lang != deviceLanguage()) return true;
    Value at = lastInfo()->get("at");
    if (!at.isDate()) return true;
    return at.dateValue() + kRefreshInterval <= dateNow();
}

void LangBase::update() {
    if (loading_) return;
    auto book = Global::shared()->addr();
    if (!book) return;
    loading_ = true;
    std::weak_ptr<LangBase> weakSelf = self<LangBase>();
    book->stringTable([weakSelf](Value table) {
        if (auto strong = weakSelf.lock()) strong->received(table);
    });
}

void LangBase::received(const Value& table) {
    loading_ = false;
    if (!table.isDictionary()) return;
    dict_ = table;
    lastInfo()->set(table, "dict");
    lastInfo()->set(Value::date(dateNow()), "at");
    auto lang = deviceLanguage();
    lastInfo()->set(lang ? Value(*lang) : Value(), "lang");
    lastInfo()->save();
}

std::string LangBase::get(std::string_view key) {
    if (isActive()) update();
    const Value entry = dict()[key];
    std::string text(key);
    if (entry.isString()) {
        text = *entry.string();
    } else if (entry.isDictionary()) {
        auto lang = deviceLanguage();
        const Value local = lang ? entry[*lang] : Value();
        if (local.isString() && !local.string()->empty()) text = *local.string();
    }
    return withObjectPlaceholders(std::move(text));
}

Value Lang::table() {
    if (!table_) {
        auto path = NSBundle::mainBundle()->pathForResource("Localizable", "strings");
        auto read = path ? readStringsTable(*path) : Result<Value>(fail("no string table"));
        table_ = read ? *read : Value::dictionary();
    }
    return *table_;
}

std::string Lang::get(std::string_view key) {
    const Value text = table()[key];
    return text.isString() ? *text.string() : std::string(key);
}
