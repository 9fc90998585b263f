// The promotion's memory and its choice of app.
#include "app/promo/new_app_store.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "foundation/string_custom_payload.h"
#include "platform/runtime/log.h"

namespace {

const std::string* nonEmptyString(const Value& value) {
    const std::string* s = value.string();
    return s && !s->empty() ? s : nullptr;
}

std::optional<double> numberIn(const Value& value) {
    if (value.isNumber() && !value.isBool()) return value.doubleValue();
    const std::string* s = value.string();
    if (!s) return std::nullopt;
    double parsed = 0;
    const char* begin = s->data();
    const char* end = begin + s->size();
    while (begin != end && *begin == ' ') ++begin;
    auto [stop, error] = std::from_chars(begin, end, parsed);
    if (error != std::errc() || stop == begin || !std::isfinite(parsed)) return std::nullopt;
    return parsed;
}

}  // namespace

std::int64_t newAppThreshold(const Value& value) {
    constexpr double kLargest = 9.0e18;
    const std::optional<double> number = numberIn(value);
    if (!number) return 1;
    return std::max<std::int64_t>(static_cast<std::int64_t>(std::clamp(std::trunc(*number), -kLargest, kLargest)), 1);
}

NewAppStore::NewAppStore(const std::string& appVersion)
    : lastInfo_(LastInfo::make(withLibraryPath("Global.NewApp.4." + appVersion))) {}

const Value& NewAppStore::dict() {
    if (!dict_) {
        Value stored = lastInfo_->get("dict");
        dict_ = stored.isDictionary() ? stored : Value::dictionary();
    }
    return *dict_;
}

const Value& NewAppStore::denied() {
    if (!denied_) {
        Value stored = lastInfo_->get("denied");
        denied_ = stored.isSet() ? stored.deepCopy() : Value(ValueSet());
    }
    return *denied_;
}

bool NewAppStore::isActivePerDay(const std::optional<std::string>& language, double now) {
    const Value at = lastInfo_->get("at");
    const Value lang = lastInfo_->get("lang");
    if (!at.isDate() || !lang.isString()) return true;
    if (!language || *lang.string() != *language) return true;
    return now > at.dateValue() + kFetchInterval;
}

bool NewAppStore::receive(const std::optional<std::string>& payload, const std::optional<std::string>& language,
                          double now, const InstalledCheck& installed) {
    Value entries = payload && !payload->empty() ? jsonArray(*payload) : Value();
    if (payload && !payload->empty() && !entries.isArray())
        Log::info("newapp", "the promoted apps are not a JSON array");
    choose(entries, installed);
    lastInfo_->set(Value::date(now), "at");
    lastInfo_->set(language ? Value(*language) : Value(), "lang");
    const bool ready = isActiveAfterInstalled(now);
    save();
    return ready;
}

void NewAppStore::choose(const Value& entries, const InstalledCheck& installed) {
    const ValueSet* declined = denied().setPtr();
    for (std::size_t i = 0; i < entries.count(); ++i) {
        const Value& entry = entries[i];
        const std::string* url = nonEmptyString(entry["url"]);
        if (!entry.isDictionary() || !url) continue;
        const std::string* scheme = entry["scheme"].string();
        if (scheme && installed && installed(*scheme)) continue;
        if (declined && declined->contains(Value(*url))) continue;
        dict_ = entry;
        return;
    }
    // Nothing qualifies: no app stays chosen.
    lastInfo_->removeObjectForKey("dict");
    dict_ = Value::dictionary();
}

bool NewAppStore::isActiveAfterInstalled(double now) {
    const Value stored = lastInfo_->get("executed");
    const std::int64_t executed = (stored.isInteger() ? stored.integerValue() : 0) + 1;
    lastInfo_->set(Value(static_cast<long long>(executed)), "executed");
    Value at0 = lastInfo_->get("at0");
    if (!at0.isDate()) {
        at0 = Value::date(now);
        lastInfo_->set(at0, "at0");
    }
    if (dict().count() == 0) return false;
    const std::int64_t secs = newAppThreshold(dict()["at0"]);
    const std::int64_t need = newAppThreshold(dict()["executed"]);
    return now - at0.dateValue() > static_cast<double>(secs) && executed >= need;
}

void NewAppStore::denyChosen() {
    const std::string* url = nonEmptyString(dict()["url"]);
    if (!url) return;
    if (ValueSet* declined = denied().setPtr()) declined->insert(Value(*url));
    save();
}

void NewAppStore::save() {
    lastInfo_->set(dict(), "dict");
    lastInfo_->set(denied(), "denied");
    lastInfo_->save();
}
