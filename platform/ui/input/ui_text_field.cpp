// Text field editing: focus, typing through the delegate, events and notifications, drawing.
#include "platform/ui/input/ui_text_field.h"

#include "platform/dispatch/notification_center.h"
#include "platform/runtime/utf16.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/input/keyboard.h"
#include "platform/ui/input/text_editing.h"

UITextField::UITextField(CGRect frame) : UIControl(frame) {}

void UITextField::init() {
    UIControl::init();
    font_ = UIFont::systemFontOfSize(17);
    setOpaque(false);
}

// A field that goes away while it holds the focus takes the keyboard down with it.
UITextField::~UITextField() {
    if (!FirstResponder::current()) UIKeyboard::shared().detachSoon();
}

void UITextField::setText(std::string text) {
    text_ = std::move(text);
    setNeedsDisplay();
}

bool UITextField::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!isEnabled() || !window()) return false;
    if (auto d = delegate(); d && !d->textFieldShouldBeginEditing(*this)) return false;
    auto me = self<UITextField>();
    if (!FirstResponder::take(me)) return false;
    editing_ = true;
    if (clearsOnBegin_) text_.clear();
    if (auto d = delegate()) d->textFieldDidBeginEditing(*this);
    sendActionsForControlEvents(UIControlEventEditingDidBegin);
    NSNotificationCenter::defaultCenter()->post(UITextFieldTextDidBeginEditingNotification, me);
    setNeedsDisplay();
    return true;
}

bool UITextField::resignFirstResponder(bool force) {
    if (!isFirstResponder() || resigning_) return !isFirstResponder();
    if (!force) {
        if (auto d = delegate(); d && !d->textFieldShouldEndEditing(*this)) return false;
    }
    auto me = self<UITextField>();
    resigning_ = true;
    editing_ = false;
    FirstResponder::released(*this);
    if (auto d = delegate()) d->textFieldDidEndEditing(*this);
    sendActionsForControlEvents(UIControlEventEditingDidEnd);
    NSNotificationCenter::defaultCenter()->post(UITextFieldTextDidEndEditingNotification, me);
    resigning_ = false;
    setNeedsDisplay();
    return true;
}

void UITextField::textChanged() {
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventEditingChanged);
    NSNotificationCenter::defaultCenter()->post(UITextFieldTextDidChangeNotification, self<UITextField>());
}

bool UITextField::replaceRange(NSRange range, const std::string& replacement) {
    auto next = replaceUtf16Range(text_, range, replacement);
    if (!next) return false;
    if (auto d = delegate(); d && !d->shouldChangeCharactersInRange(*this, range, replacement)) return false;
    // The delegate may have changed the text itself; the range is then re-checked.
    next = replaceUtf16Range(text_, range, replacement);
    if (!next) return false;
    text_ = std::move(*next);
    textChanged();
    return true;
}

void UITextField::insertText(const std::string& text) {
    if (!editing_) return;
    if (text == "\n") {
        returnKeyPressed();
        return;
    }
    replaceRange({utf16Length(text_), 0}, text);
}

void UITextField::deleteBackward() {
    if (!editing_ || text_.empty()) return;
    replaceRange(lastCharacterRange(text_), "");
}

void UITextField::returnKeyPressed() {
    if (!editing_) return;
    auto keep = self<UITextField>();
    if (auto d = delegate(); d && !d->textFieldShouldReturn(*this)) return;
    // Actions for "did end on exit" make the field give up the keyboard.
    bool exits = numberOfActions(UIControlEventEditingDidEndOnExit) > 0;
    sendActionsForControlEvents(UIControlEventEditingDidEndOnExit);
    if (exits) resignFirstResponder(false);
}

bool UITextField::showsClearButton() const {
    if (text_.empty()) return false;
    switch (clearMode_) {
        case UITextFieldViewMode::Always: return true;
        case UITextFieldViewMode::WhileEditing: return editing_;
        case UITextFieldViewMode::UnlessEditing: return !editing_;
        default: return false;
    }
}

