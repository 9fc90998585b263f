// Keyboard avoidance shared by the keyboard-aware scroll views.
#include "settings/keyboard/scroll_view_keyboard_aware.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/input/keyboard.h"
#include "platform/ui/input/ui_text_view.h"

namespace {
constexpr const char* kStateKey = "KeyboardAwareState";
// Delay before the show animation, letting the notification's other receivers run first.
constexpr double kShowDelay = 0.01;
constexpr CGFloat kMinimumMargin = 20;
// Padding under the subviews when the content size is computed from them.
constexpr CGFloat kContentPadding = 10;

UIViewAnimationOptions curveOptions(const Value& userInfo) {
    auto curve = static_cast<unsigned>(
        std::clamp<std::int64_t>(userInfo[UIKeyboardAnimationCurveUserInfoKey].integerValue(), 0, 7));
    return (curve << 16) | UIViewAnimationOptionBeginFromCurrentState;
}

double duration(const Value& userInfo) {
    double d = userInfo[UIKeyboardAnimationDurationUserInfoKey].doubleValue();
    return std::isfinite(d) && d > 0 ? d : 0;
}

// A keyboard frame of the notification, in the view's coordinates.
CGRect frameIn(const UIScrollView& view, const Value& userInfo, const char* key) {
    CGRect r = keyboardFrame(userInfo, key);
    if (!std::isfinite(r.origin.x) || !std::isfinite(r.origin.y) || !std::isfinite(r.size.width) ||
        !std::isfinite(r.size.height))
        return CGRectZero;
    return view.convertRectFromView(r, nullptr);
}

bool isEmpty(CGRect r) {
    return r.size.width <= 0 || r.size.height <= 0;
}

// Visible and touchable all the way up, and an enabled field or an editable text view.
bool isCandidate(const UIView& view) {
    for (const UIView* v = &view; v; v = v->superview().get())
        if (v->isHidden() || !v->isUserInteractionEnabled()) return false;
    if (auto field = dynamic_cast<const UITextField*>(&view)) return field->isEnabled();
    if (auto text = dynamic_cast<const UITextView*>(&view)) return text->isEditable();
    return false;
}

CGRect inWindow(const UIView& view) {
    auto holder = view.superview();
    return holder ? holder->convertRectToView(view.frame(), nullptr) : view.frame();
}

// Higher, then further left, scores more.
double score(CGRect r) {
    return -(1000.0 * r.origin.y + r.origin.x);
}

void searchNext(const UIView& after, CGRect afterFrame, const UIView& beneath, std::shared_ptr<UIView>& best) {
    for (const auto& s : beneath.subviews()) {
        if (!isCandidate(*s)) {
            searchNext(after, afterFrame, *s, best);
            continue;
        }
        if (s.get() == &after) continue;
        CGRect f = inWindow(*s);
        constexpr double kEpsilon = std::numeric_limits<float>::epsilon();
        bool later = f.origin.y > afterFrame.origin.y ||
                     (std::abs(f.origin.y - afterFrame.origin.y) < kEpsilon && f.origin.x > afterFrame.origin.x);
        if (later && (!best || score(f) > score(inWindow(*best)))) best = s;
    }
}

bool becomeFirstResponder(const std::shared_ptr<UIView>& view) {
    if (auto field = std::dynamic_pointer_cast<UITextField>(view)) return field->becomeFirstResponder();
    if (auto text = std::dynamic_pointer_cast<UITextView>(view)) return text->becomeFirstResponder();
    return false;
}

// The viewing height: the view's height less the top and bottom content insets.
CGFloat viewingHeight(const UIScrollView& view) {
    UIEdgeInsets inset = view.contentInset();
    return view.bounds().size.height - inset.top - inset.bottom;
}
}  // namespace

std::shared_ptr<KeyboardAwareState> keyboardAvoidingState(UIScrollView& view) {
    auto state = std::dynamic_pointer_cast<KeyboardAwareState>(view.attachedObject(kStateKey));
    if (!state) {
        state = KeyboardAwareState::make();
        view.setAttachedObject(kStateKey, state);
    }
    return state;
}

