// NSLocale: a locale by identifier ("fi_FI", "ja_JP@calendar=japanese"), the current one, and the
// device's preferred languages. On Linux the list comes from the locale environment:
// LANGUAGE (a colon-separated list), then LC_ALL, LC_MESSAGES and LANG.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NSLocale {
public:
    // None for an empty identifier.
    static std::shared_ptr<NSLocale> localeWithLocaleIdentifier(std::string identifier);
    // The locale of the most preferred language, else "en_US".
    static std::shared_ptr<NSLocale> currentLocale();
    explicit NSLocale(std::string identifier) : identifier_(std::move(identifier)) {}
    const std::string& localeIdentifier() const { return identifier_; }

    // Most preferred first, as language identifiers ("zh_TW.UTF-8@x" becomes "zh-TW"), without
    // repeats. "C", "POSIX" and values that are not locale names count as none; empty when nothing
    // is set. A list set for testing replaces the environment.
    static std::vector<std::string> preferredLanguages();

    // Replaces the environment (none restores it). Main thread, tests only.
    static void setPreferredLanguagesForTesting(std::optional<std::vector<std::string>> languages);

    // The list as read through a variable lookup (which answers null for an unset variable).
    static std::vector<std::string> preferredLanguagesFrom(const std::function<const char*(const char*)>& lookup);

    // One locale name as an identifier, or none for "C", "POSIX", an empty value or junk.
    static std::optional<std::string> languageIdentifier(std::string_view localeName);

private:
    std::string identifier_;
};
