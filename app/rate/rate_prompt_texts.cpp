// Choosing the rating texts and looking them up.
#include "app/rate/rate_prompt_texts.h"

#include <filesystem>

#include "foundation/strings_table.h"
#include "platform/storage/bundle.h"
#include "platform/text/locale_region.h"

namespace {
constexpr const char* kBundleName = "RatePrompt.bundle";
constexpr const char* kTable = "Localizable";

Value tableOf(const std::shared_ptr<NSBundle>& bundle) {
    auto path = bundle ? bundle->pathForResource(kTable, "strings") : std::nullopt;
    auto read = path ? readStringsTable(*path) : Result<Value>(fail("no strings table"));
    return read ? read.value() : Value::dictionary();
}
}  // namespace

void RatePromptTexts::choose() {
    chosen_ = true;
    auto main = NSBundle::mainBundle();
    mainTable_ = tableOf(main);
    const std::string root = main->resourcePath() + "/" + kBundleName;
    auto bundle = NSBundle::bundleWithPath(root);
    if (bundle && useAllAvailableLanguages_) {
        const auto languages = LocaleRegion::preferredLanguages();
        std::string language = languages.empty() || languages.front().empty() ? "en" : languages.front();
        auto has = [&](const std::string& name) { return std::filesystem::is_directory(root + "/" + name + ".lproj"); };
        if (!has(language)) language = language.substr(0, language.find('-'));
        if (has(language)) {
            folder_ = language + ".lproj";
            bundle = NSBundle::bundleWithPath(root + "/" + folder_);
        }
    }
    // A bundle that cannot be opened leaves the application's own strings.
    bundleTable_ = bundle ? tableOf(bundle) : mainTable_;
}

const std::string& RatePromptTexts::chosenFolder() {
    if (!chosen_) choose();
    return folder_;
}

std::string RatePromptTexts::localizedStringForKey(const std::string& key, const std::string& fallback) {
    if (!chosen_) choose();
    const Value& fromBundle = bundleTable_[key];
    const std::string text = fromBundle.isString() ? *fromBundle.string() : fallback;
    const Value& own = mainTable_[key];
    return own.isString() ? *own.string() : text;
}
