// The remote scheme: the synchronous fetch, the default fallback and the typed lookups.
#include "language/scheme_base.h"

#include "foundation/device.h"
#include "foundation/dictionary_custom.h"
#include "foundation/global.h"
#include "foundation/language_service.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "foundation/string_custom_payload.h"
#include "language/server_pages.h"
#include "platform/net/url_contents.h"
#include "platform/storage/file_manager.h"

namespace {

bool isEmpty(const Value& value) {
    return value.isString() ? value.string()->empty() : value.count() == 0;
}

}  // namespace

SchemeBase::SchemeBase(std::string url, std::string bundleName)
    : url_(std::move(url)), bundleName_(std::move(bundleName)) {
    auto global = Global::shared();
    auto languages = global->lcode();
    std::optional<std::string> language = languages ? languages->getDevice() : std::nullopt;
    input_ = Value::dictionary({{"name", Value(global->appName())},
                                {"version", Value(global->appVersion())},
                                {"lang", Value(language.value_or(""))},
                                {"p", Value(global->device()->platform())}});
}

std::shared_ptr<LastInfo> SchemeBase::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(lastInfoPath().value_or(""));
    return lastInfo_;
}

std::optional<std::string> SchemeBase::update0() {
    auto address = NSURL::URLWithString(server_pages::pageRequest(url_, input_));
    if (!address) return std::nullopt;
    Result<std::string> page = stringWithContentsOfURL(address);
    if (!page) return std::nullopt;
    return dravelinqt(*page);
}

bool SchemeBase::update1(const std::optional<std::string>& payload) {
    if (!payload) return false;
    Value scheme = jsonDictionary(*payload);
    // Only an object is a scheme: the lookups walk it by key.
    if (!scheme.isDictionary()) return false;
    lastInfo()->set(scheme, "dict");
    return true;
}

void SchemeBase::save() {
    (void)lastInfo()->save();
}

void SchemeBase::setSchemeDefault() {
    Value scheme;
    if (std::optional<std::string> path = withBundlePath(bundleName_ + ".txt")) {
        if (Result<Bytes> data = readFileData(*path)) {
            std::string text(data->begin(), data->end());
            if (std::optional<std::string> payload = dravelinqt(text)) {
                Value parsed = jsonDictionary(*payload);
                if (parsed.isDictionary()) scheme = parsed;
            }
        }
    }
    lastInfo()->set(scheme, "dict");
    save();
}

Value SchemeBase::v0(std::string_view path) {
    Value scheme = lastInfo()->get("dict");
    return scheme.isDictionary() ? at(scheme, path) : Value();
}

bool SchemeBase::matches(const Value& value, Kind kind) {
    switch (kind) {
        case Kind::String: return value.isString();
        case Kind::Array: return value.isArray();
        case Kind::Dictionary: return value.isDictionary();
    }
    return false;
}

Value SchemeBase::typed(std::string_view path, Kind kind) {
    Value value = v0(path);
    if (!matches(value, kind)) {
        setSchemeDefault();
        value = v0(path);
    }
    if (!matches(value, kind) || isEmpty(value)) {
        setSchemeDefault();
        value = v0(path);
    }
    return matches(value, kind) ? value : Value();
}

Value SchemeBase::vString(std::string_view path) {
    return typed(path, Kind::String);
}
Value SchemeBase::vArray(std::string_view path) {
    return typed(path, Kind::Array);
}
Value SchemeBase::vDictionary(std::string_view path) {
    return typed(path, Kind::Dictionary);
}
