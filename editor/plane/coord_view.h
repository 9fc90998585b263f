// The backdrop of the coordinate planes: a faint wash with a centre cross and quarter lines.
// Values on every plane are points of the unit square, y up: (x, y) sits at the view point
// (x * W, (1 - y) * H). The base keeps no values and handles no touches. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/view/ui_view.h"

class CAShapeLayer;
class CGPath;
class UIColor;

// The planes draw their values at once, following the finger: while one lives, layer changes
// take no implicit animation.
class PlaneDrawingScope {
public:
    PlaneDrawingScope();
    ~PlaneDrawingScope();
    PlaneDrawingScope(const PlaneDrawingScope&) = delete;
    PlaneDrawingScope& operator=(const PlaneDrawingScope&) = delete;
};

// The single-precision clamp into the unit interval that plane values go through.
double clampUnit(double v);

class CoordView : public UIView {
public:
    KORVA_MAKE(CoordView)
    void init() override;

    // Made on first use: the cross at the bottom of the layer, the quarter lines directly above.
    const std::shared_ptr<CAShapeLayer>& guide0();
    const std::shared_ptr<CAShapeLayer>& guide1();
    void setGuide0(std::shared_ptr<CAShapeLayer> l) { guide0_ = std::move(l); }
    void setGuide1(std::shared_ptr<CAShapeLayer> l) { guide1_ = std::move(l); }
    // Plain properties: a new colour shows at the next updateGuide.
    const std::shared_ptr<UIColor>& color0() const { return color0_; }
    void setColor0(std::shared_ptr<UIColor> c) { color0_ = std::move(c); }
    const std::shared_ptr<UIColor>& color1() const { return color1_; }
    void setColor1(std::shared_ptr<UIColor> c) { color1_ = std::move(c); }

    void updateGuide();
    // Redraws for the current size; subclasses call this first, then redraw their own content.
    virtual void update();
    // Redraws everything for the new size, so a plane whose frame changes after it was filled
    // (an opening pop-up settling) keeps its handles and lines on their values.
    void layoutSubviews() override;

    // The view point of a plane value, relative to the view's centre (the space of the line
    // layers, which sit at the centre with zero bounds).
    CGPoint centred(CGPoint value) const;
    // The view point of a plane value.
    CGPoint viewPoint(CGPoint value) const;
    // A shape layer's look for the planes' lines: the colour and width, no fill.
    static void styleLine(CAShapeLayer& layer, const std::shared_ptr<UIColor>& color, CGFloat width, bool roundCap,
                          bool roundJoin);

    std::string className() const override { return "CoordView"; }

protected:
    using UIView::UIView;
    // Puts a line layer in place and draws the path around the view's centre.
    void placeLine(CAShapeLayer& layer, const CGPath& path) const;

private:
    std::shared_ptr<UIColor> color0_, color1_;
    std::shared_ptr<CAShapeLayer> guide0_, guide1_;
};
