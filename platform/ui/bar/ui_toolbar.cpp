// Toolbar layout: fixed items at their widths, flexible spaces share what is left.
#include "platform/ui/bar/ui_toolbar.h"

#include <algorithm>

#include "platform/ui/draw/graphics.h"

void UIToolbar::init() {
    UIView::init();
    setOpaque(false);
    if (frame().size.height == 0) setFrame(CGRect{frame().origin, {frame().size.width, kHeight}});
}

void UIToolbar::setItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool) {
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    for (auto& v : views_) v->removeFromSuperview();
    views_.clear();
    items_ = std::move(items);
    for (auto& i : items_) {
        auto v = BarItemView::make(i);
        views_.push_back(v);
        addSubview(v);
    }
    setNeedsLayout();
}

void UIToolbar::setBarStyle(UIBarStyle style) {
    barStyle_ = style;
    // Items without a tint of their own read light on the dark bar.
    setTintColor(style == UIBarStyle::Black ? UIColor::whiteColor() : nullptr);
    setNeedsDisplay();
}

void UIToolbar::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect b = bounds();
    constexpr CGFloat margin = 8;
    CGFloat fixed = 0;
    int flexible = 0;
    for (auto& v : views_) {
        if (v->item()->systemItem() == UIBarButtonSystemItem::FlexibleSpace)
            ++flexible;
        else
            fixed += v->preferredWidth();
    }
    CGFloat share = flexible ? std::max<CGFloat>(0, (b.size.width - 2 * margin - fixed) / flexible) : 0;
    CGFloat x = margin;
    for (auto& v : views_) {
        bool flex = v->item()->systemItem() == UIBarButtonSystemItem::FlexibleSpace;
        CGFloat w = flex ? share : v->preferredWidth();
        CGFloat h = v->item()->customView() ? std::min(b.size.height, v->item()->customView()->frame().size.height)
                                            : b.size.height;
        v->setFrame(CGRectMake(x, (b.size.height - h) / 2, w, h));
        if (auto custom = v->item()->customView()) custom->setFrame(CGRectMake(0, 0, w, h));
        x += w;
    }
}

void UIToolbar::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGFloat alpha = translucent_ ? kTranslucentAlpha : 1;
    auto bg = barTint_                         ? barTint_
              : barStyle_ == UIBarStyle::Black ? UIColor::colorWithWhite(0.11, alpha)
                                               : UIColor::colorWithWhite(0.97, alpha);
    ctx->setFillColorWithColor(bg->cgColor());
    UIRectFill(bounds());
    ctx->setFillColorWithColor(UIColor::colorWithWhite(0, 0.3)->cgColor());
    UIRectFill(CGRectMake(0, 0, bounds().size.width, 0.5));
}
