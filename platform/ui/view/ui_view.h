// The view: a rectangle on screen backed by a layer, with subviews, layout constraints, layout
// and drawing hooks, and hit testing. Main-thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/range.h"
#include "platform/storage/ns_coder.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/layout_guide.h"
#include "platform/ui/view/ui_edge_insets.h"
#include "platform/ui/view/ui_responder.h"

class UIWindow;
class LayoutEngine;

enum class UIViewContentMode {
    ScaleToFill = 0,
    ScaleAspectFit = 1,
    ScaleAspectFill = 2,
    Redraw = 3,
    Center = 4,
    Top = 5,
    Bottom = 6,
    Left = 7,
    Right = 8,
    TopLeft = 9,
    TopRight = 10,
    BottomLeft = 11,
    BottomRight = 12,
};

// Bit set: which of the margins and the size stretch when the superview's size changes.
using UIViewAutoresizing = unsigned;
inline constexpr UIViewAutoresizing UIViewAutoresizingNone = 0;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleLeftMargin = 1 << 0;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleWidth = 1 << 1;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleRightMargin = 1 << 2;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleTopMargin = 1 << 3;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleHeight = 1 << 4;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleBottomMargin = 1 << 5;

enum class UIViewTintAdjustmentMode { Automatic = 0, Normal = 1, Dimmed = 2 };

// What a view tells accessibility about itself (bits).
using UIAccessibilityTraits = std::uint64_t;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitNone = 0;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitButton = 1ull << 0;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitLink = 1ull << 1;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitImage = 1ull << 2;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitSelected = 1ull << 3;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitStaticText = 1ull << 6;

// The intrinsic size component that says "none".
inline constexpr CGFloat UIViewNoIntrinsicMetric = -1;

class UIView : public UIResponder, public CALayerDelegate {
public:
    KORVA_MAKE(UIView)
    ~UIView() override;
    void init() override;
    // The coder road (makeWithCoder): the initialiser, then the archived properties (frame, tag,
    // hidden, alpha, background colour). A class whose initialiser does more than the archive
    // should overrides this, running its base's init() and decodeViewProperties itself.
    virtual void initWithCoder(const NSCoder& coder);
    // Writes the properties the coder road reads.
    virtual void encodeWithCoder(NSCoder& coder) const;
    // Called once the coder road has read the whole view, for what needs every archived property
    // in place; nothing here. The designer's preview calls prepareForInterfaceBuilder instead.
    virtual void awakeFromNib() {}
    virtual void prepareForInterfaceBuilder() {}

    // The class of the backing layer; subclasses return a CAShapeLayer, CAGradientLayer, ...
    virtual std::shared_ptr<CALayer> makeLayer() const { return CALayer::make(); }
    const std::shared_ptr<CALayer>& layer() const { return layer_; }

    // ---- geometry (frame in the superview's bounds space; the transform acts about the centre) ----
    CGRect frame() const { return layer_->frame(); }
    // Virtual so that a subclass can follow its new frame (after calling this one).
    virtual void setFrame(CGRect frame);
    CGRect bounds() const { return layer_->bounds(); }
    void setBounds(CGRect bounds);
    CGPoint center() const { return layer_->position(); }
    void setCenter(CGPoint center);
    CGAffineTransform transform() const { return layer_->affineTransform(); }
    void setTransform(const CGAffineTransform& t);

