// The validation service: a registry of rules by name and the message templates of their
// errors. An error's domain names the failed rule; its description is the template filled with
// the item's name and the rule's limit, localised through the bundle's string table.
// Main-thread only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "settings/form/form_validator.h"

inline constexpr const char* FormValidationPresenceDomain = "com.FormValidation.presence";
inline constexpr const char* FormValidationMinimumLengthDomain = "com.FormValidation.minimumLength";
inline constexpr const char* FormValidationMaximumLengthDomain = "com.FormValidation.maximumLength";
inline constexpr const char* FormValidationEmailDomain = "com.FormValidation.email";
inline constexpr const char* FormValidationURLDomain = "com.FormValidation.url";

class FormValidation : public NSObject {
public:
    KORVA_MAKE(FormValidation)

    static std::shared_ptr<FormValidation> sharedObject();

    // Maps the rule's name to it; a later rule of the same name replaces the earlier.
    static void registerValidator(const std::shared_ptr<FormValidator>& rule);
    // Each once per process; later calls do nothing.
    static void registerDefaultValidators();
    static void registerDefaultErrorMessages();

    // The stored template, localised (the template itself when the bundle has no translation).
    static std::string errorMessageForDomain(const std::string& domain);
    static void setErrorMessage(std::string templ, const std::string& domain);
    static void setErrorMessages(std::map<std::string, std::string> messages);

    static std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                                   std::string_view ruleText);
    static std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                                   const std::shared_ptr<FormValidator>& validator);
    // The errors in the order of the entries; empty when every rule passes.
    static FormErrors validateObject(const Value& value, const std::string& name,
                                     const std::vector<FormValidatorEntry>& validators);

    // Rule name -> rule class name.
    std::map<std::string, std::string> registeredValidators() const;
    const std::map<std::string, std::string>& errorMessages() const { return messages_; }

    std::string className() const override { return "FormValidation"; }

protected:
    FormValidation() = default;

private:
    std::map<std::string, std::shared_ptr<FormValidator>> rules_;
    std::map<std::string, std::string> messages_;
};

// An error of the domain whose description is the domain's template filled with the arguments.
std::shared_ptr<NSError> form_validationErrorForDomain(const std::string& domain, std::initializer_list<Value> args);
