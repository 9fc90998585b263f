// The address bar: its two layers, its buttons and the typed address.
#include "app/web/my_safari_url_field.h"

#include "app/web/typed_address.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/controls/anim_button.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {
constexpr CGFloat kFieldGrey = 225.0 / 255, kFieldBlue = 229.0 / 255;

// The glyph drawn 50 x 50 and shown in the 25-point button at twice the density, so it fits.
std::shared_ptr<UIImage> icon(std::uint16_t glyph, const std::shared_ptr<UIColor>& color) {
    auto font = Global::shared()->font();
    auto image = imageIcon(glyph, MySafariURLField::kIconImageSize, font ? font->iconButton() : nullptr, color,
                           UIColor::clearColor());
    if (!image || !image->cgImage()) return image;
    const CGFloat shrink = MySafariURLField::kIconImageSize.width / MySafariURLField::kButtonSide;
    return UIImage::imageWithCGImage(image->cgImage(), image->scale() * shrink);
}

std::shared_ptr<UIColor> iconColor() {
    auto device = Global::shared()->device();
    return device && device->isDarkMode() ? UIColor::whiteColor() : UIColor::blackColor();
}
}  // namespace

void MySafariURLField::init() {
    UIView::init();
    setBackgroundColor(UIColor::colorWithRed(kFieldGrey, kFieldGrey, kFieldBlue, 1));
    setClipsToBounds(true);
    assignRound(*this, kCornerRadius);
    buildInputLayer();
    buildTitleLayer();
    updateView();
}

void MySafariURLField::buildInputLayer() {
    std::weak_ptr<MySafariURLField> weak = self<MySafariURLField>();
    viewInput_ = UIView::make();
    addSubview(viewInput_);
    addConstraintsFull(viewInput_, self<UIView>(), 0, 0, 0, 0);
    input_ = UITextField::make();
    input_->setTextAlignment(NSTextAlignment::Center);
    input_->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    input_->setKeyboardType(UIKeyboardType::URL);
    input_->traits().autocapitalizationType = UITextAutocapitalizationType::None;
    input_->traits().autocorrectionType = UITextAutocorrectionType::No;
    input_->traits().spellCheckingType = UITextSpellCheckingType::No;
    input_->setDelegate(std::dynamic_pointer_cast<UITextFieldDelegate>(self<MySafariURLField>()));
    viewInput_->addSubview(input_);
    addConstraintsFull(input_, viewInput_, kFieldInset, 0, -kFieldInset, 0);
    UIViewAddGestureRecognizer(*viewInput_, UITapGestureRecognizer::make([weak](UIGestureRecognizer& tap) {
        auto me = weak.lock();
        if (me && tap.state() == UIGestureRecognizerState::Ended) me->onTapInput();
    }));
}

void MySafariURLField::buildTitleLayer() {
    std::weak_ptr<MySafariURLField> weak = self<MySafariURLField>();
    viewNormal_ = UIView::make();
    addSubview(viewNormal_);
    addConstraintsFull(viewNormal_, self<UIView>(), 0, 0, 0, 0);

    btnRefresh_ = UIButton::buttonWithType(UIButtonType::Custom);
    btnRefresh_->setImage(icon(kIconRefresh, iconColor()), UIControlStateNormal);
    viewNormal_->addSubview(btnRefresh_);
    addConstraintsRC(btnRefresh_, viewNormal_, -kButtonInset, 0, kButtonSide, kButtonSide);
    btnRefresh_->addAction(weakBind(self<MySafariURLField>(), &MySafariURLField::onRefresh),
                           UIControlEventTouchUpInside);

    btnText_ = AnimButton::make();
    btnText_->setTitle(std::string(), UIControlStateNormal);
    auto palette = Global::shared()->color();
    btnText_->setImages(icon(kIconText, iconColor()),
                        icon(kIconText, palette ? palette->bookmarked() : UIColor::orangeColor()));
    btnText_->setOn(false, nullptr);
    viewNormal_->addSubview(btnText_);
    addConstraintsLC(btnText_, viewNormal_, kButtonInset, 0, kButtonSide, kButtonSide);
    btnText_->addAction(weakBind(self<MySafariURLField>(), &MySafariURLField::onText), UIControlEventTouchUpInside);

    lbl_ = UILabel::make();
    lbl_->setTextAlignment(NSTextAlignment::Center);
    viewNormal_->addSubview(lbl_);
    addConstraintsFull(lbl_, viewNormal_, kTitleInset, 0, -kTitleInset, 0);
    UIViewAddGestureRecognizer(*viewNormal_, UITapGestureRecognizer::make([weak](UIGestureRecognizer& tap) {
        auto me = weak.lock();
        if (me && tap.state() == UIGestureRecognizerState::Ended) me->onTapNormal();
    }));
}

void MySafariURLField::setHideRefreshButton(bool hide) {
    hideRefreshButton_ = hide;
    updateView();
}

void MySafariURLField::setHideTextButton(bool hide) {
    hideTextButton_ = hide;
    updateView();
}

void MySafariURLField::setModeText(bool on) {
    modeText_ = on;
    updateView();
}

void MySafariURLField::setTextInput(std::string text) {
    textInput_ = std::move(text);
    updateView();
}

void MySafariURLField::setTextLabel(std::string text) {
    textLabel_ = std::move(text);
    updateView();
}

void MySafariURLField::updateView() {
    viewInput_->setHidden(!modeInput_);
    viewNormal_->setHidden(modeInput_);
    if (modeInput_) return;
    input_->setText(textInput_);
    lbl_->setText(textLabel_);
    btnRefresh_->setHidden(hideRefreshButton_);
    btnText_->setHidden(hideTextButton_);
    if (btnText_->on() != modeText_) btnText_->setOn(modeText_, nullptr);
}

bool MySafariURLField::resignFirstResponder() {
    return input_->resignFirstResponder();
}

void MySafariURLField::onRefresh() {
    if (auto d = delegate()) d->onMySafariURLFieldRefresh(*this);
}

void MySafariURLField::onText() {
    modeText_ = !modeText_;
    btnText_->setOn(modeText_, nullptr);
    if (auto d = delegate()) d->onMySafariURLFieldText(*this, modeText_);
}

void MySafariURLField::onTapNormal() {
    modeInput_ = true;
    updateView();
    input_->becomeFirstResponder();
}

void MySafariURLField::onTapInput() {
    input_->resignFirstResponder();
}

void MySafariURLField::textFieldDidEndEditing(UITextField&) {
    modeInput_ = false;
    updateView();
}

bool MySafariURLField::textFieldShouldClear(UITextField& field) {
    field.setText(std::string());
    field.becomeFirstResponder();
    return false;
}

bool MySafariURLField::textFieldShouldReturn(UITextField& field) {
    std::string url = addressFromTypedText(field.text(), webSearchHost());
    auto keep = self<MySafariURLField>();
    field.resignFirstResponder();
    if (auto d = delegate()) d->onMySafariURLFieldUrlUpdated(*this, url);
    return false;
}
