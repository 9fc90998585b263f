// The device language, the current code and the recents list of LanguageCode, with their store.
#include <algorithm>
#include <array>
#include <utility>

#include "foundation/last_info.h"
#include "foundation/links.h"
#include "foundation/string_custom_paths.h"
#include "language/language_code.h"
#include "platform/runtime/log.h"
#include "platform/text/case_mapping.h"
#include "platform/text/ns_locale.h"

namespace {

constexpr std::string_view kStoreName = "LanguageCode.1";
constexpr std::string_view kFallbackDeviceLanguage = "en";

// Platform identifiers that name a script or a region rather than a language the tables hold.
// Tried in this order; the first one contained in the identifier decides.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kSpecialIdentifiers = {{
    {"emoji", "emoji"},
    {"zh-hans", "zh-cn"},
    {"zh-hant", "zh-tw"},
    {"zh-hk", "zh-tw"},
    {"yue-hans", "zh-cn"},
    {"yue-hant", "zh-tw"},
    {"yue-hk", "zh-tw"},
}};

constexpr std::array<std::string_view, 13> kDefaultRecents = {"en", "ko", "es", "ja", "zh-cn", "zh-tw", "de",
                                                              "fr", "it", "ru", "pt", "vi",    "tr"};

}  // namespace

std::shared_ptr<LastInfo> LanguageCode::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath(kStoreName));
    return lastInfo_;
}

std::string LanguageCode::parseFormal(std::string_view identifier) {
    std::string lower = lowercaseString(identifier);
    for (auto [key, result] : kSpecialIdentifiers) {
        if (lower.find(key) != std::string::npos) return std::string(result);
    }
    if (getName0(lower)) return lower;
    std::string language = languageCodeOnly(lower);
    if (!language.empty() && getName(language)) return language;
    return "zh-cn";
}

std::optional<std::string> LanguageCode::getDevice() {
    if (!deviceLanguage_.empty()) return deviceLanguage_;
    std::vector<std::string> preferred = NSLocale::preferredLanguages();
    if (preferred.empty()) {
        Log::info("language",
                  "no preferred language on the device; using \"" + std::string(kFallbackDeviceLanguage) + "\"");
        deviceLanguage_ = kFallbackDeviceLanguage;
    } else {
        deviceLanguage_ = parseFormal(preferred.front());
    }
    return deviceLanguage_;
}

std::string LanguageCode::code() {
    if (code_) return *code_;
    Value stored = lastInfo()->get("code");
    if (const std::string* text = stored.string(); text && !text->empty()) {
        code_ = *text;
    } else {
        if (stored) Log::warning("language", "the stored language code is not a string; using the device language");
        code_ = getDevice().value_or(std::string(kFallbackDeviceLanguage));
    }
    return *code_;
}

const std::vector<std::string>& LanguageCode::recents() {
    if (recents_) return *recents_;
    // Only the string elements of a stored list count; a list without any is no list.
    std::vector<std::string> stored;
    Value list = lastInfo()->get("recents");
    if (const ValueArray* items = list.arrayPtr()) {
        for (const Value& item : *items) {
            if (const std::string* text = item.string()) stored.push_back(*text);
        }
        if (stored.size() != items->size())
            Log::warning("language", "the stored recent languages hold non-text elements");
    } else if (list) {
        Log::warning("language", "the stored recent languages are not a list");
    }
    if (stored.empty()) {
        std::string device = getDevice().value_or(std::string(kFallbackDeviceLanguage));
        stored.push_back(device);
        for (std::string_view code : kDefaultRecents) {
            if (code != device) stored.emplace_back(code);
        }
    }
    recents_ = std::move(stored);
    return *recents_;
}

void LanguageCode::makeRecent(std::string_view code) {
    std::optional<std::string> name = getNameEng(code);
    if (!name || name->empty()) name = getNameEng(languageCodeOnly(code));
    if (!name || name->empty()) return;
    std::vector<std::string> list{std::string(code)};
    for (const std::string& entry : recents()) {
        if (entry != code) list.push_back(entry);
    }
    recents_ = std::move(list);
    save();
}

void LanguageCode::save() {
    auto store = lastInfo();
    store->set(Value(code()), "code");
    Value list = Value::array();
    for (const std::string& entry : recents()) list.append(Value(entry));
    store->set(list, "recents");
    if (!store->save()) Log::error("language", "could not save " + store->path());
}
