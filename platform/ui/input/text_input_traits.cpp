// First-responder bookkeeping.
#include "platform/ui/input/text_input_traits.h"

#include "platform/ui/input/keyboard.h"

namespace {
std::weak_ptr<UIKeyInputView>& slot() {
    static std::weak_ptr<UIKeyInputView> current;
    return current;
}

// The plain view holding the focus while no view holds the keyboard.
std::weak_ptr<UIView>& plainSlot() {
    static std::weak_ptr<UIView> current;
    return current;
}
}  // namespace

std::shared_ptr<UIKeyInputView> FirstResponder::current() {
    return slot().lock();
}

bool FirstResponder::take(const std::shared_ptr<UIKeyInputView>& input) {
    auto previous = current();
    if (previous == input) return true;
    if (previous && !previous->resignFirstResponder(false)) return false;
    // The previous one may have handed the focus to someone else meanwhile.
    if (auto other = current(); other && other != input) return false;
    slot() = input;
    plainSlot().reset();
    UIKeyboard::shared().attach(input);
    return true;
}

void FirstResponder::released(const UIKeyInputView& input) {
    if (current().get() != &input) return;
    slot().reset();
    // The keyboard stays up when another field takes the focus in the same turn.
    UIKeyboard::shared().detachSoon();
}

bool FirstResponder::isCurrent(const UIKeyInputView& input) {
    return current().get() == &input;
}

bool UIViewBecomeFirstResponder(const std::shared_ptr<UIView>& view) {
    if (!view || !view->canBecomeFirstResponder()) return false;
    if (auto input = FirstResponder::current(); input && !input->resignFirstResponder(false)) return false;
    plainSlot() = view;
    return true;
}

bool UIViewIsFirstResponder(const UIView& view) {
    return plainSlot().lock().get() == &view;
}

void UIViewResignFirstResponder(const UIView& view) {
    if (UIViewIsFirstResponder(view)) plainSlot().reset();
}

bool endEditing(UIView& view, bool force) {
    auto input = FirstResponder::current();
    if (!input) return true;
    auto v = input->keyInputView();
    if (!v || !(v.get() == &view || v->isDescendantOfView(&view))) return true;
    return input->resignFirstResponder(force);
}
