// The base rule and the inline-check validator.
#include "settings/form/form_validator.h"

std::shared_ptr<FormValidator> FormValidator::validatorWithParameters(Value parameters) {
    auto v = make();
    v->setParameters(std::move(parameters));
    return v;
}

std::shared_ptr<FormValidator> FormValidator::validatorWithInlineValidation(InlineValidation block) {
    auto v = make();
    v->setInlineValidation(std::move(block));
    return v;
}

std::shared_ptr<NSError> FormValidator::validateObject(const Value& value, const std::string& name,
                                                       const InlineValidation& block) {
    return block ? block(value, name) : nullptr;
}

Value FormValidator::parseParameterString(std::string_view) const {
    return nullptr;
}

std::shared_ptr<NSError> FormValidator::validateObject(const Value&, const std::string&, const Value&) const {
    return nullptr;
}

std::shared_ptr<FormValidator> FormValidator::withParameters(Value parameters) const {
    return validatorWithParameters(std::move(parameters));
}
