// LanguageService: what the foundation asks of the language-code tables. The language subsystem
// implements it (LanguageCode) and registers its maker with ServiceFactory<LanguageService>.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/object.h"

class LanguageService : public NSObject {
public:
    // The device language code (the first preferred language, normalised), cached after the first call.
    virtual std::optional<std::string> getDevice() = 0;
    // Display label of an ISO 639-2 code; none for a code not in the table.
    virtual std::optional<std::string> getLabel_iso639_2(std::string_view code) = 0;
    // Display name of a language code, possibly with a country part; none when nothing is known.
    virtual std::optional<std::string> getName(std::string_view code) = 0;
    // The ISO 639-1 code of an ISO 639-2 code, when the table has one.
    virtual std::optional<std::string> get_iso_639_1_from_iso639_2(std::string_view code) = 0;
};