void KeyboardAware_keyboardWillShow(UIScrollView& view, const Value& userInfo, KeyboardAwareKind kind) {
    auto state = keyboardAvoidingState(view);
    state->animationDuration = duration(userInfo);
    CGRect begin = frameIn(view, userInfo, UIKeyboardFrameBeginUserInfoKey);
    CGRect end = frameIn(view, userInfo, UIKeyboardFrameEndUserInfoKey);
    if (isEmpty(end)) {
        state->keyboardVisible = false;
        return;
    }
    if (begin == end && state->ignoringNotifications) return;
    state->keyboardRect = end;
    state->keyboardWindowRect = keyboardFrame(userInfo, UIKeyboardFrameEndUserInfoKey);
    if (!state->keyboardVisible) {
        state->priorInset = view.contentInset();
        state->priorScrollIndicatorInsets = view.scrollIndicatorInsets();
        state->priorPagingEnabled = view.isPagingEnabled();
    }
    state->keyboardVisible = true;
    view.setPagingEnabled(false);
    if (kind == KeyboardAwareKind::Scroll) {
        CGSize prior = view.contentSize();
        if (prior.width == 0 && prior.height == 0)
            view.setContentSize(KeyboardAware_calculatedContentSizeFromSubviewFrames(view));
        // Saved after the size made up for the keyboard, which the setter would take for the
        // view's own: the keyboard's going gives the size from before it came.
        state->priorContentSize = prior;
    }
    std::weak_ptr<UIScrollView> weak = view.self<UIScrollView>();
    UIViewAnimationOptions options = curveOptions(userInfo);
    double seconds = state->animationDuration;
    RunLoop::main().performAfterDelay(kShowDelay, [weak, options, seconds] {
        auto v = weak.lock();
        if (!v) return;
        auto s = keyboardAvoidingState(*v);
        s->keyboardAnimationInProgress = true;
        UIViewAnimation::animate(
            seconds, 0, options,
            [v] {
                UIEdgeInsets inset = KeyboardAware_contentInsetForKeyboard(*v);
                v->setContentInset(inset);
                if (auto editing = KeyboardAware_findFirstResponderBeneathView(*v)) {
                    CGFloat y = KeyboardAware_idealOffsetForView(*v, *editing, viewingHeight(*v));
                    v->setContentOffset({v->contentOffset().x, y}, false);
                }
                v->setScrollIndicatorInsets(inset);
                v->layoutIfNeeded();
            },
            [weak](bool finished) {
                auto v2 = weak.lock();
                if (v2 && finished) keyboardAvoidingState(*v2)->keyboardAnimationInProgress = false;
            });
    });
}

void KeyboardAware_keyboardWillHide(UIScrollView& view, const Value& userInfo, KeyboardAwareKind kind) {
    auto state = keyboardAvoidingState(view);
    CGRect begin = frameIn(view, userInfo, UIKeyboardFrameBeginUserInfoKey);
    CGRect end = frameIn(view, userInfo, UIKeyboardFrameEndUserInfoKey);
    if (isEmpty(begin) && !state->keyboardAnimationInProgress) return;
    if (begin == end && state->ignoringNotifications) return;
    if (!state->keyboardVisible) return;
    state->keyboardRect = CGRectZero;
    state->keyboardWindowRect = CGRectZero;
    state->keyboardVisible = false;
    std::weak_ptr<UIScrollView> weak = view.self<UIScrollView>();
    UIViewAnimation::animate(duration(userInfo), 0, curveOptions(userInfo), [weak, state, kind] {
        auto v = weak.lock();
        if (!v) return;
        if (kind == KeyboardAwareKind::Scroll) v->setContentSize(state->priorContentSize);
        v->setContentInset(state->priorInset);
        v->setScrollIndicatorInsets(state->priorScrollIndicatorInsets);
        v->setPagingEnabled(state->priorPagingEnabled);
        v->layoutIfNeeded();
    });
}

UIEdgeInsets KeyboardAware_contentInsetForKeyboard(UIScrollView& view) {
    auto state = keyboardAvoidingState(view);
    UIEdgeInsets inset = view.contentInset();
    if (state->keyboardRect.size.height == 0) {
        inset.bottom = state->priorInset.bottom;
        return inset;
    }
    // Measured where the view is now: the keyboard stays put on the screen while the view moves.
    CGRect keyboard = view.convertRectFromView(state->keyboardWindowRect, nullptr);
    CGFloat below = std::max<CGFloat>(0, CGRectGetMaxY(keyboard) - CGRectGetMaxY(view.bounds()));
    inset.bottom = std::max<CGFloat>(0, keyboard.size.height - below);
    return inset;
}

void KeyboardAware_updateContentInset(UIScrollView& view) {
    if (keyboardAvoidingState(view)->keyboardVisible) view.setContentInset(KeyboardAware_contentInsetForKeyboard(view));
}

void KeyboardAware_updateFromContentSizeChange(UIScrollView& view) {
    auto state = keyboardAvoidingState(view);
    if (!state->keyboardVisible) return;
    state->priorContentSize = view.contentSize();
    view.setContentInset(KeyboardAware_contentInsetForKeyboard(view));
}

