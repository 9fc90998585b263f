// Drawing: the view is its layer's delegate and draws through drawRect in the current context.
#include "platform/ui/view/ui_view.h"

void UIView::setNeedsDisplay() {
    if (drawRectOverridden_) layer_->setNeedsDisplay();
}

void UIView::setNeedsDisplayInRect(CGRect r) {
    if (drawRectOverridden_) layer_->setNeedsDisplayInRect(r);
}

void UIView::drawRect(CGRect) {
    // Reached only when a subclass does not draw: remember it, so that no bitmap is kept or redrawn.
    drawRectOverridden_ = false;
}

bool UIView::drawLayerInContext(CALayer&, CGContext&) {
    if (!drawRectOverridden_) return false;
    // Dynamic colours used while drawing resolve under this view's traits.
    const UITraitCollection screen = UITraitCollection::currentTraitCollection();
    const UITraitCollection own = traitCollection();
    if (own != screen) UITraitCollection::setCurrentTraitCollection(own);
    drawRect(bounds());
    if (own != screen) UITraitCollection::setCurrentTraitCollection(screen);
    return drawRectOverridden_;
}
