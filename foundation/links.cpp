// Links and display names.
#include "foundation/links.h"

#include "foundation/dictionary_custom.h"
#include "foundation/global.h"
#include "foundation/string_custom_trim.h"
#include "foundation/string_custom_values.h"
#include "platform/net/url.h"
#include "platform/storage/bundle.h"
#include "platform/text/person_name_formatter.h"
#include "platform/ui/app/ui_application.h"

namespace {

std::string joined(std::initializer_list<const std::string*> parts) {
    std::string out;
    for (const std::string* part : parts) {
        if (part->empty()) continue;
        if (!out.empty()) out += ' ';
        out += *part;
    }
    return out;
}

}  // namespace

std::string configuredString(std::string_view key, std::string_view fallback) {
    Value value = NSBundle::mainBundle()->objectForInfoDictionaryKey(key);
    return value.isString() && !value.string()->empty() ? *value.string() : std::string(fallback);
}

bool openURL(std::string_view address) {
    auto application = UIApplication::sharedApplication();
    std::string text(address);
    if (!NSURL::URLWithString(text) || !application->canOpenURL(text)) return false;
    application->openURL(text, Value::dictionary({{"UIApplicationOpenURLOptionUniversalLinksOnly", false}}),
                         [](bool) {});
    return true;
}

std::string googleTranslate(std::string_view text, const std::optional<std::string>& sourceCode) {
    std::string target = Global::shared()->googleTranslateLangCode().value_or("en");
    if (target == "zh-cn") target = "zh-CN";
    if (target == "zh-tw") target = "zh-TW";
    Value query =
        Value::dictionary({{"op", "translate"},
                           {"sl", Value(sourceCode && !sourceCode->empty() ? *sourceCode : std::string("auto"))},
                           {"tl", Value(target)},
                           {"text", Value(text)}});
    return "https://" + configuredString("KorvaTranslateHost", "translate.korva.invalid") + "/?" + queryString(query);
}

std::string urlContent(std::string_view query) {
    return configuredString("KorvaShareURL", "https://share.korva.invalid/content") + "?" + std::string(query);
}

Value splitLanguageCountryCode(std::string_view code) {
    std::size_t dash = code.find('-');
    if (dash == std::string_view::npos) return Value::dictionary({{"lcode", Value(code)}});
    return Value::dictionary({{"lcode", Value(code.substr(0, dash))}, {"ccode", Value(code.substr(dash + 1))}});
}

std::string languageCodeOnly(std::string_view code) {
    return *splitLanguageCountryCode(code)["lcode"].string();
}

std::string desc(const NSError& error) {
    std::string reason = error.localizedFailureReason();
    if (!reason.empty()) return reason;
    std::string description = error.localizedDescription();
    return description.empty() ? error.description() : description;
}

std::string name1(const CNContact& c) {
    std::string name = joined({&c.namePrefix, &c.givenName, &c.middleName, &c.familyName, &c.nameSuffix});
    return name.empty() ? c.nickname : name;
}

std::optional<std::string> name2(const CNContact& c) {
    if (!c.organizationName && !c.departmentName) return std::nullopt;
    std::string organisation = trim(c.organizationName.value_or("")), department = trim(c.departmentName.value_or(""));
    return joined({&organisation, &department});
}

std::optional<std::string> title(const CNContact& c) {
    std::string name = name1(c);
    if (!name.empty()) return name;
    return name2(c);
}

std::optional<std::string> subtitle(const CNContact& c) {
    if (!name1(c).empty()) return name2(c);
    return std::nullopt;
}

std::string initial(const CNContact& c) {
    NSPersonNameComponentsFormatter formatter;
    formatter.setStyle(NSPersonNameComponentsFormatterStyle::Abbreviated);
    NSPersonNameComponents parts;
    if (!c.givenName.empty()) parts.givenName = c.givenName;
    if (!c.middleName.empty()) parts.middleName = c.middleName;
    if (!c.familyName.empty()) parts.familyName = c.familyName;
    std::string letters = formatter.stringFromPersonNameComponents(parts);
    if (letters.empty() && !c.nickname.empty()) letters = initial(std::string_view(c.nickname));
    if (letters.empty()) letters = initial(std::string_view(c.organizationName.value_or("")));
    if (letters.empty()) letters = initial(std::string_view(c.departmentName.value_or("")));
    if (letters.empty()) letters = initial(std::string_view("Noname"));
    return letters;
}
