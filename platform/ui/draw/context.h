// CGContext: a Cairo drawing context with the platform's graphics state (colours, line style, blend
// mode, alpha, shadow, clip) kept on a save/restore stack.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/blend_mode.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"

typedef struct _cairo cairo_t;
class CGImage;
class CGGradient;

enum CGGradientDrawingOptions : unsigned {
    kCGGradientDrawsBeforeStartLocation = 1 << 0,
    kCGGradientDrawsAfterEndLocation = 1 << 1,
};

// Not thread-safe: one thread draws into a context at a time.
class CGContext : public NSObject {
public:
    // A context drawing through an existing Cairo context (a reference is taken). `baseTransform`
    // is the device mapping already in the Cairo context's matrix (for example the screen scale):
    // shadow offsets and blur are given in that base space.
    static std::shared_ptr<CGContext> makeWithCairo(cairo_t* cairo,
                                                    const CGAffineTransform& baseTransform = CGAffineTransformIdentity);
    ~CGContext() override;

    cairo_t* cairo() const { return cr_; }

    // Graphics state.
    void saveGState();
    void restoreGState();  // an unbalanced restore is ignored

    void translateCTM(CGFloat tx, CGFloat ty);
    void scaleCTM(CGFloat sx, CGFloat sy);
    void rotateCTM(CGFloat angle);
    void concatCTM(const CGAffineTransform& t);
    // User space to device pixels.
    CGAffineTransform getCTM() const;
    // The device mapping the context started with.
    const CGAffineTransform& baseTransform() const { return base_; }

    void setFillColorWithColor(const CGColor& color);
    void setStrokeColorWithColor(const CGColor& color);
    void setRGBFillColor(CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
        setFillColorWithColor(CGColor::rgb(r, g, b, a));
    }
    void setRGBStrokeColor(CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
        setStrokeColorWithColor(CGColor::rgb(r, g, b, a));
    }
    void setGrayFillColor(CGFloat w, CGFloat a) { setFillColorWithColor(CGColor::gray(w, a)); }
    void setGrayStrokeColor(CGFloat w, CGFloat a) { setStrokeColorWithColor(CGColor::gray(w, a)); }
    const CGColor& fillColor() const { return state().fill; }
    const CGColor& strokeColor() const { return state().stroke; }

    void setAlpha(CGFloat alpha);
    CGFloat alpha() const { return state().alpha; }
    void setBlendMode(CGBlendMode mode) { state().blend = mode; }
    CGBlendMode blendMode() const { return state().blend; }
    void setLineWidth(CGFloat width);
    CGFloat lineWidth() const { return state().lineWidth; }
    void setLineCap(CGLineCap cap) { state().cap = cap; }
    void setLineJoin(CGLineJoin join) { state().join = join; }
    void setMiterLimit(CGFloat limit) { state().miterLimit = limit; }
    // An empty pattern gives solid lines; negative lengths are refused (solid lines).
    void setLineDash(CGFloat phase, std::vector<CGFloat> lengths);
    // Blur and offset in base space; no colour (or a clear one) turns the shadow off.
    void setShadowWithColor(CGSize offset, CGFloat blur, std::optional<CGColor> color);
    void setShadow(CGSize offset, CGFloat blur) { setShadowWithColor(offset, blur, CGColor::rgb(0, 0, 0, 1.0 / 3.0)); }
    void setInterpolationQuality(CGInterpolationQuality quality) { state().interpolation = quality; }
    CGInterpolationQuality interpolationQuality() const { return state().interpolation; }
    void setShouldAntialias(bool antialias) { state().antialias = antialias; }

