// The layer: a node of the render tree with geometry, appearance and sublayers.
//
// Main-thread only. Every change that alters what is shown bumps a process-wide render generation,
// which the display compares to decide whether the screen must be composited again.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/transform3d.h"

class CALayer;
class CGContext;
class CGImage;
struct LayerBackingStore;

// The layer's drawing and layout callbacks; a view is the delegate of its own layer.
class CALayerDelegate {
public:
    virtual ~CALayerDelegate() = default;
    // Draws the layer's content into the context (which the drawing functions see as current);
    // answers false when the delegate has nothing to draw, so that no bitmap is kept.
    virtual bool drawLayerInContext(CALayer& layer, CGContext& context);
    // Lays out the layer's sublayers; called from the layer's layoutSublayers.
    virtual void layoutSublayersOfLayer(CALayer& layer);
};

// Values the animation engine shows instead of the model values while animations run; each
// unset field shows the model value. The renderer draws these; hit testing and layout use the model.
struct CALayerPresentation {
    std::optional<CGPoint> position;
    std::optional<CGRect> bounds;
    std::optional<CATransform3D> transform;
    std::optional<float> opacity;
    std::optional<std::optional<CGColor>> backgroundColor;
    std::optional<CGFloat> cornerRadius;
    std::optional<CGFloat> borderWidth;
    std::optional<CGColor> borderColor;
    std::optional<float> shadowOpacity;
    std::optional<std::shared_ptr<CGImage>> contents;
    // Shape layers.
    std::optional<CGPath> path;
    std::optional<std::optional<CGColor>> fillColor;
    std::optional<std::optional<CGColor>> strokeColor;
    std::optional<CGFloat> lineWidth;
    std::optional<CGFloat> strokeStart;
    std::optional<CGFloat> strokeEnd;
    // Gradient layers.
    std::optional<std::vector<CGColor>> colors;
    std::optional<std::vector<CGFloat>> locations;
};

// How contents are fitted into the bounds.
enum class CAContentsGravity {
    Center,
    Top,
    Bottom,
    Left,
    Right,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
    Resize,
    ResizeAspect,
    ResizeAspectFill
};

class CALayer : public NSObject {
public:
    KORVA_MAKE(CALayer)
    ~CALayer() override;

    // Geometry. frame is derived: the bounding box of the bounds placed at position through the
    // transform about the anchor point.
    CGPoint position() const { return position_; }
    void setPosition(CGPoint p);
    CGRect bounds() const { return bounds_; }
    void setBounds(CGRect b);
    CGPoint anchorPoint() const { return anchorPoint_; }
    void setAnchorPoint(CGPoint p);
    CGFloat zPosition() const { return zPosition_; }
    void setZPosition(CGFloat z);
    CGRect frame() const;
    void setFrame(CGRect frame);
    CATransform3D transform() const { return transform_; }
    void setTransform(const CATransform3D& t);
    CGAffineTransform affineTransform() const { return CATransform3DGetAffineTransform(transform_); }
    void setAffineTransform(const CGAffineTransform& t) { setTransform(CATransform3DMakeAffineTransform(t)); }

