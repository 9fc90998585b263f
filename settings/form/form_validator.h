// Validation rules for form values. A rule has a name ("presence", "length", ...), parses its
// parameters from a rule text such as "length(2,10)", and checks a value; a validator object may
// instead carry an inline check. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class FormValidator : public NSObject {
public:
    KORVA_MAKE(FormValidator)
    using InlineValidation = std::function<std::shared_ptr<NSError>(const Value& value, const std::string& name)>;

    static std::shared_ptr<FormValidator> validator() { return make(); }
    static std::shared_ptr<FormValidator> validatorWithParameters(Value parameters);
    static std::shared_ptr<FormValidator> validatorWithInlineValidation(InlineValidation block);
    // None without a block, else the block's answer.
    static std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                                   const InlineValidation& block);

    // What the rule class answers; the base is a rule without a name that accepts everything.
    virtual std::string name() const { return ""; }
    // A dictionary of parameters, or null.
    virtual Value parseParameterString(std::string_view ruleText) const;
    virtual std::shared_ptr<NSError> validateObject(const Value& value, const std::string& name,
                                                    const Value& parameters) const;
    // A fresh validator of the same rule with the given parameters.
    virtual std::shared_ptr<FormValidator> withParameters(Value parameters) const;

    const Value& parameters() const { return parameters_; }
    void setParameters(Value p) { parameters_ = std::move(p); }
    const InlineValidation& inlineValidation() const { return inline_; }
    void setInlineValidation(InlineValidation block) { inline_ = std::move(block); }

    std::string className() const override { return "FormValidator"; }

protected:
    FormValidator() = default;

private:
    Value parameters_;
    InlineValidation inline_;
};

// One entry of an item's validator list: a rule text or a validator object.
using FormValidatorEntry = std::variant<std::string, std::shared_ptr<FormValidator>>;
using FormErrors = std::vector<std::shared_ptr<NSError>>;
