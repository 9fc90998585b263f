// Layout: the needs-layout flags, the top-down pass, constraints held by views, autoresizing,
// intrinsic sizes and the safe area.
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/runtime/log.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/layout/layout_engine.h"
#include "platform/ui/view/ui_view.h"

namespace {

// One axis of autoresizing: the fixed parts keep their lengths, the flexible ones share the change
// in proportion to their lengths (an axis with nothing flexible keeps its leading margin and size).
void resizeAxis(double lead, double length, double oldTotal, double newTotal, bool flexLead, bool flexSize,
                bool flexTrail, double& outLead, double& outLength) {
    outLead = lead;
    outLength = length;
    if (!flexLead && !flexSize) return;
    double trail = oldTotal - lead - length;
    double flexSum = (flexLead ? lead : 0) + (flexSize ? length : 0) + (flexTrail ? trail : 0);
    int flexCount = int(flexLead) + int(flexSize) + int(flexTrail);
    double delta = newTotal - oldTotal;
    auto share = [&](double part) { return flexSum != 0 ? part / flexSum : 1.0 / flexCount; };
    if (flexLead) outLead = lead + delta * share(lead);
    if (flexSize) outLength = length + delta * share(length);
}

}  // namespace

namespace {
// The root of the tree layoutIfNeeded is walking (main thread only), for the views it passes.
UIView* walkRoot = nullptr;
}  // namespace

std::shared_ptr<UIView> UIView::rootView() {
    auto v = self<UIView>();
    while (auto p = v->superview()) v = p;
    return v;
}

LayoutEngine& UIView::layoutEngine() {
    if (!engine_) engine_ = std::make_shared<LayoutEngine>(*this);
    return *engine_;
}

void UIView::constraintsChanged(bool structural) {
    auto root = rootView();
    root->layoutEngine().setNeedsSolve(structural);
    root->setNeedsLayout();
}

void UIView::geometryChanged() {
    if (LayoutEngine::isApplying()) return;
    auto root = rootView();
    if (root->engine_ && root->engine_->involves(this)) root->engine_->setNeedsSolve(false);
}

void UIView::setNeedsLayout() {
    needsLayout_ = true;
    layer_->setNeedsLayout();
    CALayer::markRenderChanged();
}

void UIView::layoutIfNeeded() {
    // Start from the highest ancestor that needs layout, as its pass may move this view.
    std::shared_ptr<UIView> start = self<UIView>();
    for (auto p = superview(); p; p = p->superview())
        if (p->needsLayout_) start = p;
    auto root = rootView();
    if (start == root && !root->translatesAutoresizingMaskIntoConstraints()) {
        auto& engine = root->layoutEngine();
        engine.solveIfNeeded();
        CGRect f;
        if (engine.solvedFrame(*root, f)) root->applySolvedFrame(f);
    }
    // The root is found once for the walk: found again from every view, it cost more than the walk.
    UIView* outer = std::exchange(walkRoot, root.get());
    start->layoutSubtree();
    walkRoot = outer;
}

void UIView::layoutSubtree() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    } else if (UIView& root = walkRoot ? *walkRoot : *rootView(); root.engine_) {
        // A solve started elsewhere in the tree (a constant changed) may have moved these.
        auto& engine = root.layoutEngine();
        engine.solveIfNeeded();
        for (const auto& s : subviews_) {
            if (s->translatesAutoresizingMask_) continue;
            CGRect f;
            if (engine.solvedFrame(*s, f)) s->applySolvedFrame(f);
        }
    }
    auto subs = subviews_;
    for (auto& s : subs) s->layoutSubtree();
}

void UIView::layoutSubviews() {
    applySolvedSubviewFrames();
}

void UIView::applySolvedSubviewFrames() {
    auto root = rootView();
    auto& engine = root->layoutEngine();
    engine.solveIfNeeded();
    for (const auto& s : subviews_) {
        if (s->translatesAutoresizingMask_) continue;
        CGRect f;
        if (engine.solvedFrame(*s, f)) s->applySolvedFrame(f);
    }
}

