// The stock rules.
#include "settings/form/form_validators.h"

#include "platform/runtime/utf16.h"
#include "platform/text/regular_expression.h"
#include "settings/form/form_validation.h"

namespace {

const char* const kEmailPattern = "[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,4}";
// Host labels are written as runs joined by single hyphens ("[x]+(?:-[x]+)*") rather than the
// equivalent "(?:[x]+-?)*[x]+", whose nested repetition backtracks without end on long text.
const char* const kURLPattern =
    "^(?i)(?:(?:https?|ftp):\\/\\/)?(?:\\S+(?::\\S*)?@)?(?:(?:[1-9]\\d?|1\\d\\d|2[01]\\d|22[0-3])"
    "(?:\\.(?:1?\\d{1,2}|2[0-4]\\d|25[0-5])){2}(?:\\.(?:[1-9]\\d?|1\\d\\d|2[0-4]\\d|25[0-4]))|"
    "(?:[a-z\\u00a1-\\uffff0-9]+(?:-[a-z\\u00a1-\\uffff0-9]+)*)(?:\\.[a-z\\u00a1-\\uffff0-9]+(?:-[a-z\\u00a1-\\uffff0-"
    "9]+)*)*"
    "(?:\\.(?:[a-z\\u00a1-\\uffff]{2,})))(?::\\d{2,5})?(?:\\/[^\\s]*)?$";

std::shared_ptr<NSRegularExpression> compiled(const char* pattern) {
    auto re = NSRegularExpression::regularExpressionWithPattern(pattern, NSRegularExpressionCaseInsensitive);
    return re ? *re : nullptr;
}

// The text of a value for the address rules: none counts as empty; other kinds are not text.
std::optional<std::string> textOf(const Value& value) {
    if (value.isNull()) return std::string();
    if (const auto* s = value.string()) return *s;
    return std::nullopt;
}

std::int64_t integerParameter(const Value& parameters, const char* key) {
    const Value& v = parameters.isDictionary() ? parameters[key] : Value::null();
    return v.isNumber() ? v.integerValue() : 0;
}

}  // namespace

std::shared_ptr<NSError> FormPresenceValidator::validateObject(const Value& value, const std::string& name,
                                                               const Value&) const {
    const auto* text = value.string();
    if (value.isNull() || (text && text->empty()))
        return form_validationErrorForDomain(FormValidationPresenceDomain, {name});
    return nullptr;
}

Value FormLengthValidator::parseParameterString(std::string_view ruleText) const {
    static const auto digits = compiled("(\\d+)");
    if (!digits) return nullptr;
    auto matches = digits->matchesInString(ruleText);
    if (matches.size() != 2) return nullptr;
    auto number = [&](const NSTextCheckingResult& m) -> Value {
        std::string run = utf16Substring(ruleText, m.rangeAtIndex(1));
        // Runs too long for an integer read as the largest one rather than failing.
        try {
            return Value(static_cast<long long>(std::stoll(run)));
        } catch (const std::exception&) {
            return Value(static_cast<long long>(INT64_MAX));
        }
    };
    return Value::dictionary({{"min", number(matches[0])}, {"max", number(matches[1])}});
}

std::shared_ptr<NSError> FormLengthValidator::validateObject(const Value& value, const std::string& name,
                                                             const Value& parameters) const {
    const auto* text = value.string();
    if (!text && !value.isNull()) return nullptr;
    auto length = static_cast<std::int64_t>(text ? utf16Length(*text) : 0);
    std::int64_t min = integerParameter(parameters, "min"), max = integerParameter(parameters, "max");
    if (length < min) return form_validationErrorForDomain(FormValidationMinimumLengthDomain, {name, Value(min)});
    if (max != 0 && length > max)
        return form_validationErrorForDomain(FormValidationMaximumLengthDomain, {name, Value(max)});
    return nullptr;
}

std::shared_ptr<NSError> FormEmailValidator::validateObject(const Value& value, const std::string& name,
                                                            const Value&) const {
    static const auto email = compiled(kEmailPattern);
    auto text = textOf(value);
    if (!text || text->empty() || !email) return nullptr;
    // Without an "@" nothing can match; the search is skipped, as it is slow on long text.
    if (text->find('@') != std::string::npos && email->firstMatchInString(*text)) return nullptr;
    return form_validationErrorForDomain(FormValidationEmailDomain, {name});
}

std::shared_ptr<NSError> FormURLValidator::validateObject(const Value& value, const std::string& name,
                                                          const Value&) const {
    static const auto url = compiled(kURLPattern);
    auto text = textOf(value);
    if (!text || text->empty() || !url) return nullptr;
    if (url->firstMatchInString(*text)) return nullptr;
    return form_validationErrorForDomain(FormValidationURLDomain, {name});
}
