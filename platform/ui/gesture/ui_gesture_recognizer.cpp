// The recogniser state machine, its targets, and the per-view recogniser lists.
#include "platform/ui/gesture/ui_gesture_recognizer.h"

#include <algorithm>

#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "platform/ui/view/ui_view.h"

namespace {

constexpr const char* kRecognizersKey = "korva.gestureRecognizers";

struct RecognizerList : NSObject {
    std::vector<std::shared_ptr<UIGestureRecognizer>> list;
};

std::shared_ptr<RecognizerList> listOf(const UIView& view, bool create) {
    auto existing = std::dynamic_pointer_cast<RecognizerList>(view.attachedObject(kRecognizersKey));
    if (existing || !create) return existing;
    auto made = std::make_shared<RecognizerList>();
    const_cast<UIView&>(view).setAttachedObject(kRecognizersKey, made);
    return made;
}

}  // namespace

UIGestureRecognizer::UIGestureRecognizer(Action action) {
    if (action) actions_.push_back(std::move(action));
}

void UIGestureRecognizer::addTarget(Action action) {
    if (action) actions_.push_back(std::move(action));
}

void UIGestureRecognizer::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled) {
        if (isActive()) setState(UIGestureRecognizerState::Cancelled);
        touches_.clear();
        state_ = UIGestureRecognizerState::Possible;
        reset();
    }
}

CGPoint UIGestureRecognizer::locationInView(const std::shared_ptr<UIView>& view) const {
    if (touches_.empty()) return {};
    CGFloat x = 0, y = 0;
    for (const auto& t : touches_) {
        CGPoint p = t->locationInView(view);
        x += p.x;
        y += p.y;
    }
    return {x / CGFloat(touches_.size()), y / CGFloat(touches_.size())};
}

CGPoint UIGestureRecognizer::locationOfTouch(std::size_t index, const std::shared_ptr<UIView>& view) const {
    if (index >= touches_.size()) return {};
    return touches_[index]->locationInView(view);
}

void UIGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent&) {
    for (const auto& t : touches)
        if (std::find(touches_.begin(), touches_.end(), t) == touches_.end()) touches_.push_back(t);
}
void UIGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent&) {}
void UIGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent&) {
    forgetTouches(touches);
}
void UIGestureRecognizer::touchesCancelled(const UITouchSet& touches, const UIEvent&) {
    forgetTouches(touches);
    if (isActive())
        setState(UIGestureRecognizerState::Cancelled);
    else if (state_ == UIGestureRecognizerState::Possible)
        setState(UIGestureRecognizerState::Failed);
}

void UIGestureRecognizer::forgetTouches(const UITouchSet& touches) {
    for (const auto& t : touches) touches_.erase(std::remove(touches_.begin(), touches_.end(), t), touches_.end());
}

void UIGestureRecognizer::reset() {}

void UIGestureRecognizer::resetIfIdle() {
    using S = UIGestureRecognizerState;
    if (!touches_.empty()) return;
    if (state_ != S::Ended && state_ != S::Cancelled && state_ != S::Failed) return;
    state_ = S::Possible;
    reset();
}

void UIGestureRecognizer::setState(UIGestureRecognizerState next) {
    using S = UIGestureRecognizerState;
    S cur = state_;
    bool legal = false;
    switch (next) {
        case S::Possible: legal = true; break;
        case S::Began: legal = cur == S::Possible; break;
        case S::Changed: legal = cur == S::Began || cur == S::Changed; break;
        case S::Ended: legal = cur == S::Possible || cur == S::Began || cur == S::Changed; break;
        case S::Cancelled: legal = cur == S::Began || cur == S::Changed; break;
        case S::Failed: legal = cur == S::Possible; break;
    }
    if (!legal) return;
    if (cur == S::Possible && (next == S::Began || next == S::Ended)) {
        auto d = delegate();
        bool allowed =
            (!d || d->gestureRecognizerShouldBegin(*this)) && UITouchDispatcher::shared()->mayRecognize(*this);
        if (!allowed) {
            state_ = S::Failed;
            return;
        }
        state_ = next;
        UITouchDispatcher::shared()->didRecognize(*this);
        sendActions();
        return;
    }
    state_ = next;
    if (next != S::Possible && next != S::Failed) sendActions();
}

void UIGestureRecognizer::sendActions() {
    auto self = shared_from_this();  // an action may drop the last other reference
    auto actions = actions_;
    for (auto& a : actions) a(*this);
}

void UIViewAddGestureRecognizer(UIView& view, const std::shared_ptr<UIGestureRecognizer>& recognizer) {
    if (!recognizer) return;
    if (auto old = recognizer->view(); old && old.get() != &view) UIViewRemoveGestureRecognizer(*old, recognizer);
    auto list = listOf(view, true);
    if (std::find(list->list.begin(), list->list.end(), recognizer) != list->list.end()) return;
    list->list.push_back(recognizer);
    recognizer->view_ = std::static_pointer_cast<UIView>(view.shared_from_this());
}

void UIViewRemoveGestureRecognizer(UIView& view, const std::shared_ptr<UIGestureRecognizer>& recognizer) {
    auto list = listOf(view, false);
    if (!list || !recognizer) return;
    auto it = std::find(list->list.begin(), list->list.end(), recognizer);
    if (it == list->list.end()) return;
    list->list.erase(it);
    if (recognizer->isActive()) recognizer->setState(UIGestureRecognizerState::Cancelled);
    recognizer->view_.reset();
    recognizer->touches_.clear();
    recognizer->state_ = UIGestureRecognizerState::Possible;
    recognizer->reset();
}

std::vector<std::shared_ptr<UIGestureRecognizer>> UIViewGestureRecognizers(const UIView& view) {
    auto list = listOf(view, false);
    return list ? list->list : std::vector<std::shared_ptr<UIGestureRecognizer>>{};
}