    // ---- appearance ----
    CGFloat alpha() const { return layer_->opacity(); }
    void setAlpha(CGFloat a) { layer_->setOpacity(static_cast<float>(a)); }
    bool isHidden() const { return layer_->isHidden(); }
    virtual void setHidden(bool h) { layer_->setHidden(h); }
    std::shared_ptr<UIColor> backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(std::shared_ptr<UIColor> color);
    bool clipsToBounds() const { return layer_->masksToBounds(); }
    void setClipsToBounds(bool c) { layer_->setMasksToBounds(c); }
    bool isOpaque() const { return layer_->isOpaque(); }
    void setOpaque(bool o) { layer_->setOpaque(o); }
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool e) { userInteractionEnabled_ = e; }
    // While a touch is down in an exclusive view no other view of its window gets one, and it gets
    // none while other views are being touched.
    bool isExclusiveTouch() const { return exclusiveTouch_; }
    void setExclusiveTouch(bool e) { exclusiveTouch_ = e; }
    // A view without multiple touch receives only the first of several touches at once (touches
    // on its subviews count as its own); later ones are dropped until it is free again. On by
    // default here, so that views with pinch recognisers need no opt-in.
    bool isMultipleTouchEnabled() const { return multipleTouch_; }
    void setMultipleTouchEnabled(bool e) { multipleTouch_ = e; }
    long tag() const { return tag_; }
    void setTag(long t) { tag_ = t; }
    UIViewContentMode contentMode() const { return contentMode_; }
    void setContentMode(UIViewContentMode mode);
    std::shared_ptr<UIColor> tintColor() const;
    void setTintColor(std::shared_ptr<UIColor> color);
    // Resolves dynamic colours again after a change of light/dark appearance, through the subtree.
    virtual void traitCollectionDidChange();
    // The screen's traits, with the appearance of the nearest enclosing controller that overrides
    // it. Dynamic colours of this view resolve, and its drawing runs, under these traits.
    UITraitCollection traitCollection() const;
    // Automatic takes the superview's mode (Normal at the root). Changing the tint colour or the
    // mode calls tintColorDidChange on this view and every view inside it.
    UIViewTintAdjustmentMode tintAdjustmentMode() const;
    void setTintAdjustmentMode(UIViewTintAdjustmentMode mode);
    virtual void tintColorDidChange() {}

    // ---- accessibility ----
    // Whether the view is an element itself; a view that is not may be a container of elements.
    // A kind of view has its own answer until one is set.
    virtual bool isAccessibilityElement() const { return accessibility_.element.value_or(false); }
    void setIsAccessibilityElement(bool element) { accessibility_.element = element; }
    const std::optional<bool>& accessibilityElementSetting() const { return accessibility_.element; }
    virtual std::optional<std::string> accessibilityLabel() const { return accessibility_.label; }
    void setAccessibilityLabel(std::optional<std::string> label) { accessibility_.label = std::move(label); }
    virtual std::optional<std::string> accessibilityHint() const { return accessibility_.hint; }
    void setAccessibilityHint(std::optional<std::string> hint) { accessibility_.hint = std::move(hint); }
    virtual std::optional<std::string> accessibilityValue() const { return accessibility_.value; }
    void setAccessibilityValue(std::optional<std::string> value) { accessibility_.value = std::move(value); }
    virtual UIAccessibilityTraits accessibilityTraits() const { return accessibility_.traits; }
    void setAccessibilityTraits(UIAccessibilityTraits traits) { accessibility_.traits = traits; }
    // A name for tests and tools to find the view by; never spoken.
    const std::optional<std::string>& accessibilityIdentifier() const { return accessibility_.identifier; }
    void setAccessibilityIdentifier(std::optional<std::string> identifier) {
        accessibility_.identifier = std::move(identifier);
    }
    // A container's elements; a plain view has none (NSNotFound for any index asked of it).
    virtual std::size_t accessibilityElementCount() const { return 0; }
    virtual std::shared_ptr<NSObject> accessibilityElementAtIndex(std::size_t /*index*/) const { return nullptr; }
    virtual std::size_t indexOfAccessibilityElement(const NSObject& /*element*/) const { return NSNotFound; }

    // ---- hierarchy ----
    std::shared_ptr<UIView> superview() const { return superview_.lock(); }
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
    std::shared_ptr<UIWindow> window() const;
    // Adds on top; re-adding a subview moves it to the top. Adding an ancestor or itself is ignored.
    void addSubview(const std::shared_ptr<UIView>& view);
    void insertSubviewAtIndex(const std::shared_ptr<UIView>& view, std::size_t index);
    void insertSubviewBelow(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& sibling);
    void insertSubviewAbove(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& sibling);
    void bringSubviewToFront(const std::shared_ptr<UIView>& view);
    void sendSubviewToBack(const std::shared_ptr<UIView>& view);
    void exchangeSubviewAtIndex(std::size_t index1, std::size_t index2);
    // Also drops every constraint that mentions this view or a view inside it.
    void removeFromSuperview();
    bool isDescendantOfView(const UIView* view) const;
    std::shared_ptr<UIView> viewWithTag(long tag);

    // Hooks around hierarchy changes.
    virtual void willMoveToSuperview(const std::shared_ptr<UIView>& newSuperview);
    virtual void didMoveToSuperview();
    virtual void willMoveToWindow(const std::shared_ptr<UIWindow>& newWindow);
    virtual void didMoveToWindow();
    virtual void didAddSubview(const std::shared_ptr<UIView>& subview);
    virtual void willRemoveSubview(const std::shared_ptr<UIView>& subview);

    // ---- coordinates (a null view means the window, or the root of the tree outside a window) ----
    CGPoint convertPointToView(CGPoint p, const std::shared_ptr<UIView>& view) const;
    CGPoint convertPointFromView(CGPoint p, const std::shared_ptr<UIView>& view) const;
    CGRect convertRectToView(CGRect r, const std::shared_ptr<UIView>& view) const;
    CGRect convertRectFromView(CGRect r, const std::shared_ptr<UIView>& view) const;

    // ---- hit testing (points in this view's bounds space) ----
    // Skips hidden, non-interactive and nearly transparent (alpha <= 0.01) views and points outside.
    virtual std::shared_ptr<UIView> hitTest(CGPoint point);
    virtual bool pointInside(CGPoint point) const;

    // ---- responder chain ----
    std::shared_ptr<UIResponder> nextResponder() const override;
    // The controller whose root view this is (set by the controller), or null.
    std::shared_ptr<UIResponder> owningController() const { return owningController_.lock(); }
    void setOwningController(const std::shared_ptr<UIResponder>& controller) { owningController_ = controller; }

    // ---- layout ----
    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Solves pending constraints and lays this view's subtree out now.
    void layoutIfNeeded();
    // The base applies the frames the constraints give the subviews; overrides call it first.
    virtual void layoutSubviews();
    virtual CGSize sizeThatFits(CGSize /*size*/) const { return bounds().size; }
    void sizeToFit();

    // ---- constraints ----
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints() const { return constraints_; }
    // Installs on this view (which must be a common ancestor of the items, or the item itself).
    void addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);
    void addConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    void removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);
    void removeConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    // A hook some views override; the base does nothing.
    virtual void updateConstraints() {}
    void setNeedsUpdateConstraints() { setNeedsLayout(); }
    void updateConstraintsIfNeeded() {}

    bool translatesAutoresizingMaskIntoConstraints() const { return translatesAutoresizingMask_; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool t);
    UIViewAutoresizing autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(UIViewAutoresizing m) { autoresizingMask_ = m; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool a) { autoresizesSubviews_ = a; }

    // The natural size of the content; UIViewNoIntrinsicMetric in a component means none.
    virtual CGSize intrinsicContentSize() const { return {UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric}; }
    void invalidateIntrinsicContentSize();
    UILayoutPriority contentHuggingPriorityForAxis(UILayoutConstraintAxis axis) const;
    void setContentHuggingPriority(UILayoutPriority p, UILayoutConstraintAxis axis);
    UILayoutPriority contentCompressionResistancePriorityForAxis(UILayoutConstraintAxis axis) const;
    void setContentCompressionResistancePriority(UILayoutPriority p, UILayoutConstraintAxis axis);

    // Safe area: the part of the bounds not covered by the screen's notch, bars and home indicator.
    UIEdgeInsets safeAreaInsets() const;
    const std::shared_ptr<UILayoutGuide>& safeAreaLayoutGuide();
    virtual void safeAreaInsetsDidChange() {}
    // The view whose text baselines stand for this view's when aligning by baseline: itself,
    // unless the view draws its text in a subview.
    virtual std::shared_ptr<UIView> viewForFirstBaselineLayout();
    virtual std::shared_ptr<UIView> viewForLastBaselineLayout() { return viewForFirstBaselineLayout(); }
    // Layout margins: the room the view keeps around its content. Seen from outside they include
    // the safe area unless the view is told not to; the view hears of each change of that sum.
    UIEdgeInsets layoutMargins() const;
    void setLayoutMargins(UIEdgeInsets margins);
    bool insetsLayoutMarginsFromSafeArea() const { return insetsMarginsFromSafeArea_; }
    void setInsetsLayoutMarginsFromSafeArea(bool insets);
    virtual void layoutMarginsDidChange() {}
    const std::vector<std::shared_ptr<UILayoutGuide>>& layoutGuides() const { return layoutGuides_; }
    void addLayoutGuide(const std::shared_ptr<UILayoutGuide>& guide);
    void removeLayoutGuide(const std::shared_ptr<UILayoutGuide>& guide);

    // ---- drawing ----
    void setNeedsDisplay();
    void setNeedsDisplayInRect(CGRect r);
    // Draws the view's content into the current graphics context, in bounds coordinates. The base
    // draws nothing (and the view then keeps no bitmap).
    virtual void drawRect(CGRect rect);

    // CALayerDelegate.
    bool drawLayerInContext(CALayer& layer, CGContext& context) override;
    void layoutSublayersOfLayer(CALayer& layer) override;

    // A text dump of the subtree (class, frame, flags), one view a line, for tests and debugging.
    std::string recursiveDescription() const;
    std::string description() const override;
    std::string className() const override { return "UIView"; }

