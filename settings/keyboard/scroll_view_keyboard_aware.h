// Keyboard avoidance for any scroll view: the work shared by the keyboard-aware scroll, table and
// collection views. The field being edited is kept in view above the keyboard, Return moves on to
// the next field, and the Return keys of the fields are wired (Next or Done). Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/value.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/input/ui_text_field.h"
#include "settings/keyboard/keyboard_aware_state.h"

// A view being edited may ask to be scrolled to its top rather than centred.
class KeyboardAwareAlwaysTop {
public:
    virtual ~KeyboardAwareAlwaysTop() = default;
    virtual bool KeyboardAware_idealOffsetForViewAlwaysTop() const = 0;
};

// Scroll views proper also manage their content size while the keyboard is up.
enum class KeyboardAwareKind { Scroll, Table, Collection };

std::shared_ptr<KeyboardAwareState> keyboardAvoidingState(UIScrollView& view);
// The keyboard comes or changes its frame (user info of the keyboard notification).
void KeyboardAware_keyboardWillShow(UIScrollView& view, const Value& userInfo, KeyboardAwareKind kind);
void KeyboardAware_keyboardWillHide(UIScrollView& view, const Value& userInfo, KeyboardAwareKind kind);
// The content inset with the bottom made room for the keyboard (the prior one without it).
UIEdgeInsets KeyboardAware_contentInsetForKeyboard(UIScrollView& view);
void KeyboardAware_updateContentInset(UIScrollView& view);
void KeyboardAware_updateFromContentSizeChange(UIScrollView& view);
// Moves the focus to the next field on the next main-queue turn; false when there is none.
bool KeyboardAware_focusNextTextField(UIScrollView& view);
void KeyboardAware_scrollToActiveTextField(UIScrollView& view);
std::shared_ptr<UIView> KeyboardAware_findFirstResponderBeneathView(const UIView& view);
std::shared_ptr<UIView> KeyboardAware_findNextInputViewAfterView(const UIView& after, const UIView& beneath);
// Wires every text field beneath that has a default or Next key and no delegate but `delegate`.
void KeyboardAware_assignTextDelegateForViewsBeneathView(UIScrollView& view, const UIView& beneath,
                                                         const std::shared_ptr<UITextFieldDelegate>& delegate);
CGSize KeyboardAware_calculatedContentSizeFromSubviewFrames(const UIScrollView& view);
// The content offset's y that shows `editing` in a viewing height, kept inside the content.
CGFloat KeyboardAware_idealOffsetForView(UIScrollView& view, const UIView& editing, CGFloat viewingHeight);
