// The on-screen keyboard: a view that slides in from the bottom of the focused view's window when
// a text input takes the focus and slides out when none holds it, posting the keyboard
// notifications with its frames. Tests and the host type through it. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/value.h"
#include "platform/ui/input/text_input_traits.h"

inline constexpr const char* UIKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline constexpr const char* UIKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline constexpr const char* UIKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline constexpr const char* UIKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline constexpr const char* UIKeyboardWillChangeFrameNotification = "UIKeyboardWillChangeFrameNotification";
inline constexpr const char* UIKeyboardDidChangeFrameNotification = "UIKeyboardDidChangeFrameNotification";
// User-info keys: frames (read with keyboardFrame), duration in seconds, curve (7: the keyboard's).
inline constexpr const char* UIKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline constexpr const char* UIKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline constexpr const char* UIKeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";
inline constexpr const char* UIKeyboardAnimationCurveUserInfoKey = "UIKeyboardAnimationCurveUserInfoKey";
inline constexpr const char* UIKeyboardIsLocalUserInfoKey = "UIKeyboardIsLocalUserInfoKey";

// A frame stored in a notification's user info (screen coordinates); zero when absent.
CGRect keyboardFrame(const Value& userInfo, const char* key);
Value keyboardFrameValue(CGRect frame);

class KeyboardView;

class UIKeyboard {
public:
    static UIKeyboard& shared();
    static constexpr double kAnimationDuration = 0.25;

    bool isVisible() const { return visible_; }
    // The frame the keyboard (with its accessory) has, or will have once it has slid in; zero
    // when hidden.
    CGRect frame() const { return visible_ ? frame_ : CGRectZero; }
    // The view on screen (keyboard or input view, with the accessory above), while shown.
    std::shared_ptr<UIView> hostView() const { return host_; }

    // Keys, sent to the focused input. False when none has the focus.
    bool type(const std::string& text);
    bool backspace();
    bool pressReturn();

    // Used by FirstResponder.
    void attach(const std::shared_ptr<UIKeyInputView>& input);
    void detachSoon();
    // Takes the keyboard down at once without notifications (a clean slate between tests).
    void reset();

private:
    UIKeyboard() = default;
    void show(const std::shared_ptr<UIKeyInputView>& input);
    void hideIfUnfocused();
    void rebuildHost(const std::shared_ptr<UIKeyInputView>& input, CGRect bounds);
    void post(const char* name, CGRect begin, CGRect end);

    bool visible_ = false;
    CGRect frame_ = CGRectZero;
    std::shared_ptr<UIView> host_;
    std::shared_ptr<KeyboardView> keys_;
    std::weak_ptr<UIView> window_;
    std::weak_ptr<UIView> accessory_;
    std::weak_ptr<UIView> inputView_;
    std::uint64_t generation_ = 0;
};
