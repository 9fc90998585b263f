// Text view: focus, typing through the delegate, wrapped drawing and the scrolled content height.
#include "platform/ui/input/ui_text_view.h"

#include "platform/dispatch/notification_center.h"
#include "platform/runtime/utf16.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/input/keyboard.h"
#include "platform/ui/input/text_editing.h"
#include "platform/ui/text/string_drawing.h"

void UITextView::init() {
    UIScrollView::init();
    font_ = UIFont::systemFontOfSize(12);
    setBackgroundColor(UIColor::whiteColor());
    setAlwaysBounceVertical(true);
}

UITextView::~UITextView() {
    if (!FirstResponder::current()) UIKeyboard::shared().detachSoon();
}

void UITextView::setText(std::string text) {
    text_ = std::move(text);
    updateContentSize();
    setNeedsDisplay();
}

void UITextView::setFont(std::shared_ptr<UIFont> f) {
    font_ = f ? std::move(f) : UIFont::systemFontOfSize(12);
    updateContentSize();
    setNeedsDisplay();
}

void UITextView::setEditable(bool e) {
    editable_ = e;
    if (!e) resignFirstResponder(true);
}

void UITextView::setDelegate(const std::shared_ptr<UITextViewDelegate>& d) {
    delegate_ = d;
    UIScrollView::setDelegate(d);
}

bool UITextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!editable_ || !window()) return false;
    if (auto d = delegate(); d && !d->textViewShouldBeginEditing(*this)) return false;
    auto me = self<UITextView>();
    if (!FirstResponder::take(me)) return false;
    editing_ = true;
    if (auto d = delegate()) d->textViewDidBeginEditing(*this);
    NSNotificationCenter::defaultCenter()->post(UITextViewTextDidBeginEditingNotification, me);
    setNeedsDisplay();
    return true;
}

bool UITextView::resignFirstResponder(bool force) {
    if (!isFirstResponder() || resigning_) return !isFirstResponder();
    if (!force) {
        if (auto d = delegate(); d && !d->textViewShouldEndEditing(*this)) return false;
    }
    auto me = self<UITextView>();
    resigning_ = true;
    editing_ = false;
    FirstResponder::released(*this);
    if (auto d = delegate()) d->textViewDidEndEditing(*this);
    NSNotificationCenter::defaultCenter()->post(UITextViewTextDidEndEditingNotification, me);
    resigning_ = false;
    setNeedsDisplay();
    return true;
}

void UITextView::textChanged() {
    updateContentSize();
    setNeedsDisplay();
    if (auto d = delegate()) d->textViewDidChange(*this);
    NSNotificationCenter::defaultCenter()->post(UITextViewTextDidChangeNotification, self<UITextView>());
}

bool UITextView::replaceRange(NSRange range, const std::string& replacement) {
    if (!replaceUtf16Range(text_, range, replacement)) return false;
    if (auto d = delegate(); d && !d->shouldChangeTextInRange(*this, range, replacement)) return false;
    auto next = replaceUtf16Range(text_, range, replacement);
    if (!next) return false;
    text_ = std::move(*next);
    textChanged();
    return true;
}

void UITextView::insertText(const std::string& text) {
    if (!editing_) return;
    replaceRange({utf16Length(text_), 0}, text);
}

void UITextView::deleteBackward() {
    if (!editing_ || text_.empty()) return;
    replaceRange(lastCharacterRange(text_), "");
}

CGFloat UITextView::heightForWidth(CGFloat width) const {
    CGFloat w = std::max<CGFloat>(1, width - inset_.left - inset_.right);
    std::string measured = text_.empty() ? " " : text_;
    // A trailing line break starts a line of its own.
    if (!measured.empty() && measured.back() == '\n') measured += " ";
    CGRect r = boundingRectWithSize(measured, CGSize{w, 1e7}, NSStringDrawingUsesLineFragmentOrigin,
                                    labelAttributes(font_, nullptr));
    return std::ceil(r.size.height) + inset_.top + inset_.bottom;
}

CGFloat UITextView::textHeight() const {
    return heightForWidth(bounds().size.width);
}

CGSize UITextView::sizeThatFits(CGSize size) const {
    return {size.width, heightForWidth(size.width)};
}

void UITextView::updateContentSize() {
    setContentSize(CGSize{bounds().size.width, textHeight()});
}

void UITextView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    if (contentSize().width != bounds().size.width) updateContentSize();
}

void UITextView::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIScrollView::touchesEnded(touches, event);
    if (isDragging()) return;
    if (editable_) {
        becomeFirstResponder();
        return;
    }
    if (touches.empty()) return;
    if (auto link = linkAtPoint((*touches.begin())->locationInView(self<UIView>())))
        UIApplication::sharedApplication()->openURL(*link);
}

void UITextView::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect content =
        CGRectMake(inset_.left, inset_.top, std::max<CGFloat>(0, bounds().size.width - inset_.left - inset_.right),
                   std::max<CGFloat>(0, contentSize().height - inset_.top - inset_.bottom));
    auto align = alignment_ == NSTextAlignment::Center  ? LabelAlignment::Center
                 : alignment_ == NSTextAlignment::Right ? LabelAlignment::Right
                                                        : LabelAlignment::Left;
    auto color = textColor_ ? textColor_ : UIColor::labelColor();
    auto links = detectedLinks();
    if (links.empty()) {
        drawWrapped(text_, content, font_, color, align);
        return;
    }
    drawLinkedText(content, color, links);
}

void UITextView::willMoveToWindow(const std::shared_ptr<UIWindow>& window) {
    UIScrollView::willMoveToWindow(window);
    if (!window && isFirstResponder()) resignFirstResponder(true);
}
