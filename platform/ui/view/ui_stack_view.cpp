// The stack view's arrangement.
#include "platform/ui/view/ui_stack_view.h"

#include <algorithm>
#include <cmath>

void UIStackView::setAxis(UILayoutConstraintAxis axis) {
    axis_ = axis;
    setNeedsLayout();
}

void UIStackView::setDistribution(UIStackViewDistribution distribution) {
    distribution_ = distribution;
    setNeedsLayout();
}

void UIStackView::setAlignment(UIStackViewAlignment alignment) {
    alignment_ = alignment;
    setNeedsLayout();
}

void UIStackView::setSpacing(CGFloat spacing) {
    spacing_ = std::isfinite(spacing) ? std::max<CGFloat>(spacing, 0) : 0;
    setNeedsLayout();
}

void UIStackView::addArrangedSubview(const std::shared_ptr<UIView>& view) {
    if (!view || view.get() == this) return;
    std::erase(arranged_, view);
    arranged_.push_back(view);
    addSubview(view);
    setNeedsLayout();
}

void UIStackView::willRemoveSubview(const std::shared_ptr<UIView>& subview) {
    UIView::willRemoveSubview(subview);
    // A view that leaves the stack is no longer arranged.
    if (std::erase(arranged_, subview) > 0) setNeedsLayout();
}

void UIStackView::layoutSubviews() {
    UIView::layoutSubviews();
    std::vector<std::shared_ptr<UIView>> shown;
    std::copy_if(arranged_.begin(), arranged_.end(), std::back_inserter(shown),
                 [](const auto& v) { return !v->isHidden(); });
    if (shown.empty()) return;
    const CGSize size = bounds().size;
    const bool horizontal = axis_ == UILayoutConstraintAxis::Horizontal;
    const CGFloat length = horizontal ? size.width : size.height;
    const CGFloat breadth = horizontal ? size.height : size.width;
    const CGFloat count = static_cast<CGFloat>(shown.size());
    const CGFloat share = std::max<CGFloat>((length - spacing_ * (count - 1)) / count, 0);
    CGFloat position = 0;
    for (const auto& view : shown) {
        view->setFrame(horizontal ? CGRectMake(position, 0, share, breadth) : CGRectMake(0, position, breadth, share));
        position += share + spacing_;
    }
}
