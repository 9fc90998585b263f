// The formatted number field: layout after typing, the pattern-aware backspace, and the relay of
// delegate questions.
#include "settings/form/form_formatted_number_field.h"

#include "platform/dispatch/queue.h"
#include "platform/runtime/utf16.h"
#include "settings/form/form_number_format.h"

void FormFormattedNumberField::init() {
    UITextField::init();
    setKeyboardType(UIKeyboardType::NumberPad);
    UITextField::setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self<FormFormattedNumberField>()));
    addAction([](UIControl& c) { static_cast<FormFormattedNumberField&>(c).formatInput(); },
              UIControlEventEditingChanged);
}

std::string FormFormattedNumberField::unformattedText() const {
    return form_unformattedText(text(), format_);
}

std::shared_ptr<UITextFieldDelegate> FormFormattedNumberField::outer() const {
    auto d = original_.lock();
    return d.get() == static_cast<const UITextFieldDelegate*>(this) ? nullptr : d;
}

void FormFormattedNumberField::formatInput() {
    if (currentFormatted_ && text() == *currentFormatted_) return;
    std::weak_ptr<FormFormattedNumberField> weak = self<FormFormattedNumberField>();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        auto field = weak.lock();
        if (!field) return;
        std::string laid = form_stringWithNumberFormat(field->unformattedText(), field->format_.value_or(""));
        field->setText(laid);
        field->currentFormatted_ = laid;
        field->sendActionsForControlEvents(UIControlEventEditingChanged);
    });
}

void FormFormattedNumberField::deleteBackward() {
    const std::string& current = text();
    std::size_t n = utf16Length(current);
    std::size_t keep = 0;
    if (!format_) {
        keep = n > 0 ? n - 1 : 0;
    } else {
        // The longest cut that ends on a digit place of the pattern; a text set from outside
        // that is longer than the pattern is only read up to the pattern's end.
        std::u16string pattern = toUtf16(*format_);
        for (std::size_t k = std::min(n - (n > 0 ? 1 : 0), pattern.size()); k >= 1; --k)
            if (pattern[k - 1] == u'X') {
                keep = k;
                break;
            }
    }
    std::string next = utf16SubstringTo(current, keep);
    setText(next);
    currentFormatted_ = next;
    sendActionsForControlEvents(UIControlEventEditingChanged);
}

bool FormFormattedNumberField::shouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                             const std::string& text) {
    if (range.length == 1 && text.empty()) {
        deleteBackward();
        return false;
    }
    auto d = outer();
    return d ? d->shouldChangeCharactersInRange(field, range, text) : true;
}

bool FormFormattedNumberField::textFieldShouldBeginEditing(UITextField& f) {
    auto d = outer();
    return d ? d->textFieldShouldBeginEditing(f) : true;
}

void FormFormattedNumberField::textFieldDidBeginEditing(UITextField& f) {
    if (auto d = outer()) d->textFieldDidBeginEditing(f);
}

bool FormFormattedNumberField::textFieldShouldEndEditing(UITextField& f) {
    auto d = outer();
    return d ? d->textFieldShouldEndEditing(f) : true;
}

void FormFormattedNumberField::textFieldDidEndEditing(UITextField& f) {
    if (auto d = outer()) d->textFieldDidEndEditing(f);
}

bool FormFormattedNumberField::textFieldShouldClear(UITextField& f) {
    auto d = outer();
    return d ? d->textFieldShouldClear(f) : true;
}

bool FormFormattedNumberField::textFieldShouldReturn(UITextField& f) {
    auto d = outer();
    return d ? d->textFieldShouldReturn(f) : true;
}