bool KeyboardAware_focusNextTextField(UIScrollView& view) {
    auto current = KeyboardAware_findFirstResponderBeneathView(view);
    if (!current) return false;
    auto next = KeyboardAware_findNextInputViewAfterView(*current, view);
    if (!next) return false;
    std::weak_ptr<UIScrollView> weak = view.self<UIScrollView>();
    std::weak_ptr<UIView> target = next;
    RunLoop::main().perform([weak, target] {
        auto v = weak.lock();
        auto t = target.lock();
        if (!v || !t) return;
        auto state = keyboardAvoidingState(*v);
        state->ignoringNotifications = true;
        becomeFirstResponder(t);
        state->ignoringNotifications = false;
    });
    return true;
}

void KeyboardAware_scrollToActiveTextField(UIScrollView& view) {
    auto state = keyboardAvoidingState(view);
    if (!state->keyboardVisible) return;
    auto editing = KeyboardAware_findFirstResponderBeneathView(view);
    if (!editing) return;
    state->ignoringNotifications = true;
    CGFloat y = KeyboardAware_idealOffsetForView(view, *editing, viewingHeight(view));
    std::weak_ptr<UIScrollView> weak = view.self<UIScrollView>();
    UIViewAnimation::animate(
        state->animationDuration,
        [weak, y] {
            if (auto v = weak.lock()) v->setContentOffset({v->contentOffset().x, y}, false);
        },
        [state](bool) { state->ignoringNotifications = false; });
}

std::shared_ptr<UIView> KeyboardAware_findFirstResponderBeneathView(const UIView& view) {
    for (const auto& s : view.subviews()) {
        if (s->isFirstResponder()) return s;
        if (auto found = KeyboardAware_findFirstResponderBeneathView(*s)) return found;
    }
    return nullptr;
}

std::shared_ptr<UIView> KeyboardAware_findNextInputViewAfterView(const UIView& after, const UIView& beneath) {
    std::shared_ptr<UIView> best;
    searchNext(after, inWindow(after), beneath, best);
    return best;
}

void KeyboardAware_assignTextDelegateForViewsBeneathView(UIScrollView& view, const UIView& beneath,
                                                         const std::shared_ptr<UITextFieldDelegate>& delegate) {
    for (const auto& s : beneath.subviews()) {
        auto field = std::dynamic_pointer_cast<UITextField>(s);
        if (!field) {
            if (!std::dynamic_pointer_cast<UITextView>(s))
                KeyboardAware_assignTextDelegateForViewsBeneathView(view, *s, delegate);
            continue;
        }
        auto key = field->inputTraits().returnKeyType;
        auto own = field->delegate();
        if ((key != UIReturnKeyType::Default && key != UIReturnKeyType::Next) || (own && own != delegate)) continue;
        field->setDelegate(delegate);
        field->setReturnKeyType(KeyboardAware_findNextInputViewAfterView(*field, view) ? UIReturnKeyType::Next
                                                                                       : UIReturnKeyType::Done);
    }
}

CGSize KeyboardAware_calculatedContentSizeFromSubviewFrames(const UIScrollView& view) {
    CGRect all = CGRectZero;
    for (const auto& s : view.subviews()) all = CGRectUnion(all, s->frame());
    return {CGRectGetMaxX(all) > 0 ? all.size.width : 0, all.size.height + kContentPadding};
}

CGFloat KeyboardAware_idealOffsetForView(UIScrollView& view, const UIView& editing, CGFloat height) {
    CGRect r = editing.convertRectToView(editing.bounds(), view.self<UIView>());
    if (auto top = dynamic_cast<const KeyboardAwareAlwaysTop*>(&editing);
        top && top->KeyboardAware_idealOffsetForViewAlwaysTop())
        return r.origin.y;
    UIEdgeInsets inset = view.adjustedContentInset();
    std::optional<CGRect> caret;
    if (auto field = dynamic_cast<const UITextField*>(&editing))
        caret = field->caretRect();
    else if (auto text = dynamic_cast<const UITextView*>(&editing))
        caret = text->caretRect();
    CGFloat offset;
    if (caret) {
        CGRect k = editing.convertRectToView(*caret, view.self<UIView>());
        offset = k.origin.y - std::max((height - k.size.height) / 2, kMinimumMargin) - inset.top;
    } else {
        offset = r.origin.y - std::max((height - r.size.height) / 2, kMinimumMargin) - inset.top;
    }
    CGFloat furthest = view.contentSize().height - height - inset.top;
    if (offset > furthest) offset = furthest;
    if (offset < -inset.top) offset = -inset.top;
    return offset;
}
