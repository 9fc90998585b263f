// The preferred languages read from the locale environment.
#include "platform/text/ns_locale.h"

#include <algorithm>
#include <cstdlib>

#include "platform/runtime/log.h"

namespace {

std::optional<std::vector<std::string>>& testingLanguages() {
    static std::optional<std::vector<std::string>> languages;
    return languages;
}

bool isAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiAlnum(char c) {
    return isAsciiAlpha(c) || (c >= '0' && c <= '9');
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

void appendOnce(std::vector<std::string>& list, std::string identifier) {
    if (std::find(list.begin(), list.end(), identifier) == list.end()) list.push_back(std::move(identifier));
}

}  // namespace

std::optional<std::string> NSLocale::languageIdentifier(std::string_view name) {
    // language[_territory][.codeset][@modifier]: the codeset and modifier say nothing of the language.
    std::string_view base = name.substr(0, name.find_first_of(".@"));
    if (base.empty() || base == "C" || base == "POSIX") return std::nullopt;
    std::size_t sep = base.find_first_of("_-");
    std::string_view language = base.substr(0, sep);
    std::string_view territory = sep == std::string_view::npos ? std::string_view() : base.substr(sep + 1);
    bool languageOk =
        language.size() >= 2 && language.size() <= 3 && std::all_of(language.begin(), language.end(), isAsciiAlpha);
    bool territoryOk = sep == std::string_view::npos || (territory.size() >= 2 && territory.size() <= 8 &&
                                                         std::all_of(territory.begin(), territory.end(), isAsciiAlnum));
    if (!languageOk || !territoryOk) {
        Log::warning("locale", "ignoring the locale name \"" + std::string(name) + "\"");
        return std::nullopt;
    }
    std::string identifier;
    for (char c : language) identifier += lower(c);
    if (!territory.empty()) {
        identifier += '-';
        for (char c : territory) identifier += upper(c);
    }
    return identifier;
}

std::vector<std::string> NSLocale::preferredLanguagesFrom(const std::function<const char*(const char*)>& lookup) {
    std::vector<std::string> list;
    if (const char* languages = lookup("LANGUAGE")) {
        std::string_view rest = languages;
        while (!rest.empty()) {
            std::size_t colon = rest.find(':');
            std::string_view entry = rest.substr(0, colon);
            if (auto identifier = languageIdentifier(entry)) appendOnce(list, *identifier);
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(variable);
        if (!value || !*value) continue;
        if (auto identifier = languageIdentifier(value)) appendOnce(list, *identifier);
    }
    return list;
}

std::vector<std::string> NSLocale::preferredLanguages() {
    if (testingLanguages()) return *testingLanguages();
    return preferredLanguagesFrom([](const char* name) { return std::getenv(name); });
}

void NSLocale::setPreferredLanguagesForTesting(std::optional<std::vector<std::string>> languages) {
    testingLanguages() = std::move(languages);
}

std::shared_ptr<NSLocale> NSLocale::localeWithLocaleIdentifier(std::string identifier) {
    if (identifier.empty()) return nullptr;
    return std::make_shared<NSLocale>(std::move(identifier));
}

std::shared_ptr<NSLocale> NSLocale::currentLocale() {
    auto languages = preferredLanguages();
    std::string id = languages.empty() ? "en_US" : languages.front();
    for (auto& c : id)
        if (c == '-') c = '_';
    return std::make_shared<NSLocale>(id);
}