    // The current path (not part of the saved state, cleared by painting).
    void beginPath();
    void moveToPoint(CGFloat x, CGFloat y);
    void addLineToPoint(CGFloat x, CGFloat y);
    void addCurveToPoint(CGFloat c1x, CGFloat c1y, CGFloat c2x, CGFloat c2y, CGFloat x, CGFloat y);
    void addQuadCurveToPoint(CGFloat cx, CGFloat cy, CGFloat x, CGFloat y);
    // As CGPath::addArc: clockwise means decreasing angles.
    void addArc(CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    void addArcToPoint(CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius);
    void closePath();
    void addRect(const CGRect& rect);
    void addEllipseInRect(const CGRect& rect);
    // The path is taken in user space as it is now (later CTM changes do not move it).
    void addPath(const CGPath& path);
    bool isPathEmpty() const;
    CGPoint getPathCurrentPoint() const;

    // Painting the current path.
    void fillPath() { drawPath(CGPathDrawingMode::Fill); }
    void eoFillPath() { drawPath(CGPathDrawingMode::EOFill); }
    void strokePath() { drawPath(CGPathDrawingMode::Stroke); }
    void drawPath(CGPathDrawingMode mode);
    void fillRect(const CGRect& rect);
    void fillRects(const std::vector<CGRect>& rects);
    void strokeRect(const CGRect& rect);
    void strokeRectWithWidth(const CGRect& rect, CGFloat width);
    void fillEllipseInRect(const CGRect& rect);
    void strokeEllipseInRect(const CGRect& rect);
    // Pairs of points, each pair one segment.
    void strokeLineSegments(const std::vector<CGPoint>& points);
    // Makes the rectangle transparent, whatever the blend mode.
    void clearRect(const CGRect& rect);

    // Clipping with the current path (which is then cleared) or a rectangle.
    void clip();
    void eoClip();
    void clipToRect(const CGRect& rect);
    void clipToRects(const std::vector<CGRect>& rects);
    CGRect getClipBoundingBox() const;

    // Gradients fill the whole clip area.
    void drawLinearGradient(const CGGradient& gradient, CGPoint start, CGPoint end, unsigned options);
    void drawRadialGradient(const CGGradient& gradient, CGPoint startCenter, CGFloat startRadius, CGPoint endCenter,
                            CGFloat endRadius, unsigned options);

    // Draws the bitmap stretched into rect as the platform's function does: the image's first row
    // lands at the rectangle's maximum y, so it is upright in a y-up context (bitmap contexts) and
    // upside down in a y-down one (image contexts); UIImage's drawing corrects for that.
    void drawImage(const CGRect& rect, const CGImage& image);
    // The bitmap with its first row at the rectangle's top (minimum y) in user space.
    void drawImageTopDown(const CGRect& rect, const CGImage& image);

    // Runs a drawing callback on the Cairo context with the state's alpha, blend mode, shadow and
    // clip applied. The callback draws with Cairo's source-over; it is called once more for the
    // shadow when one is set. Used by text drawing.
    void drawWithState(const std::function<void(cairo_t*)>& paint);

    // Writes pending pixels to the target (bitmap contexts over converted memory).
    virtual void flush();

    std::string className() const override { return "CGContext"; }

protected:
    CGContext(cairo_t* cairo, const CGAffineTransform& base);
    // Called after every painting operation; bitmap contexts copy converted pixels back.
    virtual void didDraw() {}

private:
    struct GState {
        CGColor fill = CGColor::rgb(0, 0, 0, 1);
        CGColor stroke = CGColor::rgb(0, 0, 0, 1);
        CGFloat alpha = 1;
        CGBlendMode blend = CGBlendMode::Normal;
        CGFloat lineWidth = 1;
        CGLineCap cap = CGLineCap::Butt;
        CGLineJoin join = CGLineJoin::Miter;
        CGFloat miterLimit = 10;
        std::vector<CGFloat> dash;
        CGFloat dashPhase = 0;
        CGSize shadowOffset{};
        CGFloat shadowBlur = 0;
        std::optional<CGColor> shadowColor;
        CGInterpolationQuality interpolation = CGInterpolationQuality::Default;
        bool antialias = true;
        bool degenerate = false;  // a singular CTM: nothing draws
    };
    GState& state() { return stack_.back(); }
    const GState& state() const { return stack_.back(); }

    void applyStrokeStyle(cairo_t* cr) const;
    void setSource(cairo_t* cr, const CGColor& color, bool withAlpha) const;
    bool hasShadow() const;
    void drawShadow(const std::function<void(cairo_t*)>& paintCoverage);
    void paintImage(const CGRect& rect, const CGImage& image, bool topDown);

    cairo_t* cr_ = nullptr;
    CGAffineTransform base_;
    std::vector<GState> stack_{GState{}};
};

// The platform's C-style names for the calls the application makes.
inline void CGContextSaveGState(CGContext* c) {
    if (c) c->saveGState();
}
inline void CGContextRestoreGState(CGContext* c) {
    if (c) c->restoreGState();
}
