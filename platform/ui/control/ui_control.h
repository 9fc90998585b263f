// The base of controls: targets and actions per event, the enabled, selected and highlighted
// states, and touch tracking that turns touches into control events. Main-thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

using UIControlEvents = std::uint32_t;
inline constexpr UIControlEvents UIControlEventTouchDown = 1 << 0;
inline constexpr UIControlEvents UIControlEventTouchDownRepeat = 1 << 1;
inline constexpr UIControlEvents UIControlEventTouchDragInside = 1 << 2;
inline constexpr UIControlEvents UIControlEventTouchDragOutside = 1 << 3;
inline constexpr UIControlEvents UIControlEventTouchDragEnter = 1 << 4;
inline constexpr UIControlEvents UIControlEventTouchDragExit = 1 << 5;
inline constexpr UIControlEvents UIControlEventTouchUpInside = 1 << 6;
inline constexpr UIControlEvents UIControlEventTouchUpOutside = 1 << 7;
inline constexpr UIControlEvents UIControlEventTouchCancel = 1 << 8;
inline constexpr UIControlEvents UIControlEventValueChanged = 1 << 12;
inline constexpr UIControlEvents UIControlEventPrimaryActionTriggered = 1 << 13;
inline constexpr UIControlEvents UIControlEventEditingDidBegin = 1 << 16;
inline constexpr UIControlEvents UIControlEventEditingChanged = 1 << 17;
inline constexpr UIControlEvents UIControlEventEditingDidEnd = 1 << 18;
inline constexpr UIControlEvents UIControlEventEditingDidEndOnExit = 1 << 19;
inline constexpr UIControlEvents UIControlEventAllTouchEvents = 0x0FFF;
inline constexpr UIControlEvents UIControlEventAllEditingEvents = 0x000F0000;
inline constexpr UIControlEvents UIControlEventAllEvents = 0xFFFFFFFF;

using UIControlState = unsigned;
inline constexpr UIControlState UIControlStateNormal = 0;
inline constexpr UIControlState UIControlStateHighlighted = 1 << 0;
inline constexpr UIControlState UIControlStateDisabled = 1 << 1;
inline constexpr UIControlState UIControlStateSelected = 1 << 2;

enum class UIControlContentHorizontalAlignment { Center = 0, Left = 1, Right = 2, Fill = 3 };
enum class UIControlContentVerticalAlignment { Center = 0, Top = 1, Bottom = 2, Fill = 3 };

class UIControl : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(UIControl)
    using Action = std::function<void(UIControl& sender)>;

    // An action for the events; with a target it is skipped once the target is gone (targets are
    // held weakly). Returns an id for removeAction.
    std::uint64_t addTarget(const std::shared_ptr<NSObject>& target, Action action, UIControlEvents events);
    std::uint64_t addAction(Action action, UIControlEvents events) {
        return addTarget(nullptr, std::move(action), events);
    }
    void removeAction(std::uint64_t id);
    // Removes the target's actions for those events (a null target: every action for them).
    void removeTarget(const NSObject* target, UIControlEvents events = UIControlEventAllEvents);
    std::size_t numberOfActions(UIControlEvents events = UIControlEventAllEvents) const;
    // Calls the actions registered for any of the events, in the order added.
    void sendActionsForControlEvents(UIControlEvents events);

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    UIControlState state() const;
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }

    UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return hAlign_; }
    void setContentHorizontalAlignment(UIControlContentHorizontalAlignment a);
    UIControlContentVerticalAlignment contentVerticalAlignment() const { return vAlign_; }
    void setContentVerticalAlignment(UIControlContentVerticalAlignment a);

    // Tracking hooks; beginTracking answering false stops the tracking of that touch.
    virtual bool beginTrackingWithTouch(const UITouch& touch, const UIEvent& event);
    virtual bool continueTrackingWithTouch(const UITouch& touch, const UIEvent& event);
    virtual void endTrackingWithTouch(const UITouch* touch, const UIEvent* event);
    virtual void cancelTrackingWithEvent(const UIEvent* event);

    // UITouchReceiver.
    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override;
    bool takesTouchesBeforeAncestorRecognizers() const override { return enabled_; }

    std::string className() const override { return "UIControl"; }

protected:
    explicit UIControl(CGRect frame = CGRectZero);
    // Called after enabled, selected or highlighted changes; the base redraws.
    virtual void stateDidChange() { setNeedsDisplay(); }
    // Events sent with TouchUpInside besides it (a button also triggers its primary action).
    virtual UIControlEvents touchUpInsideExtraEvents() const { return 0; }
    // Whether the point (bounds space) counts as inside for tracking: the bounds grown by 70 points.
    bool isInsideForTracking(CGPoint p) const;

private:
    struct Entry {
        std::uint64_t id;
        std::weak_ptr<NSObject> target;
        bool hasTarget;
        Action action;
        UIControlEvents events;
    };
    std::vector<Entry> entries_;
    std::uint64_t nextId_ = 1;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool touchInside_ = false;
    std::shared_ptr<UITouch> trackedTouch_;
    UIControlContentHorizontalAlignment hAlign_ = UIControlContentHorizontalAlignment::Center;
    UIControlContentVerticalAlignment vAlign_ = UIControlContentVerticalAlignment::Center;
};
