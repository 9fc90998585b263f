// The one-line text field: editable text with a placeholder, secure entry, clear button and the
// keyboard while it is the first responder; asks its delegate before each change. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/runtime/range.h"
#include "platform/ui/control/ui_control.h"
#include "platform/ui/input/text_input_traits.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/ui_font.h"

inline constexpr const char* UITextFieldTextDidBeginEditingNotification = "UITextFieldTextDidBeginEditingNotification";
inline constexpr const char* UITextFieldTextDidChangeNotification = "UITextFieldTextDidChangeNotification";
inline constexpr const char* UITextFieldTextDidEndEditingNotification = "UITextFieldTextDidEndEditingNotification";

enum class UITextBorderStyle { None = 0, Line = 1, Bezel = 2, RoundedRect = 3 };
enum class UITextFieldViewMode { Never = 0, WhileEditing = 1, UnlessEditing = 2, Always = 3 };

class UITextField;

// Every method is optional.
class UITextFieldDelegate {
public:
    virtual ~UITextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(UITextField&) { return true; }
    virtual void textFieldDidBeginEditing(UITextField&) {}
    virtual bool textFieldShouldEndEditing(UITextField&) { return true; }
    virtual void textFieldDidEndEditing(UITextField&) {}
    // The range is in UTF-16 units of the current text.
    virtual bool shouldChangeCharactersInRange(UITextField&, NSRange, const std::string&) { return true; }
    virtual bool textFieldShouldClear(UITextField&) { return true; }
    virtual bool textFieldShouldReturn(UITextField&) { return true; }
};

class UITextField : public UIControl, public UIKeyInputView {
public:
    KORVA_MAKE(UITextField)
    void init() override;
    ~UITextField() override;

    const std::string& text() const { return text_; }
    // Programmatic: no delegate question, no change event (as on the platform).
    void setText(std::string text);
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string p) {
        placeholder_ = std::move(p);
        setNeedsDisplay();
    }
    std::shared_ptr<UIColor> placeholderColor() const { return placeholderColor_; }
    void setPlaceholderColor(std::shared_ptr<UIColor> c) {
        placeholderColor_ = std::move(c);
        setNeedsDisplay();
    }
    std::shared_ptr<UIFont> font() const { return font_; }
    void setFont(std::shared_ptr<UIFont> f) {
        font_ = f ? std::move(f) : UIFont::systemFontOfSize(17);
        setNeedsDisplay();
    }
    std::shared_ptr<UIColor> textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> c) {
        textColor_ = std::move(c);
        setNeedsDisplay();
    }
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment a) {
        alignment_ = a;
        setNeedsDisplay();
    }
    UITextBorderStyle borderStyle() const { return border_; }
    void setBorderStyle(UITextBorderStyle b) {
        border_ = b;
        setNeedsDisplay();
    }
    UITextFieldViewMode clearButtonMode() const { return clearMode_; }
    void setClearButtonMode(UITextFieldViewMode m) {
        clearMode_ = m;
        setNeedsDisplay();
    }
    bool clearsOnBeginEditing() const { return clearsOnBegin_; }
    void setClearsOnBeginEditing(bool c) { clearsOnBegin_ = c; }

    UITextInputTraits& traits() { return traits_; }
    const UITextInputTraits& inputTraits() const override { return traits_; }
    bool isSecureTextEntry() const { return traits_.secureTextEntry; }
    void setSecureTextEntry(bool s) {
        traits_.secureTextEntry = s;
        setNeedsDisplay();
    }
    void setKeyboardType(UIKeyboardType t) { traits_.keyboardType = t; }
    void setReturnKeyType(UIReturnKeyType t) { traits_.returnKeyType = t; }
    void setKeyboardAppearance(UIKeyboardAppearance a) { traits_.keyboardAppearance = a; }

    std::shared_ptr<UIView> inputView() const override { return inputView_; }
    void setInputView(std::shared_ptr<UIView> v) { inputView_ = std::move(v); }
    std::shared_ptr<UIView> inputAccessoryView() const override { return accessory_; }
    void setInputAccessoryView(std::shared_ptr<UIView> v) { accessory_ = std::move(v); }

    std::shared_ptr<UITextFieldDelegate> delegate() const { return delegate_.lock(); }
    // Virtual so that a field that is its own delegate can keep its user's delegate aside.
    virtual void setDelegate(const std::shared_ptr<UITextFieldDelegate>& d) { delegate_ = d; }

    // Focus. Becoming first responder needs a window, an enabled field and the delegate's yes.
    bool canBecomeFirstResponder() const override { return isEnabled(); }
    bool isFirstResponder() const override { return FirstResponder::isCurrent(*this); }
    bool becomeFirstResponder();
    bool resignFirstResponder(bool force = false) override;
    bool isEditing() const { return editing_; }

    // The caret at the insertion point (the end of the text, where typing goes), in the field's
    // coordinates.
    CGRect caretRect() const;
    // What the field shows: the text (bullets when secure) or the placeholder.
    std::string displayedText() const;
    bool showsClearButton() const;
    // The clear button's tap: asks the delegate, empties the text, reports the change.
    bool clear();

    // Typing (from the keyboard): replaces the selection (the end of the text) after asking.
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    void returnKeyPressed() override;
    // Replaces a UTF-16 range as typing would (delegate asked, change reported). False when the
    // range is outside the text or the delegate refused.
    bool replaceRange(NSRange range, const std::string& replacement);

    std::shared_ptr<UIView> keyInputView() override { return self<UIView>(); }
    // Leaving the window gives up the focus.
    void willMoveToWindow(const std::shared_ptr<UIWindow>& window) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void drawRect(CGRect rect) override;
    CGSize intrinsicContentSize() const override;
    std::string className() const override { return "UITextField"; }

protected:
    explicit UITextField(CGRect frame = CGRectZero);

private:
    void textChanged();
    CGRect textRect() const;

    std::string text_;
    std::string placeholder_;
    std::shared_ptr<UIColor> placeholderColor_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    NSTextAlignment alignment_ = NSTextAlignment::Natural;
    UITextBorderStyle border_ = UITextBorderStyle::None;
    UITextFieldViewMode clearMode_ = UITextFieldViewMode::Never;
    bool clearsOnBegin_ = false;
    UITextInputTraits traits_;
    std::shared_ptr<UIView> inputView_;
    std::shared_ptr<UIView> accessory_;
    std::weak_ptr<UITextFieldDelegate> delegate_;
    bool editing_ = false;
    bool resigning_ = false;
};
