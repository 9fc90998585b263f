// A layer that fills and strokes a path, with stroke trimming by start and end fractions.
#pragma once

#include <optional>
#include <vector>

#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_layer.h"

enum class CAFillRule { NonZero, EvenOdd };

class CAShapeLayer : public CALayer {
public:
    KORVA_MAKE(CAShapeLayer)

    // The path in the layer's bounds space; none draws nothing.
    const std::optional<CGPath>& path() const { return path_; }
    void setPath(std::optional<CGPath> p);
    // None fills nothing; the default fill is opaque black and the default stroke none.
    const std::optional<CGColor>& fillColor() const { return fillColor_; }
    void setFillColor(std::optional<CGColor> c);
    CAFillRule fillRule() const { return fillRule_; }
    void setFillRule(CAFillRule r);
    const std::optional<CGColor>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(std::optional<CGColor> c);
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat w);
    CGLineCap lineCap() const { return lineCap_; }
    void setLineCap(CGLineCap c);
    CGLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CGLineJoin j);
    CGFloat miterLimit() const { return miterLimit_; }
    void setMiterLimit(CGFloat m);
    const std::vector<CGFloat>& lineDashPattern() const { return dashPattern_; }
    void setLineDashPattern(std::vector<CGFloat> pattern);
    CGFloat lineDashPhase() const { return dashPhase_; }
    void setLineDashPhase(CGFloat phase);
    // Fractions of the path's length between which the stroke is drawn, clamped to 0...1.
    CGFloat strokeStart() const { return strokeStart_; }
    void setStrokeStart(CGFloat s);
    CGFloat strokeEnd() const { return strokeEnd_; }
    void setStrokeEnd(CGFloat e);

    std::string className() const override { return "CAShapeLayer"; }

protected:
    CAShapeLayer() = default;

private:
    std::optional<CGPath> path_;
    std::optional<CGColor> fillColor_ = CGColor::rgb(0, 0, 0, 1);
    CAFillRule fillRule_ = CAFillRule::NonZero;
    std::optional<CGColor> strokeColor_;
    CGFloat lineWidth_ = 1;
    CGLineCap lineCap_ = CGLineCap::Butt;
    CGLineJoin lineJoin_ = CGLineJoin::Miter;
    CGFloat miterLimit_ = 10;
    std::vector<CGFloat> dashPattern_;
    CGFloat dashPhase_ = 0;
    CGFloat strokeStart_ = 0;
    CGFloat strokeEnd_ = 1;
};
