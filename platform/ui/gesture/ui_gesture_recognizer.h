// Gesture recognisers: state machines fed with the touches of the view they are attached to (and
// its subviews), which call their targets as a gesture begins, changes and ends.
//
// Possible -> Began -> Changed* -> Ended | Cancelled   (continuous: pan, pinch, long press)
// Possible -> Ended (recognised)                        (discrete: tap)
// Possible -> Failed
// After Ended, Cancelled or Failed the recogniser returns to Possible once its touches are up.
// Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/gesture/ui_touch.h"

class UIView;

enum class UIGestureRecognizerState { Possible = 0, Began = 1, Changed = 2, Ended = 3, Cancelled = 4, Failed = 5 };
inline constexpr UIGestureRecognizerState UIGestureRecognizerStateRecognized = UIGestureRecognizerState::Ended;

class UIGestureRecognizerDelegate {
public:
    virtual ~UIGestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldBegin(UIGestureRecognizer& /*recognizer*/) { return true; }
    virtual bool shouldReceiveTouch(UIGestureRecognizer& /*recognizer*/, const UITouch& /*touch*/) { return true; }
    virtual bool shouldRecognizeSimultaneously(UIGestureRecognizer& /*recognizer*/, UIGestureRecognizer& /*other*/) {
        return false;
    }
};

class UIGestureRecognizer : public NSObject {
public:
    using Action = std::function<void(UIGestureRecognizer&)>;

    // Targets and actions, called in the order added.
    void addTarget(Action action);
    void removeAllTargets() { actions_.clear(); }

    UIGestureRecognizerState state() const { return state_; }
    std::shared_ptr<UIView> view() const { return view_.lock(); }
    bool isEnabled() const { return enabled_; }
    // Disabling cancels a gesture in progress.
    void setEnabled(bool enabled);
    // When the gesture is recognised the touches are taken from the view (it gets touchesCancelled).
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool c) { cancelsTouchesInView_ = c; }
    // Whether controls under this recogniser's view keep their touches from it (true, except for
    // the scroll view's own pan, which may take a drag that starts on a button).
    bool yieldsToControls() const { return yieldsToControls_; }
    void setYieldsToControls(bool y) { yieldsToControls_ = y; }
    std::shared_ptr<UIGestureRecognizerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UIGestureRecognizerDelegate>& d) { delegate_ = d; }

    // The centroid of the current touches, in a view's space (null: the window).
    virtual CGPoint locationInView(const std::shared_ptr<UIView>& view) const;
    std::size_t numberOfTouches() const { return touches_.size(); }
    CGPoint locationOfTouch(std::size_t index, const std::shared_ptr<UIView>& view) const;

    // Touch input, called by the dispatcher; subclasses override and call setState.
    virtual void touchesBegan(const UITouchSet& touches, const UIEvent& event);
    virtual void touchesMoved(const UITouchSet& touches, const UIEvent& event);
    virtual void touchesEnded(const UITouchSet& touches, const UIEvent& event);
    virtual void touchesCancelled(const UITouchSet& touches, const UIEvent& event);
    // Back to a clean Possible state.
    virtual void reset();

    // Moves the state machine; illegal moves are ignored. Began and Ended-from-Possible ask the
    // delegate and the dispatcher first (and fail instead when refused).
    void setState(UIGestureRecognizerState state);
    // Whether the gesture is being recognised now (Began or Changed).
    bool isActive() const {
        return state_ == UIGestureRecognizerState::Began || state_ == UIGestureRecognizerState::Changed;
    }
    const UITouchSet& trackedTouches() const { return touches_; }
    // After Ended, Cancelled or Failed with no touch left: back to Possible (and reset()).
    void resetIfIdle();

    std::string className() const override { return "UIGestureRecognizer"; }

protected:
    explicit UIGestureRecognizer(Action action = nullptr);
    // Removes ended touches from the tracked list (subclasses call it from touchesEnded).
    void forgetTouches(const UITouchSet& touches);

private:
    friend class UITouchDispatcher;
    friend void UIViewAddGestureRecognizer(UIView& view, const std::shared_ptr<UIGestureRecognizer>& recognizer);
    friend void UIViewRemoveGestureRecognizer(UIView& view, const std::shared_ptr<UIGestureRecognizer>& recognizer);
    void sendActions();

    std::vector<Action> actions_;
    UIGestureRecognizerState state_ = UIGestureRecognizerState::Possible;
    std::weak_ptr<UIView> view_;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    bool yieldsToControls_ = true;
    std::weak_ptr<UIGestureRecognizerDelegate> delegate_;
    UITouchSet touches_;
};

// A view's recognisers, kept on the view as an attached object.
void UIViewAddGestureRecognizer(UIView& view, const std::shared_ptr<UIGestureRecognizer>& recognizer);
void UIViewRemoveGestureRecognizer(UIView& view, const std::shared_ptr<UIGestureRecognizer>& recognizer);
std::vector<std::shared_ptr<UIGestureRecognizer>> UIViewGestureRecognizers(const UIView& view);
