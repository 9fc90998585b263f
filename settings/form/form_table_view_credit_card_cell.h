// The payment card row's cell. A card picture at the left flips to the recognised type, and to the
// card's back while the code is typed; a ribbon marks an expired card. While the number is
// incomplete its field fills the row; once complete the number slides left until only its last
// group shows and the expiry and code fields slide in after it. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/control/ui_image_view.h"
#include "settings/form/form_credit_card_item.h"
#include "settings/form/form_formatted_number_field.h"
#include "settings/form/form_table_view_cell.h"

class FormTableViewCreditCardCell : public FormTableViewCell, public UITextFieldDelegate {
public:
    KORVA_MAKE(FormTableViewCreditCardCell)
    using FormTableViewCell::heightWithItem;
    static bool canFocus() { return true; }
    // The fields by tag.
    enum FieldTag : long { NumberTag = 0, ExpiryTag = 1, CodeTag = 2 };

    std::shared_ptr<FormCreditCardItem> cardItem() const {
        return std::dynamic_pointer_cast<FormCreditCardItem>(formItemObject(item()));
    }
    const std::shared_ptr<UIView>& creditCardImageViewContainer() const { return holder_; }
    const std::shared_ptr<UIImageView>& creditCardStackImageView() const { return stack_; }
    const std::shared_ptr<UIImageView>& creditCardImageView() const { return type_; }
    const std::shared_ptr<UIImageView>& creditCardBackImageView() const { return back_; }
    const std::shared_ptr<UIImageView>& currentImageView() const { return current_; }
    const std::shared_ptr<UIView>& wrapperView() const { return wrapper_; }
    const std::shared_ptr<FormFormattedNumberField>& creditCardField() const { return numberField_; }
    const std::shared_ptr<FormFormattedNumberField>& expirationDateField() const { return expiryField_; }
    const std::shared_ptr<FormFormattedNumberField>& cvvField() const { return codeField_; }
    const std::shared_ptr<UIImageView>& ribbonExpired() const { return ribbon_; }
    bool isNumberEditingMode() const { return numberEditing_; }
    // Extra offset of the fields: the width moves them right on larger devices, the height down.
    CGSize textFieldPositionOffset() const { return offset_; }
    void setTextFieldPositionOffset(CGSize offset) { offset_ = offset; }

    std::shared_ptr<UIView> responder() const override { return numberField_; }
    bool becomeResponder() override { return numberField_ && numberField_->becomeFirstResponder(); }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setSelected(bool selected, bool animated) override;
    void setEnabled(bool e) override;
    // Back to the front picture after leaving the expiry or code field, unless the code took over.
    void flipCreditCardImageViewBack(UITextField& field);
    void textFieldDidChange(UITextField& field);

    bool textFieldShouldBeginEditing(UITextField& field) override;
    bool textFieldShouldEndEditing(UITextField& field) override;
    bool shouldChangeCharactersInRange(UITextField& field, NSRange range, const std::string& text) override;

    std::string className() const override { return "FormTableViewCreditCardCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<FormFormattedNumberField> makeField(CGRect frame, long tag, const char* format,
                                                        const char* placeholder);
    void flip(const std::shared_ptr<UIImageView>& from, const std::shared_ptr<UIImageView>& to, bool fromLeft);
    void showType(FormCreditCardType type, bool animated);
    // Compact (number complete) or wide, by isNumberEditingMode.
    void placeFields();
    void setNumberEditingMode(bool editing, bool animated);
    bool isPhone() const;

    std::shared_ptr<UIView> holder_, wrapper_;
    std::shared_ptr<UIImageView> stack_, type_, back_, current_, ribbon_;
    std::shared_ptr<FormFormattedNumberField> numberField_, expiryField_, codeField_;
    bool numberEditing_ = true;
    CGSize offset_{0, 0};
};
