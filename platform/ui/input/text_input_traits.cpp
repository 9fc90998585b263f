// First-responder bookkeeping.
#include "platform/ui/input/text_input_traits.h"

#include "platform/ui/input/keyboard.h"

namespace {
std::weak_ptr<UIKeyInputView>& slot() {
    static std::weak_ptr<UIKeyInputView> current;
    return current;
}
}  // namespace

std::shared_ptr<UIKeyInputView> FirstResponder::current() { return slot().lock(); }

bool FirstResponder::take(const std::shared_ptr<UIKeyInputView>& input) {
    auto previous = current();
    if (previous == input) return true;
    if (previous && !previous->resignFirstResponder(false)) return false;
    // The previous one may have handed the focus to someone else meanwhile.
    if (auto other = current(); other && other != input) return false;
    slot() = input;
    UIKeyboard::shared().attach(input);
    return true;
}

void FirstResponder::released(const UIKeyInputView& input) {
    if (current().get() != &input) return;
    slot().reset();
    // The keyboard stays up when another field takes the focus in the same turn.
    UIKeyboard::shared().detachSoon();
}

bool FirstResponder::isCurrent(const UIKeyInputView& input) { return current().get() == &input; }

bool endEditing(UIView& view, bool force) {
    auto input = FirstResponder::current();
    if (!input) return true;
    auto v = input->keyInputView();
    if (!v || !(v.get() == &view || v->isDescendantOfView(&view))) return true;
    return input->resignFirstResponder(force);
}
