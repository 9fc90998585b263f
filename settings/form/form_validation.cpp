// The shared registry, the one-time defaults and the checking of rule lists.
#include "settings/form/form_validation.h"

#include <mutex>

#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/runtime/format.h"
#include "settings/form/form_validators.h"

std::shared_ptr<FormValidation> FormValidation::sharedObject() {
    static std::once_flag once;
    static std::shared_ptr<FormValidation> shared;
    std::call_once(once, [] { shared = make(); });
    return shared;
}

void FormValidation::registerValidator(const std::shared_ptr<FormValidator>& rule) {
    if (rule) sharedObject()->rules_[rule->name()] = rule;
}

void FormValidation::registerDefaultValidators() {
    static std::once_flag once;
    std::call_once(once, [] {
        registerValidator(FormPresenceValidator::make());
        registerValidator(FormLengthValidator::make());
        registerValidator(FormEmailValidator::make());
        registerValidator(FormURLValidator::make());
    });
}

void FormValidation::registerDefaultErrorMessages() {
    static std::once_flag once;
    std::call_once(once, [] {
        setErrorMessages({
            {FormValidationPresenceDomain, "%@ can't be blank."},
            {FormValidationMinimumLengthDomain, "%@ is too short (minimum is %i characters)."},
            {FormValidationMaximumLengthDomain, "%@ is too long (maximum is %i characters)."},
            {FormValidationEmailDomain, "%@ is not a valid email."},
            {FormValidationURLDomain, "%@ is not a valid url."},
        });
    });
}

std::string FormValidation::errorMessageForDomain(const std::string& domain) {
    const auto& messages = sharedObject()->messages_;
    auto it = messages.find(domain);
    if (it == messages.end()) return "";
    return Global::shared()->lang()->get(it->second);
}

void FormValidation::setErrorMessage(std::string templ, const std::string& domain) {
    sharedObject()->messages_[domain] = std::move(templ);
}

void FormValidation::setErrorMessages(std::map<std::string, std::string> messages) {
    sharedObject()->messages_ = std::move(messages);
}

std::map<std::string, std::string> FormValidation::registeredValidators() const {
    std::map<std::string, std::string> out;
    for (const auto& [name, rule] : rules_) out[name] = rule->className();
    return out;
}

std::shared_ptr<NSError> FormValidation::validateObject(const Value& value, const std::string& name,
                                                        std::string_view ruleText) {
    auto paren = ruleText.find('(');
    std::string ruleName(ruleText.substr(0, paren));
    const auto& rules = sharedObject()->rules_;
    auto it = rules.find(ruleName);
    if (it == rules.end()) return nullptr;
    const auto& rule = *it->second;
    return rule.validateObject(value, name, rule.parseParameterString(ruleText));
}

std::shared_ptr<NSError> FormValidation::validateObject(const Value& value, const std::string& name,
                                                        const std::shared_ptr<FormValidator>& validator) {
    if (!validator) return nullptr;
    return validator->validateObject(value, name, validator->parameters());
}

FormErrors FormValidation::validateObject(const Value& value, const std::string& name,
                                          const std::vector<FormValidatorEntry>& validators) {
    FormErrors errors;
    for (const auto& entry : validators) {
        std::shared_ptr<NSError> error;
        if (const auto* text = std::get_if<std::string>(&entry)) {
            error = validateObject(value, name, std::string_view(*text));
        } else if (const auto& v = std::get<std::shared_ptr<FormValidator>>(entry)) {
            error = v->inlineValidation() ? FormValidator::validateObject(value, name, v->inlineValidation())
                                          : validateObject(value, name, v);
        }
        if (error) errors.push_back(std::move(error));
    }
    return errors;
}

std::shared_ptr<NSError> form_validationErrorForDomain(const std::string& domain, std::initializer_list<Value> args) {
    std::string message = formatString(FormValidation::errorMessageForDomain(domain), args);
    return NSError::make(domain, 0, Value::dictionary({{NSLocalizedDescriptionKey, Value(message)}}));
}
