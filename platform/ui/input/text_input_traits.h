// The keyboard-facing side of views that take text: traits that choose the keyboard, and the
// first-responder bookkeeping shared by text fields, text views and search bars.
#pragma once

#include <memory>

#include "platform/ui/view/ui_view.h"

enum class UIKeyboardType {
    Default = 0,
    ASCIICapable = 1,
    NumbersAndPunctuation = 2,
    URL = 3,
    NumberPad = 4,
    PhonePad = 5,
    NamePhonePad = 6,
    EmailAddress = 7,
    DecimalPad = 8,
    Twitter = 9,
    WebSearch = 10
};
enum class UIKeyboardAppearance { Default = 0, Dark = 1, Light = 2 };
enum class UIReturnKeyType {
    Default = 0,
    Go = 1,
    Google = 2,
    Join = 3,
    Next = 4,
    Route = 5,
    Search = 6,
    Send = 7,
    Yahoo = 8,
    Done = 9,
    EmergencyCall = 10,
    Continue = 11
};
enum class UITextAutocapitalizationType { None = 0, Words = 1, Sentences = 2, AllCharacters = 3 };
enum class UITextAutocorrectionType { Default = 0, No = 1, Yes = 2 };
enum class UITextSpellCheckingType { Default = 0, No = 1, Yes = 2 };

struct UITextInputTraits {
    UIKeyboardType keyboardType = UIKeyboardType::Default;
    UIKeyboardAppearance keyboardAppearance = UIKeyboardAppearance::Default;
    UIReturnKeyType returnKeyType = UIReturnKeyType::Default;
    UITextAutocapitalizationType autocapitalizationType = UITextAutocapitalizationType::Sentences;
    UITextAutocorrectionType autocorrectionType = UITextAutocorrectionType::Default;
    UITextSpellCheckingType spellCheckingType = UITextSpellCheckingType::Default;
    bool enablesReturnKeyAutomatically = false;
    bool secureTextEntry = false;
};

// A view that can hold the keyboard focus.
class UIKeyInputView {
public:
    virtual ~UIKeyInputView() = default;
    virtual std::shared_ptr<UIView> keyInputView() = 0;
    virtual const UITextInputTraits& inputTraits() const = 0;
    // Shown instead of the keyboard (a picker), and above it (a toolbar).
    virtual std::shared_ptr<UIView> inputView() const { return nullptr; }
    virtual std::shared_ptr<UIView> inputAccessoryView() const { return nullptr; }
    // Asked to give up the focus; `force` skips the delegate's veto.
    virtual bool resignFirstResponder(bool force) = 0;
    // Keys from the keyboard.
    virtual void insertText(const std::string& text) = 0;
    virtual void deleteBackward() = 0;
    virtual void returnKeyPressed() = 0;
};

class FirstResponder {
public:
    // The view holding the keyboard focus, if any.
    static std::shared_ptr<UIKeyInputView> current();
    // Makes `input` current after the previous one gave the focus up; false if it refused.
    static bool take(const std::shared_ptr<UIKeyInputView>& input);
    // Called by the current one when it has let go.
    static void released(const UIKeyInputView& input);
    static bool isCurrent(const UIKeyInputView& input);
};

// A view without keyboard input holds the focus when it says it can (canBecomeFirstResponder): it
// takes it from the view holding the keyboard (false when that one refuses), and gives it up when
// it resigns or a text view takes it.
bool UIViewBecomeFirstResponder(const std::shared_ptr<UIView>& view);
bool UIViewIsFirstResponder(const UIView& view);
void UIViewResignFirstResponder(const UIView& view);

// Ends editing in the view's subtree: the first responder inside it resigns (forced: the
// delegate cannot refuse). Answers whether nothing inside holds the focus afterwards.
bool endEditing(UIView& view, bool force);
