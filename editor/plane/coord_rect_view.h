// The rectangle plane: an axis-aligned rectangle inside the unit square with nine handles (four
// corners, four edge midpoints, the centre), an outline and a thirds grid. A drag moves a corner,
// an edge or the whole rectangle, always inside the square; a fixed height-to-width ratio (in
// plane units) can be held. The handles are the only store of the rectangle. Main-thread only.
//
// Handle indexes: 0 bottom-left, 1 bottom-right, 2 top-right, 3 top-left, 4 left edge, 5 right
// edge, 6 bottom edge, 7 top edge, 8 centre.
#pragma once

#include <array>
#include <memory>

#include "editor/plane/coord_handle_view.h"
#include "editor/plane/coord_view.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"

class CoordRectHandleView : public CoordHandleView {
public:
    KORVA_MAKE(CoordRectHandleView)
    int type() const { return type_; }
    std::string className() const override { return "CoordRectHandleView"; }

protected:
    CoordRectHandleView(int type, CGFloat arm, CGFloat strokeWidth, std::shared_ptr<UIColor> color);
    CGPath mark() const override;

private:
    int type_;
};

class CoordRectView;

class CoordRectViewDelegate {
public:
    virtual ~CoordRectViewDelegate() = default;
    virtual void onCoordRectViewValueChanged(CoordRectView& plane) = 0;
};

class CoordRectView : public CoordView {
public:
    KORVA_MAKE(CoordRectView)
    static constexpr int kHandles = 9;
    static constexpr CGFloat kHandleArm = 15;
    static constexpr CGFloat kHandleStroke = 4;
    static constexpr CGFloat kGuideAlpha = 0.3;

    void init() override;

    // Places the nine handles for the rectangle (no clamping, no report) and redraws.
    void setRectWithRatio(double x, double y, double w, double h);
    // Handles, then the lines; the guides first.
    void update() override;
    void updateLine();
    // Holds r (height by width, plane units); 0, less or NaN frees the rectangle. A rectangle
    // that lacks the ratio shrinks about its centre to it and is reported.
    void setFixedRatioHbyW(double r);
    double fixedRatioHbyW() const { return fixedRatioHbyW_; }
    // Holds r for the drags to come without fitting the rectangle to it.
    void keepFixedRatioHbyW(double r) { fixedRatioHbyW_ = r; }
    double dist(const CoordHandleView& handle, CGPoint p) const;

    void onPan(UIGestureRecognizer& recognizer);
    // The same with the state and the location in the plane's own points.
    void pan(UIGestureRecognizerState state, CGPoint p);

    const std::array<std::shared_ptr<CoordRectHandleView>, kHandles>& pointers() const { return pointers_; }
    CGPoint handleValue(int i) const { return pointers_[i]->value(); }
    std::shared_ptr<CoordRectViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CoordRectViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<CAShapeLayer>& line0();
    const std::shared_ptr<CAShapeLayer>& line1();
    // The grabbed handle's index, or -1 before the first drag.
    int panK() const { return panK_ ? panK_->type() : -1; }

    std::string className() const override { return "CoordRectView"; }

protected:
    using CoordView::CoordView;

private:
    int pick(CGPoint p) const;
    void moveCorner(int k, double dx, double dy);
    void moveEdge(int k, double dx, double dy);
    void moveCentre(double dx, double dy);
    void set(int i, double x, double y) { pointers_[i]->setValue({x, y}); }
    double x(int i) const { return pointers_[i]->value().x; }
    double y(int i) const { return pointers_[i]->value().y; }
    // The edge midpoints and the centre from the four corners.
    void recomputeCentre();
    void recomputeSides(bool leftRight, bool bottomTop);

    std::array<std::shared_ptr<CoordRectHandleView>, kHandles> pointers_;
    double fixedRatioHbyW_ = 0;
    std::weak_ptr<CoordRectViewDelegate> delegate_;
    std::shared_ptr<CAShapeLayer> line0_, line1_;
    std::shared_ptr<CoordRectHandleView> panK_;
    CGPoint panP0_{}, panV0_{};
};
