// CountryCode: two-letter country codes and their English names, both ways. Reached through the
// global singleton's `ccode`.
//
// Main-thread only. The table is built on first use and kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class CountryCode : public NSObject {
public:
    KORVA_MAKE(CountryCode)

    // Upper-case code to English name; `dict` is the same table.
    Value iso3166_1_alpha_2();
    Value dict();
    void setIso3166_1_alpha_2(Value table) { table_ = std::move(table); }
    void setDict(Value table) { dict_ = std::move(table); }

    // The English name of a code in either letter case; none for an unknown code.
    std::optional<std::string> getName(std::string_view code);
    // The code whose name is exactly this one; none when no name matches.
    std::optional<std::string> getCodeFromName(std::string_view name);

    std::string className() const override { return "CountryCode"; }

private:
    Value dict_;
    Value table_;
};
