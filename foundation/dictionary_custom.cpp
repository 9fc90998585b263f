// Dictionary helpers: reads, JSON, query strings, path lookup and the first-text search.
#include "foundation/dictionary_custom.h"

#include <limits>
#include <mutex>

#include "foundation/data_custom.h"
#include "foundation/global.h"
#include "foundation/http_custom.h"
#include "foundation/string_custom_escaping.h"
#include "foundation/string_custom_payload.h"
#include "platform/storage/json.h"

Value valueForKey1(const Value& dictionary, std::string_view key) {
    return dictionary[key];
}

Value objectForKeyIgnoreNull(const Value& dictionary, std::string_view key) {
    return dictionary[key];
}

std::optional<Bytes> jsonData(const Value& value) {
    Result<Bytes> written = NSJSONSerialization::dataWithJSONObject(value);
    if (!written.ok()) return std::nullopt;
    return std::move(written).value();
}

std::optional<std::string> jsonString(const Value& value) {
    std::optional<Bytes> bytes = jsonData(value);
    if (!bytes) return std::nullopt;
    return string_utf8(*bytes);
}

std::string queryString(const Value& dictionary) {
    std::string out;
    const ValueDictionary* entries = dictionary.dictionaryPtr();
    if (!entries) return out;
    for (const auto& [key, value] : *entries) {
        if (!out.empty()) out += '&';
        out += escapeQueryParam(key);
        out += '=';
        out += value.isString() ? escapeQueryParam(*value.string()) : value.description();
    }
    return out;
}

namespace {

// The path lookup runs on background threads, so the page cache is only touched under this lock;
// the fetch itself runs outside it.
std::mutex& remotePagesMutex() {
    static std::mutex mutex;
    return mutex;
}

// The dictionary the page at the address holds, fetched once per process. Only a parsed
// dictionary is kept: a failed fetch or a page of another kind is tried again next time.
Value remoteDictionary(const std::string& address) {
    {
        std::lock_guard lock(remotePagesMutex());
        Value cached = Global::shared()->cacheForDictionaryAt()[address];
        if (!cached.isNull()) return cached;
    }
    std::optional<std::string> page = httpGET_sync(address, Value());
    Value parsed = page ? jsonDictionary(*page) : Value();
    if (!parsed.isDictionary()) return Value();
    std::lock_guard lock(remotePagesMutex());
    Value cache = Global::shared()->cacheForDictionaryAt();
    Value cached = cache[address];
    if (!cached.isNull()) return cached;
    cache.set(address, parsed);
    return parsed;
}

}  // namespace

Value at0(const Value& start, std::string_view path) {
    Value current = start;
    // A value reached through a fetched page belongs to the page cache: the caller gets a copy,
    // so that editing it cannot change what later lookups find.
    bool fromPageCache = false;
    while (!path.empty()) {
        char step = path.front();
        path.remove_prefix(1);
        if (step == '/') {
            std::size_t end = path.find_first_of("/@:#");
            std::string_view key = path.substr(0, end);
            // "/items/@0/title": a slash before another step only separates.
            if (key.empty() && end != std::string_view::npos && path[end] != '/') continue;
            if (key.empty()) return current;
            current = current[key];
            path = end == std::string_view::npos ? std::string_view() : path.substr(end);
        } else if (step == '@') {
            // Saturating, so a huge index is simply out of range.
            std::size_t index = 0, digits = 0;
            while (digits < path.size() && path[digits] >= '0' && path[digits] <= '9') {
                std::size_t d = static_cast<std::size_t>(path[digits] - '0');
                index = index > (std::numeric_limits<std::size_t>::max() - d) / 10
                            ? std::numeric_limits<std::size_t>::max()
                            : index * 10 + d;
                ++digits;
            }
            if (!current.isArray() || index >= current.count()) return Value();
            current = current[index];
            path.remove_prefix(digits);
        } else if (step == ':') {
            if (!current.isString()) return Value();
            Value parsed = jsonDictionary(*current.string());
            if (!parsed.isDictionary()) return Value();
            current = parsed;
        } else if (step == '#') {
            if (!current.isString()) return Value();
            current = remoteDictionary(*current.string());
            if (current.isNull()) return Value();
            fromPageCache = true;
        } else {
            return Value();
        }
    }
    return fromPageCache ? current.deepCopy() : current;
}

std::optional<std::string> anyElementText(const Value& container) {
    auto search = [](const Value& value) -> std::optional<std::string> {
        if (value.isString()) return *value.string();
        if (value.isDictionary() || value.isArray()) return anyElementText(value);
        return std::nullopt;
    };
    if (const ValueDictionary* entries = container.dictionaryPtr()) {
        for (const auto& entry : *entries) {
            if (auto found = search(entry.second)) return found;
        }
    } else if (const ValueArray* items = container.arrayPtr()) {
        for (const Value& item : *items) {
            if (auto found = search(item)) return found;
        }
    }
    return std::nullopt;
}
