// The rating prompt's texts: the strings bundle "RatePrompt.bundle" among the application's
// resources, in the user's first preferred language when it has that localisation (or the
// language without its region), then the application's own strings, which win. The bundle is
// chosen on first use and kept. Main thread only.
#pragma once

#include <optional>
#include <string>

#include "platform/runtime/value.h"

class RatePromptTexts {
public:
    explicit RatePromptTexts(bool useAllAvailableLanguages) : useAllAvailableLanguages_(useAllAvailableLanguages) {}

    // The text for the key; the default when neither table has it.
    std::string localizedStringForKey(const std::string& key, const std::string& fallback);
    // The localisation folder chosen ("fi.lproj"), or empty for the bundle's own choice.
    const std::string& chosenFolder();

private:
    void choose();

    bool useAllAvailableLanguages_;
    bool chosen_ = false;
    std::string folder_;
    Value bundleTable_;
    Value mainTable_;
};
