// String lookup. LangBase answers from a string table fetched from the maker's server at most
// once a day and per device language, cached in "Global.Lang.5"; Lang, the application's lookup,
// answers from the bundle's string tables and never fetches. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class LastInfo;

class LangBase : public NSObject {
public:
    KORVA_MAKE(LangBase)

    static constexpr double kRefreshInterval = 86400;

    // Fetches at once when a fetch is due.
    void init() override;

    // Due when the device language changed since the last fetch, none was made, or a day passed.
    virtual bool isActive();
    // Starts a fetch through the address book unless one is in flight (or no book exists).
    void update();
    bool loading() const { return loading_; }

    // The text for the key, with "%s" turned into "%@"; the key itself when nothing is known.
    virtual std::string get(std::string_view key);
    void resetLocaleStrings() {}

    Value dict();
    std::shared_ptr<LastInfo> lastInfo();

    std::string className() const override { return "LangBase"; }

protected:
    LangBase() = default;
    static std::optional<std::string> deviceLanguage();

private:
    void received(const Value& table);

    bool loading_ = false;
    std::shared_ptr<LastInfo> lastInfo_;
    Value dict_;
};

class Lang : public LangBase {
public:
    KORVA_MAKE(Lang)

    bool isActive() override { return false; }
    // The bundle's localised text from the default table ("Localizable"); the key when missing.
    std::string get(std::string_view key) override;

    std::string className() const override { return "Lang"; }

protected:
    Lang() = default;

private:
    Value table();
    std::optional<Value> table_;
};
