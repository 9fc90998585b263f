// A finger on the screen (UITouch), the event that carries the touches of one moment (UIEvent),
// and the interface of views that handle touches themselves (controls, scroll views).
#pragma once

#include <memory>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/app/host_event_sink.h"

class UIView;
class UIWindow;
class UIGestureRecognizer;

class UITouch : public NSObject {
public:
    KORVA_MAKE(UITouch)
    long identifier() const { return identifier_; }
    UITouchPhase phase() const { return phase_; }
    double timestamp() const { return timestamp_; }
    // Taps in quick succession at one place count up (1 for a single tap).
    int tapCount() const { return tapCount_; }
    // The view the touch began in, and its window.
    std::shared_ptr<UIView> view() const { return view_.lock(); }
    std::shared_ptr<UIWindow> window() const { return window_.lock(); }
    // Locations in a view's bounds space; a null view means the window.
    CGPoint locationInView(const std::shared_ptr<UIView>& view) const;
    CGPoint previousLocationInView(const std::shared_ptr<UIView>& view) const;
    CGPoint windowLocation() const { return location_; }

    std::string className() const override { return "UITouch"; }

protected:
    UITouch(long identifier, CGPoint windowLocation, double timestamp, std::shared_ptr<UIView> view,
            std::shared_ptr<UIWindow> window, int tapCount);

private:
    friend class UITouchDispatcher;
    void moveTo(CGPoint windowLocation, UITouchPhase phase, double timestamp);
    long identifier_;
    CGPoint location_;
    CGPoint previous_;
    double timestamp_;
    UITouchPhase phase_ = UITouchPhase::Began;
    std::weak_ptr<UIView> view_;
    std::weak_ptr<UIWindow> window_;
    int tapCount_ = 1;
};

using UITouchSet = std::vector<std::shared_ptr<UITouch>>;

class UIEvent : public NSObject {
public:
    KORVA_MAKE(UIEvent)
    double timestamp() const { return timestamp_; }
    const UITouchSet& allTouches() const { return touches_; }
    std::string className() const override { return "UIEvent"; }

protected:
    UIEvent(double timestamp, UITouchSet touches) : timestamp_(timestamp), touches_(std::move(touches)) {}

private:
    double timestamp_;
    UITouchSet touches_;
};

// Views that handle touches themselves implement this; a touch goes to the nearest such view at
// or above the view it began in.
class UITouchReceiver {
public:
    virtual ~UITouchReceiver() = default;
    virtual void touchesBegan(const UITouchSet& /*touches*/, const UIEvent& /*event*/) {}
    virtual void touchesMoved(const UITouchSet& /*touches*/, const UIEvent& /*event*/) {}
    virtual void touchesEnded(const UITouchSet& /*touches*/, const UIEvent& /*event*/) {}
    virtual void touchesCancelled(const UITouchSet& /*touches*/, const UIEvent& /*event*/) {}
    // Whether this view keeps touches that begin in it from its ancestors' gesture recognisers
    // (an enabled control does: a tap on a button inside a tappable view sends one action).
    virtual bool takesTouchesBeforeAncestorRecognizers() const { return false; }
    // Whether a drag that begins in this view is kept from the scroll views around it (a table's
    // index strip: dragging over it picks titles rather than scrolling).
    virtual bool keepsTouchesFromScrolling() const { return false; }
    // Whether a tap at this point (in the view's own space) does something here. A scroll view
    // only pans, so a tap on its background is nobody's; a list's row is taken.
    virtual bool takesTapAt(CGPoint /*point*/) { return true; }
};

// Hands touches that a view handling touches does not take to the next responder up the chain
// that handles touches (views, then controllers); nothing when there is none.
void UITouchPassToNextResponder(const UIView& from, UITouchPhase phase, const UITouchSet& touches,
                                const UIEvent& event);
