// LanguageCode: the application's language service. It holds the built-in language tables with the
// name lookups on them, works out the device language, and keeps the current language code and the
// recently chosen codes in the store "LanguageCode.1".
//
// Main-thread only. The tables are built on first use and then kept for the object's lifetime.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/language_service.h"
#include "platform/runtime/value.h"

class LastInfo;

class LanguageCode : public LanguageService {
public:
    KORVA_MAKE(LanguageCode)

    // The tables: dictionaries from lower-case codes to dictionaries of strings. `base` is the
    // ISO 639-1 table itself ("native" and "iso"); the ISO 639-2 table holds "iso" and, where the
    // language has one, "iso_639_1"; the dated table holds "iso" alone.
    Value base();
    Value iso639_1();
    Value iso639_2();
    Value talkSiteLanguages20180313();
    Value talkSiteLanguages() { return talkSiteLanguages20180313(); }
    // The machine-translation languages, in the service's order.
    const std::vector<std::string>& googleTranslate_20220223();
    const std::vector<std::string>& googleTranslate() { return googleTranslate_20220223(); }
    void setBase(Value table) { base_ = std::move(table); }
    void setIso639_1(Value table) { iso639_1_ = std::move(table); }
    void setIso639_2(Value table) { iso639_2_ = std::move(table); }
    void setTalkSiteLanguages20180313(Value table) { talkSite_ = std::move(table); }

    // Name lookups. The exact-key ones read the first table holding the code (ISO 639-1, then
    // ISO 639-2, then the dated table); the others ignore letter case and cut at the first comma.
    std::optional<std::string> getNameLocalized(std::string_view code);
    std::optional<std::string> getNameEng0(std::string_view code);
    std::optional<std::string> getNameEng1(std::string_view code);
    std::optional<std::string> getName0(std::string_view code);
    // English name, with a region part kept as " (REGION)"; the code itself when nothing is known.
    std::optional<std::string> getNameEng(std::string_view code);
    // Native name with region handling, else getNameEng.
    std::optional<std::string> getName(std::string_view code) override;
    std::optional<std::string> languageName();
    // "Native (English)", or the English name alone when both are the same.
    std::optional<std::string> getLabel(std::string_view code);
    std::optional<std::string> get_iso_639_1_from_iso639_2(std::string_view code) override;
    std::optional<std::string> getLabel_iso639_2(std::string_view code) override;
    // The native name of the language with exactly this English name, else the argument.
    std::string convertLocalized(std::string_view englishName);

    // The store "LanguageCode.1" in the Library folder, opened on first use.
    std::shared_ptr<LastInfo> lastInfo();
    void setLastInfo(std::shared_ptr<LastInfo> store) { lastInfo_ = std::move(store); }

    // The current code: set, else stored, else the device language.
    std::string code();
    void setCode(std::string code) { code_ = std::move(code); }
    // Writes "code" and "recents" and saves the store.
    void save();

    // The application's code for a platform language identifier ("zh-Hant-HK" gives "zh-tw").
    std::string parseFormal(std::string_view identifier);
    // The first preferred language through parseFormal, worked out once per object.
    std::optional<std::string> getDevice() override;
    const std::string& deviceLanguage() const { return deviceLanguage_; }
    void setDeviceLanguage(std::string language) { deviceLanguage_ = std::move(language); }

    // Most recent first: stored, else the device language followed by the usual defaults.
    const std::vector<std::string>& recents();
    void setRecents(std::vector<std::string> recents) { recents_ = std::move(recents); }
    // Moves or adds the code to the front and saves.
    void makeRecent(std::string_view code);

    std::string className() const override { return "LanguageCode"; }

private:
    // The entry of the first table that holds the code exactly, or null.
    Value entryFor(std::string_view code);
    std::optional<std::string> withRegion(std::string_view code,
                                          std::optional<std::string> (LanguageCode::*lookup)(std::string_view));

    std::optional<std::string> code_;
    std::optional<std::vector<std::string>> recents_;
    Value base_;
    Value iso639_1_;
    Value iso639_2_;
    std::shared_ptr<LastInfo> lastInfo_;
    std::string deviceLanguage_;
    Value talkSite_;
    std::optional<std::vector<std::string>> googleTranslate_;
};
