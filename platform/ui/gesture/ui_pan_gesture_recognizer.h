// The pan recogniser and its screen-edge form.
#pragma once

#include <memory>

#include "platform/ui/gesture/ui_gesture_recognizer.h"

// Began once the touches have moved 10 points; reports translation and velocity.
class UIPanGestureRecognizer : public UIGestureRecognizer {
public:
    KORVA_MAKE(UIPanGestureRecognizer)
    std::size_t minimumNumberOfTouches() const { return minTouches_; }
    void setMinimumNumberOfTouches(std::size_t n) { minTouches_ = n < 1 ? 1 : n; }
    std::size_t maximumNumberOfTouches() const { return maxTouches_; }
    void setMaximumNumberOfTouches(std::size_t n) { maxTouches_ = n; }
    // Movement of the touches' centroid since the gesture began, in the view's space.
    CGPoint translationInView(const std::shared_ptr<UIView>& view) const;
    void setTranslation(CGPoint translation, const std::shared_ptr<UIView>& view);
    // Points per second over the last tenth of a second or so.
    CGPoint velocityInView(const std::shared_ptr<UIView>& view) const;

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void reset() override;
    std::string className() const override { return "UIPanGestureRecognizer"; }

protected:
    explicit UIPanGestureRecognizer(Action action = nullptr) : UIGestureRecognizer(std::move(action)) {}
    // Whether a pan may start from this first window location (edge pans narrow it).
    virtual bool acceptsStart(CGPoint /*windowLocation*/, const UITouch& /*touch*/) const { return true; }

private:
    CGPoint centroidInWindow() const;
    std::size_t minTouches_ = 1;
    std::size_t maxTouches_ = 1000;
    CGPoint origin_;     // window space, where the translation is zero
    CGPoint lastPoint_;  // window space
    double lastTime_ = 0;
    CGPoint velocity_;  // window space, points per second
    bool startChecked_ = false;
};

enum UIRectEdge : unsigned {
    UIRectEdgeNone = 0,
    UIRectEdgeTop = 1,
    UIRectEdgeLeft = 2,
    UIRectEdgeBottom = 4,
    UIRectEdgeRight = 8,
    UIRectEdgeAll = 15
};

// A pan that must start within 20 points of one of the window's edges.
class UIScreenEdgePanGestureRecognizer : public UIPanGestureRecognizer {
public:
    KORVA_MAKE(UIScreenEdgePanGestureRecognizer)
    unsigned edges() const { return edges_; }
    void setEdges(unsigned e) { edges_ = e; }
    std::string className() const override { return "UIScreenEdgePanGestureRecognizer"; }

protected:
    explicit UIScreenEdgePanGestureRecognizer(Action action = nullptr) : UIPanGestureRecognizer(std::move(action)) {}
    bool acceptsStart(CGPoint windowLocation, const UITouch& touch) const override;

private:
    unsigned edges_ = UIRectEdgeNone;
};
