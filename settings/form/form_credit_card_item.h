// The payment card row: number, expiry month ("MM/yy") and security code typed in one row, with
// the recognised card type and the expired-card ribbon.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/draw/image.h"
#include "platform/ui/input/text_input_traits.h"
#include "settings/form/form_table_view_item.h"

enum class FormCreditCardType : unsigned { None = 0, Visa = 1, Mastercard = 2, AmericanExpress = 3, Discover = 4 };

// The type a number stands for, from its digits (spaces and other characters are ignored); each
// kind is recognised from its first digits once enough digits are there (Visa from 13, American
// Express from 14, the others from 15), none before.
FormCreditCardType formCreditCardType(std::string_view number);
// The digits that make a number of the type complete: 15 for American Express, else 16.
std::size_t formCreditCardCompleteDigits(FormCreditCardType type);
// Whether an "MM/yy" expiry lies before the month of `now` (seconds since 2001-01-01 UTC) in the
// device's calendar. The empty text, the current month and text that is no expiry are not expired.
bool formCreditCardExpired(std::string_view expiry, double now);

class FormCreditCardItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormCreditCardItem)
    static std::shared_ptr<FormCreditCardItem> item() { return itemWithNumber("", std::string(""), ""); }
    static std::shared_ptr<FormCreditCardItem> itemWithNumber(std::string number, std::string expirationString,
                                                              std::string cvv);
    // The expiry month of a date, written "MM/yy" in the device's zone.
    static std::shared_ptr<FormCreditCardItem> itemWithNumber(std::string number, double expirationDate,
                                                              std::string cvv);

    // As typed, group spaces included.
    std::string number;
    std::string expirationDate;
    std::string cvv;
    FormCreditCardType creditCardType = FormCreditCardType::None;
    bool cvvRequired = true;
    UIKeyboardAppearance keyboardAppearance = UIKeyboardAppearance::Default;

    // Loaded from the kit's bundle ("Ribbon_Expired") when first read without one set.
    std::shared_ptr<UIImage> expiredRibbonImage();
    void setExpiredRibbonImage(std::shared_ptr<UIImage> image) { ribbon_ = std::move(image); }

    std::optional<FormErrors> errors() const override;
    std::string className() const override { return "FormCreditCardItem"; }

protected:
    FormCreditCardItem() = default;

private:
    std::shared_ptr<UIImage> ribbon_;
};
