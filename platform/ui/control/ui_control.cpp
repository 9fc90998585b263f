// Control events from touches, and the target-action table.
#include "platform/ui/control/ui_control.h"

#include <algorithm>

UIControl::UIControl(CGRect frame) : UIView(frame) {}

namespace {
constexpr CGFloat kTrackingSlop = 70;
}

std::uint64_t UIControl::addTarget(const std::shared_ptr<NSObject>& target, Action action, UIControlEvents events) {
    if (!action || events == 0) return 0;
    std::uint64_t id = nextId_++;
    entries_.push_back({id, target, target != nullptr, std::move(action), events});
    return id;
}

void UIControl::removeAction(std::uint64_t id) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.id == id; }),
                   entries_.end());
}

void UIControl::removeTarget(const NSObject* target, UIControlEvents events) {
    for (auto& e : entries_) {
        if (target && (!e.hasTarget || e.target.lock().get() != target)) continue;
        e.events &= ~events;
    }
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.events == 0; }),
                   entries_.end());
}

std::size_t UIControl::numberOfActions(UIControlEvents events) const {
    return std::size_t(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return (e.events & events) && (!e.hasTarget || !e.target.expired());
    }));
}

void UIControl::sendActionsForControlEvents(UIControlEvents events) {
    auto self = shared_from_this();  // an action may remove the control from its superview
    auto entries = entries_;         // and may add or remove actions
    for (const auto& e : entries) {
        if (!(e.events & events)) continue;
        std::shared_ptr<NSObject> target;
        if (e.hasTarget && !(target = e.target.lock())) continue;
        e.action(*this);
    }
}

void UIControl::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled && tracking_) cancelTrackingWithEvent(nullptr);
    if (!enabled) {
        tracking_ = false;
        trackedTouch_.reset();
        highlighted_ = false;
    }
    stateDidChange();
}

void UIControl::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    stateDidChange();
}

void UIControl::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    stateDidChange();
}

UIControlState UIControl::state() const {
    UIControlState s = UIControlStateNormal;
    if (highlighted_) s |= UIControlStateHighlighted;
    if (!enabled_) s |= UIControlStateDisabled;
    if (selected_) s |= UIControlStateSelected;
    return s;
}

void UIControl::setContentHorizontalAlignment(UIControlContentHorizontalAlignment a) {
    hAlign_ = a;
    setNeedsLayout();
}

void UIControl::setContentVerticalAlignment(UIControlContentVerticalAlignment a) {
    vAlign_ = a;
    setNeedsLayout();
}

bool UIControl::beginTrackingWithTouch(const UITouch&, const UIEvent&) {
    return true;
}
bool UIControl::continueTrackingWithTouch(const UITouch&, const UIEvent&) {
    return true;
}
void UIControl::endTrackingWithTouch(const UITouch*, const UIEvent*) {}
void UIControl::cancelTrackingWithEvent(const UIEvent*) {}

bool UIControl::isInsideForTracking(CGPoint p) const {
    return CGRectContainsPoint(CGRectInset(bounds(), -kTrackingSlop, -kTrackingSlop), p);
}

void UIControl::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    if (!enabled_ || tracking_ || touches.empty()) return;
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    trackedTouch_ = touches.front();
    tracking_ = true;
    touchInside_ = true;
    setHighlighted(true);
    UIControlEvents down = UIControlEventTouchDown;
    if (trackedTouch_->tapCount() > 1) down |= UIControlEventTouchDownRepeat;
    sendActionsForControlEvents(down);
    if (tracking_ && !beginTrackingWithTouch(*trackedTouch_, event)) tracking_ = false;
}

void UIControl::touchesMoved(const UITouchSet& touches, const UIEvent& event) {
    if (!tracking_ || !trackedTouch_ || std::find(touches.begin(), touches.end(), trackedTouch_) == touches.end())
        return;
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    bool inside = isInsideForTracking(trackedTouch_->locationInView(self));
    UIControlEvents events = inside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside;
    if (inside != touchInside_) events |= inside ? UIControlEventTouchDragEnter : UIControlEventTouchDragExit;
    touchInside_ = inside;
    setHighlighted(inside);
    sendActionsForControlEvents(events);
    if (tracking_ && !continueTrackingWithTouch(*trackedTouch_, event)) tracking_ = false;
}

void UIControl::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    if (!trackedTouch_ || std::find(touches.begin(), touches.end(), trackedTouch_) == touches.end()) return;
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    bool inside = isInsideForTracking(trackedTouch_->locationInView(self));
    bool wasTracking = tracking_;
    auto touch = std::move(trackedTouch_);
    tracking_ = false;
    touchInside_ = inside;
    setHighlighted(false);
    if (wasTracking) endTrackingWithTouch(touch.get(), &event);
    sendActionsForControlEvents(inside ? UIControlEventTouchUpInside | touchUpInsideExtraEvents()
                                       : UIControlEventTouchUpOutside);
}

void UIControl::touchesCancelled(const UITouchSet& touches, const UIEvent& event) {
    if (!trackedTouch_ || std::find(touches.begin(), touches.end(), trackedTouch_) == touches.end()) return;
    trackedTouch_.reset();
    bool wasTracking = tracking_;
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    if (wasTracking) cancelTrackingWithEvent(&event);
    sendActionsForControlEvents(UIControlEventTouchCancel);
}
