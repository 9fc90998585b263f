// The payment card cell: pictures and flips, the sliding fields, the month guard.
#include "settings/form/form_table_view_credit_card_cell.h"

#include <cstdlib>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/animation/ui_view_transition.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/text/ui_font.h"
#include "settings/form/form_number_format.h"
#include "settings/form/form_row_margin.h"
#include "settings/form/form_string_measure.h"

namespace {
constexpr CGFloat kPictureSize = 32;
constexpr CGFloat kPictureTop = 5;
constexpr CGFloat kWrapperX = 60;
constexpr CGFloat kWrapperWidthLess = 70;
constexpr CGFloat kNumberWidth = 216;
constexpr CGFloat kOutOfSight = 320;
constexpr CGFloat kExpiryWidth = 80;
constexpr CGFloat kCodeWidth = 60;
constexpr CGFloat kFieldFontSize = 17;
constexpr CGFloat kFieldSlackPhone = 30;
constexpr CGFloat kFieldSlackOther = 50;
constexpr double kFlipDuration = 0.4;
constexpr double kSlideDuration = 0.1;
constexpr double kFlipBackDelay = 0.1;
// Characters of the number that stay in view once it is complete.
constexpr std::size_t kVisibleTail = 4;
constexpr std::size_t kVisibleTailAmex = 3;
// A month's second digit may make at most 12.
constexpr long kMonthsInYear = 12;

const char* pictureName(FormCreditCardType type) {
    switch (type) {
        case FormCreditCardType::Visa: return "Card_Visa";
        case FormCreditCardType::Mastercard: return "Card_Mastercard";
        case FormCreditCardType::AmericanExpress: return "Card_Amex";
        case FormCreditCardType::Discover: return "Card_Discover";
        case FormCreditCardType::None: break;
    }
    return "Card_Stack";
}

std::shared_ptr<UIImageView> picture(const char* name, long tag) {
    auto view = UIImageView::make(UIImage::imageNamed(name, FormTableViewManagerBundle()));
    view->setFrame(CGRectMake(0, 0, kPictureSize, kPictureSize));
    view->setTag(tag);
    return view;
}

// Whether the text holds the complete number of its type.
bool complete(const std::string& number) {
    return form_digitsOnly(number).size() >= formCreditCardCompleteDigits(formCreditCardType(number));
}
}  // namespace

bool FormTableViewCreditCardCell::isPhone() const {
    return UIScreen::mainScreen()->idiom() == UIUserInterfaceIdiom::Phone;
}

std::shared_ptr<FormFormattedNumberField> FormTableViewCreditCardCell::makeField(CGRect frame, long tag,
                                                                                 const char* format,
                                                                                 const char* placeholder) {
    auto field = FormFormattedNumberField::make(frame);
    field->setTag(tag);
    field->setFormat(std::string(format));
    field->setPlaceholder(placeholder);
    field->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    field->setInputAccessoryView(actionBar());
    field->setDelegate(std::static_pointer_cast<UITextFieldDelegate>(self<FormTableViewCreditCardCell>()));
    std::weak_ptr<FormTableViewCreditCardCell> weak = self<FormTableViewCreditCardCell>();
    field->addAction(
        [weak](UIControl& c) {
            if (auto cell = weak.lock()) cell->textFieldDidChange(static_cast<UITextField&>(c));
        },
        UIControlEventEditingChanged);
    wrapper_->addSubview(field);
    return field;
}

void FormTableViewCreditCardCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    textLabel()->setBackgroundColor(UIColor::clearColor());
    holder_ = UIView::make(CGRectMake(0, 0, kPictureSize, kPictureSize));
    contentView()->addSubview(holder_);
    stack_ = picture("Card_Stack", 0);
    type_ = picture("Card_Visa", 1);
    back_ = picture("Card_Back", 2);
    holder_->addSubview(stack_);
    current_ = stack_;
    CGFloat height = bounds().size.height;
    CGFloat x = isPhone() ? kWrapperX : offset_.width + kWrapperX;
    wrapper_ = UIView::make(CGRectMake(x, offset_.height, bounds().size.width - kWrapperWidthLess, height));
    wrapper_->setClipsToBounds(true);
    wrapper_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    contentView()->addSubview(wrapper_);
    numberField_ = makeField(CGRectMake(0, 0, kNumberWidth, height - offset_.height), NumberTag, "XXXX XXXX XXXX XXXX",
                             "1234 1234 1234 1234");
    expiryField_ = makeField(CGRectMake(kOutOfSight, 0, kExpiryWidth, height), ExpiryTag, "XX/XX", "MM/YY");
    codeField_ = makeField(CGRectMake(kOutOfSight, 0, kCodeWidth, height), CodeTag, "XXX", "CVV");
    ribbon_ = UIImageView::make(nullptr);
    contentView()->addSubview(ribbon_);
    if (auto item = cardItem()) setEnabled(item->enabled());
}

void FormTableViewCreditCardCell::flip(const std::shared_ptr<UIImageView>& from, const std::shared_ptr<UIImageView>& to,
                                       bool fromLeft) {
    if (from == to) return;
    UIViewTransition::transitionFromView(
        from, to, kFlipDuration,
        fromLeft ? UIViewAnimationOptionTransitionFlipFromLeft : UIViewAnimationOptionTransitionFlipFromRight);
}

void FormTableViewCreditCardCell::showType(FormCreditCardType type, bool animated) {
    if (type != FormCreditCardType::None) {
        type_->setImage(UIImage::imageNamed(pictureName(type), FormTableViewManagerBundle()));
        if (animated) flip(stack_, type_, true);
        current_ = type_;
    } else if (current_ != stack_) {
        if (animated) flip(type_, stack_, false);
        current_ = stack_;
    }
}

void FormTableViewCreditCardCell::cellWillAppear() {
    auto item = cardItem();
    if (!item) return;
    holder_->setFrame(CGRectMake(formRowMargin(*sectionStyle()), kPictureTop, kPictureSize, kPictureSize));
    textLabel()->setText(item->title);
    item->creditCardType = formCreditCardType(item->number);
    numberEditing_ = !complete(item->number);
    numberField_->setText(form_stringWithNumberFormat(item->number, numberField_->format().value_or("")));
    expiryField_->setText(item->expirationDate);
    codeField_->setText(item->cvv);
    for (auto* field : {&numberField_, &expiryField_, &codeField_}) {
        (*field)->setFont(UIFont::systemFontOfSize(kFieldFontSize));
        (*field)->setKeyboardAppearance(item->keyboardAppearance);
    }
    codeField_->setHidden(!item->cvvRequired);
    ribbon_->setImage(item->expiredRibbonImage());
    ribbon_->setHidden(!formCreditCardExpired(expiryField_->text(), Clock::absoluteTime()));
    if (item->creditCardType != FormCreditCardType::None) {
        showType(item->creditCardType, true);
    } else if (!stack_->superview()) {
        // A cell shown again for a number without a type starts from the stack, not from the
        // previous card's picture.
        for (const auto& shown : holder_->subviews()) shown->removeFromSuperview();
        holder_->addSubview(stack_);
        current_ = stack_;
    }
    setEnabled(item->enabled());
    setNeedsLayout();
}

void FormTableViewCreditCardCell::placeFields() {
    auto move = [](UIView& view, CGFloat x) {
        CGRect f = view.frame();
        f.origin.x = x;
        view.setFrame(f);
    };
    if (numberEditing_) {
        move(*numberField_, 0);
        move(*expiryField_, kOutOfSight);
        move(*codeField_, kOutOfSight);
        return;
    }
    const std::string& text = numberField_->text();
    std::size_t tail =
        formCreditCardType(text) == FormCreditCardType::AmericanExpress ? kVisibleTailAmex : kVisibleTail;
    std::string hidden = text.size() > tail ? text.substr(0, text.size() - tail) : std::string();
    move(*numberField_, -form_sizeWithFont(hidden, numberField_->font()).width);
    move(*expiryField_, CGRectGetMaxX(numberField_->frame()));
    move(*codeField_, CGRectGetMaxX(expiryField_->frame()));
}

