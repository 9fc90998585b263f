// Tab bar selection, hit testing by tab and drawing.
#include "platform/ui/bar/ui_tab_bar.h"

#include <algorithm>

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"

void UITabBar::init() {
    UIView::init();
    setOpaque(false);
    if (frame().size.height == 0) setFrame(CGRect{frame().origin, {frame().size.width, kHeight}});
}

void UITabBar::setItems(std::vector<std::shared_ptr<UITabBarItem>> items, bool) {
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    items_ = std::move(items);
    if (std::find(items_.begin(), items_.end(), selected_) == items_.end()) selected_.reset();
    setNeedsDisplay();
}

void UITabBar::setSelectedItem(const std::shared_ptr<UITabBarItem>& item) {
    selected_ = std::find(items_.begin(), items_.end(), item) != items_.end() ? item : nullptr;
    setNeedsDisplay();
}

bool UITabBar::tapItemAtIndex(std::size_t index) {
    if (index >= items_.size() || !items_[index]->isEnabled()) return false;
    auto item = items_[index];
    setSelectedItem(item);
    if (auto d = delegate()) d->didSelectItem(*this, item);
    return true;
}

long UITabBar::indexOfItemAtPoint(CGPoint p) const {
    CGRect b = bounds();
    if (items_.empty() || !CGRectContainsPoint(b, p)) return -1;
    auto i = static_cast<long>((p.x - b.origin.x) / (b.size.width / items_.size()));
    return std::clamp<long>(i, 0, static_cast<long>(items_.size()) - 1);
}

void UITabBar::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    ctx->setFillColorWithColor((barTint_ ? barTint_ : UIColor::colorWithWhite(0.97, 1))->cgColor());
    UIRectFill(b);
    ctx->setFillColorWithColor(UIColor::colorWithWhite(0, 0.3)->cgColor());
    UIRectFill(CGRectMake(0, 0, b.size.width, 0.5));
    if (items_.empty()) return;
    CGFloat w = b.size.width / items_.size();
    CGFloat h = std::min(b.size.height, kHeight);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const auto& item = items_[i];
        bool on = item == selected_;
        auto color = !item->isEnabled() ? UIColor::systemGray2Color()
                     : on               ? tintColor()
                                        : (unselectedTint_ ? unselectedTint_ : UIColor::systemGrayColor());
        CGRect cell = CGRectMake(i * w, 0, w, h);
        if (auto image = on ? item->selectedImage() : item->image()) {
            CGSize s = image->size();
            image->drawInRect(CGRectMake(CGRectGetMidX(cell) - s.width / 2, 6, s.width, s.height));
        }
        drawLabel(item->title(), CGRectMake(cell.origin.x, h - 18, w, 14), UIFont::systemFontOfSize(10), color,
                  LabelAlignment::Center);
        if (!item->badgeValue().empty()) {
            CGRect badge =
                CGRectMake(CGRectGetMidX(cell) + 6, 2, std::max<CGFloat>(18, 8 + 7 * item->badgeValue().size()), 18);
            fillRoundedRect(badge, 9, UIColor::redColor());
            drawLabel(item->badgeValue(), badge, UIFont::systemFontOfSize(12), UIColor::whiteColor(),
                      LabelAlignment::Center);
        }
    }
}

void UITabBar::touchesEnded(const UITouchSet& touches, const UIEvent&) {
    if (touches.empty()) return;
    long i = indexOfItemAtPoint(touches.front()->locationInView(self<UIView>()));
    if (i >= 0) tapItemAtIndex(static_cast<std::size_t>(i));
}
