// The four stock rules: presence, length(min,max), email and url.
#pragma once

#include "settings/form/form_validator.h"

// Gives a rule class its fresh-copy operation.
template <class Rule>
class FormRule : public FormValidator {
public:
    std::shared_ptr<FormValidator> withParameters(Value parameters) const override {
        auto v = Rule::make();
        v->setParameters(std::move(parameters));
        return v;
    }
};

// Fails a missing value and the empty text; anything else passes (blanks too).
class FormPresenceValidator : public FormRule<FormPresenceValidator> {
public:
    KORVA_MAKE(FormPresenceValidator)
    std::string name() const override { return "presence"; }
    std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                            const Value& parameters) const override;
    std::string className() const override { return "FormPresenceValidator"; }
};

// "length(min,max)": exactly two numbers in the text give min and max (max 0 means no upper
// limit); any other count gives no parameters, and the rule then always passes. A missing value
// has length 0; a value that is not text passes.
class FormLengthValidator : public FormRule<FormLengthValidator> {
public:
    KORVA_MAKE(FormLengthValidator)
    std::string name() const override { return "length"; }
    Value parseParameterString(std::string_view ruleText) const override;
    std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                            const Value& parameters) const override;
    std::string className() const override { return "FormLengthValidator"; }
};

// The empty text (or none) passes; otherwise an address must appear somewhere in the text.
class FormEmailValidator : public FormRule<FormEmailValidator> {
public:
    KORVA_MAKE(FormEmailValidator)
    std::string name() const override { return "email"; }
    std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                            const Value& parameters) const override;
    std::string className() const override { return "FormEmailValidator"; }
};

// The empty text (or none) passes; otherwise the whole text must be a web address: optional
// scheme and user, a public dotted IPv4 address or a host name with a final label of two letters
// or more, an optional port and path.
class FormURLValidator : public FormRule<FormURLValidator> {
public:
    KORVA_MAKE(FormURLValidator)
    std::string name() const override { return "url"; }
    std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                            const Value& parameters) const override;
    std::string className() const override { return "FormURLValidator"; }
};