void UIView::applySolvedFrame(const CGRect& f) {
    LayoutEngine::ApplyingScope scope;
    CGPoint a = layer_->anchorPoint();
    CGRect b = bounds();
    if (b.size != f.size) setBounds({b.origin, f.size});
    CGPoint c{f.origin.x + a.x * f.size.width, f.origin.y + a.y * f.size.height};
    if (std::abs(c.x - center().x) > 1e-9 || std::abs(c.y - center().y) > 1e-9) setCenter(c);
}

void UIView::layoutSublayersOfLayer(CALayer&) {}

void UIView::sizeToFit() {
    CGSize s = sizeThatFits(bounds().size);
    CGRect f = frame();
    setFrame({f.origin, s});
}

void UIView::resizeSubviewsWithOldSize(CGSize oldSize) {
    geometryChanged();
    if (!autoresizesSubviews_) return;
    CGSize size = bounds().size;
    for (const auto& s : subviews_) {
        UIViewAutoresizing m = s->autoresizingMask_;
        if (!s->translatesAutoresizingMask_ || m == UIViewAutoresizingNone) continue;
        CGRect b = s->bounds();
        CGPoint a = s->layer_->anchorPoint(), c = s->center();
        double x = c.x - a.x * b.size.width, y = c.y - a.y * b.size.height;
        double nx, nw, ny, nh;
        resizeAxis(x - bounds().origin.x, b.size.width, oldSize.width, size.width,
                   m & UIViewAutoresizingFlexibleLeftMargin, m & UIViewAutoresizingFlexibleWidth,
                   m & UIViewAutoresizingFlexibleRightMargin, nx, nw);
        resizeAxis(y - bounds().origin.y, b.size.height, oldSize.height, size.height,
                   m & UIViewAutoresizingFlexibleTopMargin, m & UIViewAutoresizingFlexibleHeight,
                   m & UIViewAutoresizingFlexibleBottomMargin, ny, nh);
        nw = std::max(0.0, nw);
        nh = std::max(0.0, nh);
        s->setBounds({b.origin, {nw, nh}});
        s->setCenter({bounds().origin.x + nx + a.x * nw, bounds().origin.y + ny + a.y * nh});
    }
}

// ---- constraints ----

void UIView::addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    if (!constraint) return;
    // A multiplier or constant that is not finite would give the solver nothing but NaN frames.
    if (!std::isfinite(constraint->multiplier()) || !std::isfinite(constraint->constant())) {
        Log::error("layout", "A constraint with a multiplier or constant that is not finite is not installed: " +
                                 constraint->description());
        return;
    }
    auto me = self<UIView>();
    if (auto old = constraint->holder()) {
        if (old == me) return;
        old->removeConstraint(constraint);
    }
    for (const auto& v : constraint->views())
        if (!v->isDescendantOfView(this))
            Log::warning("layout", "Constraint installed on a view that does not contain its items: " +
                                       constraint->description() + " on " + description());
    constraints_.push_back(constraint);
    constraint->setHolder(me);
    constraintsChanged();
}

void UIView::addConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) addConstraint(c);
}

void UIView::removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    auto it = std::find(constraints_.begin(), constraints_.end(), constraint);
    if (it == constraints_.end()) return;
    constraints_.erase(it);
    constraint->setHolder(nullptr);
    constraintsChanged();
}

void UIView::removeConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) removeConstraint(c);
}

void UIView::setTranslatesAutoresizingMaskIntoConstraints(bool t) {
    if (t == translatesAutoresizingMask_) return;
    translatesAutoresizingMask_ = t;
    constraintsChanged();
}

void UIView::invalidateIntrinsicContentSize() {
    constraintsChanged(false);
}

UILayoutPriority UIView::contentHuggingPriorityForAxis(UILayoutConstraintAxis axis) const {
    return hugging_[static_cast<int>(axis)];
}

void UIView::setContentHuggingPriority(UILayoutPriority p, UILayoutConstraintAxis axis) {
    hugging_[static_cast<int>(axis)] = std::clamp<UILayoutPriority>(p, 1, UILayoutPriorityRequired);
    constraintsChanged();
}

