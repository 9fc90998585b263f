// The current locale's region (country) code and the user's preferred languages, read from the
// environment (LC_ALL, LC_MESSAGES, then LANG). Tests set an override.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

class LocaleRegion {
public:
    // "fi_FI.UTF-8" gives "FI"; a locale without a region ("C", "en") gives none.
    static std::optional<std::string> currentCountryCode() {
        if (override().active) return override().country;
        std::string locale = localeName();
        auto underscore = locale.find('_');
        if (underscore == std::string::npos) return std::nullopt;
        std::string region = locale.substr(underscore + 1);
        region = region.substr(0, region.find_first_of(".@"));
        if (region.empty()) return std::nullopt;
        return region;
    }
    // "fi-FI" for the locale above; empty when it names no language.
    static std::vector<std::string> preferredLanguages() {
        if (override().active) return override().languages;
        std::vector<std::string> languages;
        std::string locale = localeName();
        locale = locale.substr(0, locale.find_first_of(".@"));
        if (!locale.empty() && locale != "C" && locale != "POSIX") {
            for (auto& c : locale)
                if (c == '_') c = '-';
            languages.push_back(locale);
        }
        return languages;
    }
    static void setOverride(std::optional<std::string> country, std::vector<std::string> languages) {
        override() = {true, std::move(country), std::move(languages)};
    }
    static void clearOverride() { override() = {}; }

private:
    struct Override {
        bool active = false;
        std::optional<std::string> country;
        std::vector<std::string> languages;
    };
    static Override& override() {
        static Override value;
        return value;
    }
    static std::string localeName() {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* v = std::getenv(name);
            if (v && *v) return v;
        }
        return {};
    }
};