protected:
    explicit UIView(CGRect frame = CGRectZero);
    void decodeViewProperties(const NSCoder& coder);
    // Marks the tree's layout engine for a new solve and the tree for layout; `structural` is false
    // when only a constant changed.
    void constraintsChanged(bool structural = true);

private:
    void applySolvedSubviewFrames();
    friend class LayoutEngine;
    friend class NSLayoutConstraint;

    void insertSubviewInternal(const std::shared_ptr<UIView>& view, std::size_t index);
    void placeLayerAtIndex(const std::shared_ptr<UIView>& view, std::size_t index);
    void detachFromSuperview(bool dropConstraints);
    void dropConstraintsMentioningSubtree();
    void notifyWindowChange(const std::shared_ptr<UIWindow>& oldWindow, const std::shared_ptr<UIWindow>& newWindow,
                            bool before);
    friend class UIWindow;
    // The safe area may have moved: tells the view, then its margins when their sum changed.
    void safeAreaMayHaveChanged();
    void checkLayoutMargins();
    void resizeSubviewsWithOldSize(CGSize oldSize);
    void layoutSubtree();
    void applySolvedFrame(const CGRect& untransformedFrame);
    void geometryChanged();
    std::shared_ptr<UIView> rootView();
    LayoutEngine& layoutEngine();
    void appendDescription(std::string& out, int depth) const;
    // The appearance registry's values, taken once when the view first joins a window; values the
    // view already has of its own are kept (ui_view_appearance.cpp).
    void applyAppearance();

    CGRect initialFrame_;
    std::shared_ptr<CALayer> layer_;
    std::weak_ptr<UIView> superview_;
    std::vector<std::shared_ptr<UIView>> subviews_;
    std::weak_ptr<UIResponder> owningController_;
    std::shared_ptr<UIColor> backgroundColor_;
    std::shared_ptr<UIColor> tintColor_;
    UIViewTintAdjustmentMode tintAdjustment_ = UIViewTintAdjustmentMode::Automatic;
    struct AccessibilityFacts {
        std::optional<std::string> label, hint, value, identifier;
        UIAccessibilityTraits traits = UIAccessibilityTraitNone;
        std::optional<bool> element;
    } accessibility_;
    bool userInteractionEnabled_ = true;
    bool exclusiveTouch_ = false;
    bool multipleTouch_ = true;
    long tag_ = 0;
    UIViewContentMode contentMode_ = UIViewContentMode::ScaleToFill;
    bool needsLayout_ = true;
    bool translatesAutoresizingMask_ = true;
    UIViewAutoresizing autoresizingMask_ = UIViewAutoresizingNone;
    bool autoresizesSubviews_ = true;
    std::vector<std::shared_ptr<NSLayoutConstraint>> constraints_;
    std::vector<std::shared_ptr<UILayoutGuide>> layoutGuides_;
    std::shared_ptr<UILayoutGuide> safeAreaGuide_;
    UILayoutPriority hugging_[2] = {UILayoutPriorityDefaultLow, UILayoutPriorityDefaultLow};
    UILayoutPriority compression_[2] = {UILayoutPriorityDefaultHigh, UILayoutPriorityDefaultHigh};
    std::shared_ptr<LayoutEngine> engine_;
    bool drawRectOverridden_ = true;
    bool appearanceApplied_ = false;
    UIEdgeInsets margins_{8, 8, 8, 8};
    UIEdgeInsets reportedMargins_{8, 8, 8, 8};
    bool insetsMarginsFromSafeArea_ = true;
};

// Constructs a T and runs its coder initialiser instead of init(), then wakes it.
template <class T>
std::shared_ptr<T> makeWithCoder(const NSCoder& coder) {
    struct Enabler : T {
        Enabler() : T() {}
    };
    std::shared_ptr<T> object = std::make_shared<Enabler>();
    object->initWithCoder(coder);
    object->awakeFromNib();
    return object;
}