void FormTableViewCreditCardCell::setNumberEditingMode(bool editing, bool animated) {
    std::weak_ptr<FormTableViewCreditCardCell> weak = self<FormTableViewCreditCardCell>();
    auto change = [weak, editing] {
        if (auto cell = weak.lock()) {
            cell->numberEditing_ = editing;
            cell->placeFields();
        }
    };
    if (animated)
        UIViewAnimation::animate(kSlideDuration, change);
    else
        change();
}

void FormTableViewCreditCardCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    CGFloat slack = isPhone() ? kFieldSlackPhone : kFieldSlackOther;
    CGFloat height = contentView()->frame().size.height;
    for (auto* field : {&numberField_, &expiryField_, &codeField_}) {
        (*field)->sizeToFit();
        CGRect f = (*field)->frame();
        (*field)->setFrame(CGRectMake(f.origin.x, f.origin.y, f.size.width + slack, height));
    }
    if (auto image = ribbon_->image()) {
        CGSize s = image->size();
        ribbon_->setFrame(CGRectMake(contentView()->frame().size.width - s.width + 2, -2, s.width, s.height));
    }
    placeFields();
    notifyWillLayoutSubviews();
}

void FormTableViewCreditCardCell::setSelected(bool selected, bool animated) {
    FormTableViewCell::setSelected(selected, animated);
    if (selected && numberField_) numberField_->becomeFirstResponder();
}

void FormTableViewCreditCardCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    for (auto* field : {&numberField_, &expiryField_, &codeField_})
        if (*field) (*field)->setEnabled(e);
}

void FormTableViewCreditCardCell::textFieldDidChange(UITextField& field) {
    auto item = cardItem();
    if (!item) return;
    auto keep = self<FormTableViewCreditCardCell>();
    switch (field.tag()) {
        case NumberTag: {
            item->number = field.text();
            item->creditCardType = formCreditCardType(item->number);
            showType(item->creditCardType, true);
            // Complete by its digits, whatever the separators typed so far.
            bool full = complete(item->number);
            if (full && numberEditing_) {
                expiryField_->becomeFirstResponder();
                setNumberEditingMode(false, true);
            } else if (!full && !numberEditing_) {
                setNumberEditingMode(true, true);
            }
            break;
        }
        case ExpiryTag:
            item->expirationDate = field.text();
            if (field.text().size() == 5 && item->cvvRequired) codeField_->becomeFirstResponder();
            break;
        case CodeTag: item->cvv = field.text(); break;
        default: break;
    }
}

bool FormTableViewCreditCardCell::shouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                                const std::string& text) {
    if (field.tag() != ExpiryTag || range.location != 1) return true;
    std::string month = field.text() + text;
    return std::strtol(month.c_str(), nullptr, 10) <= kMonthsInYear;
}

bool FormTableViewCreditCardCell::textFieldShouldBeginEditing(UITextField& field) {
    updateActionBarNavigationControl();
    if (field.tag() == NumberTag)
        flip(back_, current_, false);
    else if (field.tag() == CodeTag)
        flip(current_, back_, true);
    return true;
}

bool FormTableViewCreditCardCell::textFieldShouldEndEditing(UITextField& field) {
    std::weak_ptr<FormTableViewCreditCardCell> weak = self<FormTableViewCreditCardCell>();
    std::weak_ptr<UITextField> leaving = std::static_pointer_cast<UITextField>(field.self<UIView>());
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, static_cast<std::int64_t>(kFlipBackDelay * 1e9)),
                   dispatch_get_main_queue(), [weak, leaving] {
                       auto cell = weak.lock();
                       auto f = leaving.lock();
                       if (cell && f) cell->flipCreditCardImageViewBack(*f);
                   });
    if (field.tag() == ExpiryTag) ribbon_->setHidden(!formCreditCardExpired(field.text(), Clock::absoluteTime()));
    return true;
}

void FormTableViewCreditCardCell::flipCreditCardImageViewBack(UITextField& field) {
    if (field.tag() != ExpiryTag && field.tag() != CodeTag) return;
    if (codeField_->isFirstResponder()) return;
    flip(back_, current_, false);
}
