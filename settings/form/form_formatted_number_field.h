// A text field for digits laid out by a pattern (a card or phone number). Typed digits are laid
// out one main-queue turn after the keystroke; a backspace removes the last digit together with
// the separators before it. The field is its own platform delegate and passes every question on
// to the delegate its user set. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/input/ui_text_field.h"

class FormFormattedNumberField : public UITextField, public UITextFieldDelegate {
public:
    KORVA_MAKE(FormFormattedNumberField)
    void init() override;

    // The pattern ("X" per digit); none means digits only.
    const std::optional<std::string>& format() const { return format_; }
    void setFormat(std::optional<std::string> f) { format_ = std::move(f); }
    const std::optional<std::string>& currentFormattedText() const { return currentFormatted_; }
    // The digits the user entered.
    std::string unformattedText() const;

    // The user's delegate; the platform-level delegate stays the field itself.
    void setDelegate(const std::shared_ptr<UITextFieldDelegate>& d) override { original_ = d; }
    std::shared_ptr<UITextFieldDelegate> delegate() const { return original_.lock(); }

    void deleteBackward() override;
    // Lays the text out again after an edit that the field did not make itself.
    void formatInput();

    // UITextFieldDelegate: a one-character deletion becomes deleteBackward; the rest goes to the
    // user's delegate.
    bool shouldChangeCharactersInRange(UITextField& field, NSRange range, const std::string& text) override;
    bool textFieldShouldBeginEditing(UITextField& f) override;
    void textFieldDidBeginEditing(UITextField& f) override;
    bool textFieldShouldEndEditing(UITextField& f) override;
    void textFieldDidEndEditing(UITextField& f) override;
    bool textFieldShouldClear(UITextField& f) override;
    bool textFieldShouldReturn(UITextField& f) override;

    std::string className() const override { return "FormFormattedNumberField"; }

protected:
    explicit FormFormattedNumberField(CGRect frame = CGRectZero) : UITextField(frame) {}

private:
    // The user's delegate unless it is the field itself.
    std::shared_ptr<UITextFieldDelegate> outer() const;

    std::optional<std::string> format_;
    std::optional<std::string> currentFormatted_;
    std::weak_ptr<UITextFieldDelegate> original_;
};
