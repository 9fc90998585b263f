// The acknowledgements list reader.
#include "settings/licenses/acknowledgements_parser.h"

#include "platform/runtime/log.h"
#include "platform/storage/property_list.h"
#include "platform/text/regular_expression.h"
#include "settings/value_members.h"

void AcknowledgementsParser::init() {
    NSObject::init();
    auto plist = readPropertyListFile(path_);
    if (!plist) {
        Log::warning("settings", "acknowledgements: cannot read " + path_ + ": " + plist.error());
        return;
    }
    const Value specifiers = plist->isDictionary() ? (*plist)["PreferenceSpecifiers"] : Value();
    if (!specifiers.isArray()) {
        Log::warning("settings", "acknowledgements: " + path_ + " holds no PreferenceSpecifiers array");
        return;
    }
    const std::size_t count = specifiers.count();
    std::size_t first = 0, last = count;
    if (count >= 2) {
        header_ = textMember(specifiers[std::size_t{0}], "FooterText");
        footer_ = textMember(specifiers[count - 1], "FooterText");
        first = 1;
        last = count - 1;
    }
    for (std::size_t i = first; i < last; ++i) {
        const Value& entry = specifiers[i];
        acknowledgements_.push_back(
            Acknowledgement::make(textMember(entry, "Title"),
                                  stringByFilteringOutPrematureLineBreaksFromString(textMember(entry, "FooterText")),
                                  textMember(entry, "License")));
    }
}

std::string AcknowledgementsParser::stringByFilteringOutPrematureLineBreaksFromString(std::string_view text) {
    static const auto pattern = NSRegularExpression::regularExpressionWithPattern("(?<=.)(\\h)*(\\R)(\\h)*(?=.)", 0);
    if (!pattern) return std::string(text);
    return (*pattern)->stringByReplacingMatchesInString(text, " ");
}