UILayoutPriority UIView::contentCompressionResistancePriorityForAxis(UILayoutConstraintAxis axis) const {
    return compression_[static_cast<int>(axis)];
}

void UIView::setContentCompressionResistancePriority(UILayoutPriority p, UILayoutConstraintAxis axis) {
    compression_[static_cast<int>(axis)] = std::clamp<UILayoutPriority>(p, 1, UILayoutPriorityRequired);
    constraintsChanged();
}

// ---- safe area and guides ----

UIEdgeInsets UIView::safeAreaInsets() const {
    auto w = window();
    if (!w) return UIEdgeInsetsZero;
    UIEdgeInsets wi = w->screenSafeAreaInsets();
    if (w.get() == this) return wi;
    CGRect f = convertRectToView(bounds(), w);
    CGRect wb = w->bounds();
    UIEdgeInsets r;
    r.top = std::max(0.0, wi.top - (CGRectGetMinY(f) - CGRectGetMinY(wb)));
    r.left = std::max(0.0, wi.left - (CGRectGetMinX(f) - CGRectGetMinX(wb)));
    r.bottom = std::max(0.0, wi.bottom - (CGRectGetMaxY(wb) - CGRectGetMaxY(f)));
    r.right = std::max(0.0, wi.right - (CGRectGetMaxX(wb) - CGRectGetMaxX(f)));
    return r;
}

const std::shared_ptr<UILayoutGuide>& UIView::safeAreaLayoutGuide() {
    if (!safeAreaGuide_) {
        safeAreaGuide_ = UILayoutGuide::make();
        safeAreaGuide_->owningView_ = self<UIView>();
        safeAreaGuide_->safeArea_ = true;
        safeAreaGuide_->identifier_ = "UIViewSafeAreaLayoutGuide";
    }
    return safeAreaGuide_;
}

void UIView::addLayoutGuide(const std::shared_ptr<UILayoutGuide>& guide) {
    if (!guide || guide->safeArea_) return;
    if (auto old = guide->owningView()) old->removeLayoutGuide(guide);
    guide->owningView_ = self<UIView>();
    layoutGuides_.push_back(guide);
}

void UIView::removeLayoutGuide(const std::shared_ptr<UILayoutGuide>& guide) {
    auto it = std::find(layoutGuides_.begin(), layoutGuides_.end(), guide);
    if (it == layoutGuides_.end()) return;
    layoutGuides_.erase(it);
    // Constraints that use the guide go with it.
    for (auto a = self<UIView>(); a; a = a->superview()) {
        std::vector<std::shared_ptr<NSLayoutConstraint>> doomed;
        for (const auto& c : a->constraints_)
            if (c->firstItem() == guide || c->secondItem() == guide) doomed.push_back(c);
        a->removeConstraints(doomed);
    }
    guide->owningView_.reset();
}

UIEdgeInsets UIView::layoutMargins() const {
    if (!insetsMarginsFromSafeArea_) return margins_;
    UIEdgeInsets safe = safeAreaInsets();
    return {margins_.top + safe.top, margins_.left + safe.left, margins_.bottom + safe.bottom,
            margins_.right + safe.right};
}

void UIView::setLayoutMargins(UIEdgeInsets margins) {
    margins_ = margins;
    checkLayoutMargins();
}

void UIView::setInsetsLayoutMarginsFromSafeArea(bool insets) {
    insetsMarginsFromSafeArea_ = insets;
    checkLayoutMargins();
}

void UIView::safeAreaMayHaveChanged() {
    safeAreaInsetsDidChange();
    checkLayoutMargins();
}

void UIView::checkLayoutMargins() {
    UIEdgeInsets now = layoutMargins();
    if (now == reportedMargins_) return;
    reportedMargins_ = now;
    layoutMarginsDidChange();
}

std::shared_ptr<UIView> UIView::viewForFirstBaselineLayout() {
    return self<UIView>();
}