bool UITextField::clear() {
    if (auto d = delegate(); d && !d->textFieldShouldClear(*this)) return false;
    if (text_.empty()) return true;
    text_.clear();
    textChanged();
    return true;
}

std::string UITextField::displayedText() const {
    if (text_.empty()) return placeholder_;
    if (!traits_.secureTextEntry) return text_;
    std::string bullets;
    for (std::size_t i = 0, n = utf16Length(text_); i < n; ++i) bullets += "\u2022";
    return bullets;
}

void UITextField::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIControl::touchesEnded(touches, event);
    if (touches.empty() || !isEnabled()) return;
    CGPoint p = touches.front()->locationInView(self<UIView>());
    if (!CGRectContainsPoint(bounds(), p)) return;
    if (showsClearButton() && p.x > bounds().size.width - 28) {
        clear();
        return;
    }
    becomeFirstResponder();
}

CGSize UITextField::intrinsicContentSize() const {
    CGSize s = labelSize(displayedText().empty() ? " " : displayedText(), font_);
    return {std::ceil(s.width) + 14, std::ceil(s.height) + 10};
}

CGRect UITextField::textRect() const {
    CGRect b = bounds();
    CGFloat inset = border_ == UITextBorderStyle::None ? 0 : 7;
    return CGRectMake(inset, 0, b.size.width - 2 * inset - (showsClearButton() ? 24 : 0), b.size.height);
}

CGRect UITextField::caretRect() const {
    CGRect area = textRect();
    CGFloat w = text_.empty() ? 0 : labelSize(displayedText(), font_).width;
    CGFloat x = alignment_ == NSTextAlignment::Right    ? CGRectGetMaxX(area) - 1
                : alignment_ == NSTextAlignment::Center ? CGRectGetMidX(area) + w / 2 + 1
                                                        : area.origin.x + std::min(w, area.size.width) + 1;
    CGFloat h = font_->lineHeight();
    return CGRectMake(x, bounds().size.height / 2 - h / 2, 2, h);
}

void UITextField::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    if (border_ == UITextBorderStyle::RoundedRect) {
        fillRoundedRect(b, 5, UIColor::colorWithWhite(0.8, 1));
        fillRoundedRect(CGRectInset(b, 0.5, 0.5), 4.5, UIColor::whiteColor());
    } else if (border_ == UITextBorderStyle::Line || border_ == UITextBorderStyle::Bezel) {
        ctx->setStrokeColorWithColor(UIColor::colorWithWhite(0.3, 1)->cgColor());
        ctx->setLineWidth(1);
        ctx->beginPath();
        ctx->addRect(CGRectInset(b, 0.5, 0.5));
        ctx->strokePath();
    }
    CGRect textRect = this->textRect();
    bool placeholder = text_.empty();
    auto color = placeholder ? (placeholderColor_ ? placeholderColor_ : UIColor::colorWithWhite(0.7, 1))
                             : (textColor_ ? textColor_ : UIColor::labelColor());
    auto align = alignment_ == NSTextAlignment::Center  ? LabelAlignment::Center
                 : alignment_ == NSTextAlignment::Right ? LabelAlignment::Right
                                                        : LabelAlignment::Left;
    drawLabel(displayedText(), textRect, font_, color, align);
    if (editing_) {
        ctx->setFillColorWithColor(tintColor()->cgColor());
        UIRectFill(caretRect());
    }
    if (showsClearButton()) {
        CGRect r = CGRectMake(CGRectGetMaxX(textRect) + 24 - 19, (b.size.height - 19) / 2, 19, 19);
        fillRoundedRect(r, 9.5, UIColor::colorWithWhite(0.75, 1));
        drawLabel("\u00D7", r, UIFont::boldSystemFontOfSize(14), UIColor::whiteColor(), LabelAlignment::Center);
    }
}

void UITextField::willMoveToWindow(const std::shared_ptr<UIWindow>& window) {
    UIControl::willMoveToWindow(window);
    if (!window && isFirstResponder()) resignFirstResponder(true);
}