    // Appearance.
    float opacity() const { return opacity_; }
    void setOpacity(float o);
    bool isHidden() const { return hidden_; }
    void setHidden(bool h);
    std::optional<CGColor> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<CGColor> c);
    CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(CGFloat r);
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool m);
    CGFloat borderWidth() const { return borderWidth_; }
    void setBorderWidth(CGFloat w);
    CGColor borderColor() const { return borderColor_; }
    void setBorderColor(const CGColor& c);
    std::optional<CGColor> shadowColor() const { return shadowColor_; }
    void setShadowColor(std::optional<CGColor> c);
    float shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(float o);
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize s);
    CGFloat shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(CGFloat r);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool o);

    // A bitmap shown in the bounds, fitted by the gravity.
    std::shared_ptr<CGImage> contents() const { return contents_; }
    void setContents(std::shared_ptr<CGImage> image);
    CAContentsGravity contentsGravity() const { return contentsGravity_; }
    void setContentsGravity(CAContentsGravity g);
    // Pixels per point of drawn content; the display sets the screen's scale on the layers it shows.
    CGFloat contentsScale() const { return contentsScale_; }
    void setContentsScale(CGFloat s);

    // The mask's alpha, in this layer's coordinates, cuts this layer and its sublayers.
    std::shared_ptr<CALayer> mask() const { return mask_; }
    void setMask(std::shared_ptr<CALayer> mask);

    // Kept for callers; the renderer caches drawn content anyway, so rasterising changes nothing.
    bool shouldRasterize() const { return shouldRasterize_; }
    void setShouldRasterize(bool r) { shouldRasterize_ = r; }
    CGFloat rasterizationScale() const { return rasterizationScale_; }
    void setRasterizationScale(CGFloat s) { rasterizationScale_ = s; }

    // Timing of the layer's animations relative to its superlayer (read by the animation engine).
    float speed() const { return speed_; }
    void setSpeed(float s) { speed_ = s; }
    double timeOffset() const { return timeOffset_; }
    void setTimeOffset(double t) { timeOffset_ = t; }
    double beginTime() const { return beginTime_; }
    void setBeginTime(double t) { beginTime_ = t; }

    const std::string& name() const { return name_; }
    void setName(std::string n) { name_ = std::move(n); }

    // The tree.
    std::shared_ptr<CALayer> superlayer() const { return superlayer_.lock(); }
    const std::vector<std::shared_ptr<CALayer>>& sublayers() const { return sublayers_; }
    void setSublayers(std::vector<std::shared_ptr<CALayer>> layers);
    void addSublayer(std::shared_ptr<CALayer> layer);
    void insertSublayerAtIndex(std::shared_ptr<CALayer> layer, std::size_t index);
    void insertSublayerBelow(std::shared_ptr<CALayer> layer, const std::shared_ptr<CALayer>& sibling);
    void insertSublayerAbove(std::shared_ptr<CALayer> layer, const std::shared_ptr<CALayer>& sibling);
    void replaceSublayer(const std::shared_ptr<CALayer>& old, std::shared_ptr<CALayer> replacement);
    void removeFromSuperlayer();
    bool isAncestorOf(const CALayer& layer) const;

    std::weak_ptr<CALayerDelegate> delegate() const { return delegate_; }
    void setDelegate(std::weak_ptr<CALayerDelegate> d) { delegate_ = std::move(d); }

    // Coordinate conversion between layers of one tree (a null layer means this tree's root space).
    CGPoint convertPointFromLayer(CGPoint p, const CALayer* layer) const;
    CGPoint convertPointToLayer(CGPoint p, const CALayer* layer) const;
    CGRect convertRectFromLayer(CGRect r, const CALayer* layer) const;
    CGRect convertRectToLayer(CGRect r, const CALayer* layer) const;
    // The transform from this layer's bounds space to its superlayer's bounds space (flattened).
    CGAffineTransform transformToSuperlayer() const;

    // Hit testing in the superlayer's coordinates; skips hidden layers.
    std::shared_ptr<CALayer> hitTest(CGPoint pointInSuperlayer);
    bool containsPoint(CGPoint p) const;

    // Content: setNeedsDisplay marks it stale, display redraws it through drawInContext.
    void setNeedsDisplay();
    void setNeedsDisplayInRect(CGRect r);
    bool needsDisplay() const { return needsDisplay_; }
    void displayIfNeeded();
    virtual void display();
    // Draws the layer's own content; the base asks the delegate.
    virtual void drawInContext(CGContext& context);
    bool needsDisplayOnBoundsChange() const { return needsDisplayOnBoundsChange_; }
    void setNeedsDisplayOnBoundsChange(bool n) { needsDisplayOnBoundsChange_ = n; }

    // Layout: setNeedsLayout marks, layoutIfNeeded runs layoutSublayers top-down.
    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    void layoutIfNeeded();
    virtual void layoutSublayers();

    // Renders the layer and its sublayers into the context, in this layer's coordinates.
    void renderInContext(CGContext& context);

    // Presentation values (see CALayerPresentation); null when the model values are shown.
    const CALayerPresentation* presentation() const { return presentation_.get(); }
    void setPresentation(const CALayerPresentation& values);
    void clearPresentation();
    // The transform to the superlayer's space built from the presented geometry.
    CGAffineTransform presentedTransformToSuperlayer() const;

    // The drawn bitmap of display(), if any (read by the renderer).
    const std::shared_ptr<LayerBackingStore>& backingStore() const { return backing_; }

    // Bumped by every change that alters the picture; the display compares it between frames.
    static std::uint64_t renderGeneration();
    static void markRenderChanged();
    // This layer's own change count, and an identity that is never reused (damage tracking).
    std::uint64_t version() const { return version_; }
    std::uint64_t layerId() const { return layerId_; }

    std::string description() const override;
    std::string className() const override { return "CALayer"; }

protected:
    CALayer();
    // For subclasses whose drawn content changed: marks the picture changed.
    void changed() {
        ++version_;
        markRenderChanged();
    }

private:
    void attach(const std::shared_ptr<CALayer>& layer);
    void detachFromParentList();
    std::vector<const CALayer*> ancestry() const;

    CGPoint position_;
    CGRect bounds_;
    CGPoint anchorPoint_{0.5, 0.5};
    CGFloat zPosition_ = 0;
    CATransform3D transform_;
    float opacity_ = 1;
    bool hidden_ = false;
    std::optional<CGColor> backgroundColor_;
    CGFloat cornerRadius_ = 0;
    bool masksToBounds_ = false;
    CGFloat borderWidth_ = 0;
    CGColor borderColor_ = CGColor::rgb(0, 0, 0, 1);
    std::optional<CGColor> shadowColor_ = CGColor::rgb(0, 0, 0, 1);
    float shadowOpacity_ = 0;
    CGSize shadowOffset_{0, -3};
    CGFloat shadowRadius_ = 3;
    bool opaque_ = false;
    std::shared_ptr<CGImage> contents_;
    CAContentsGravity contentsGravity_ = CAContentsGravity::Resize;
    CGFloat contentsScale_ = 1;
    std::shared_ptr<CALayer> mask_;
    bool shouldRasterize_ = false;
    CGFloat rasterizationScale_ = 1;
    float speed_ = 1;
    double timeOffset_ = 0;
    double beginTime_ = 0;
    std::string name_;
    std::weak_ptr<CALayer> superlayer_;
    std::vector<std::shared_ptr<CALayer>> sublayers_;
    std::weak_ptr<CALayerDelegate> delegate_;
    bool needsDisplay_ = false;
    bool needsDisplayOnBoundsChange_ = false;
    bool baseDrawCalled_ = false;
    bool delegateDrew_ = false;
    bool needsLayout_ = false;
    std::shared_ptr<LayerBackingStore> backing_;
    std::unique_ptr<CALayerPresentation> presentation_;
    std::uint64_t version_ = 0;
    std::uint64_t layerId_ = nextLayerId();
    static std::uint64_t nextLayerId();
};
