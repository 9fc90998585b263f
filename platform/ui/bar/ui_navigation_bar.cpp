// Navigation bar: item stack, item views and layout, drawing.
#include "platform/ui/bar/ui_navigation_bar.h"

#include <algorithm>

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/view/ui_appearance.h"

namespace {
constexpr CGFloat kHairlineHeight = 0.5;
constexpr CGFloat kHairlineAlpha = 0.3;

constexpr const char* kStandardBackgroundKey = "standardAppearance.backgroundColor";
constexpr const char* kStandardOpaqueKey = "standardAppearance.opaque";

UIAppearance barAppearance() {
    return UIAppearance::appearance(UIAppearanceClass::of<UINavigationBar>("UINavigationBar"));
}
}  // namespace

void UINavigationBarAppearance::configureWithOpaqueBackground() {
    *this = {};
    backgroundColor = UIColor::systemBackgroundColor();
    opaque = true;
}

// The default look is kept in the bar class's appearance proxy, beside the theme's values.
UINavigationBarAppearance UINavigationBar::defaultAppearance() {
    UIAppearance proxy = barAppearance();
    UINavigationBarAppearance a;
    a.backgroundColor = proxy.value(kStandardBackgroundKey).objectAs<UIColor>();
    a.opaque = proxy.value(kStandardOpaqueKey).boolValue();
    Value attributes = proxy.value(UIAppearanceProperty::titleTextAttributes);
    if (const ValueDictionary* d = attributes.dictionaryPtr()) {
        a.titleColor = d->get(NSForegroundColorAttributeName).objectAs<UIColor>();
        a.titleFont = d->get(NSFontAttributeName).objectAs<UIFont>();
    }
    return a;
}

void UINavigationBar::setDefaultAppearance(const UINavigationBarAppearance& a) {
    UIAppearance proxy = barAppearance();
    proxy.setValue(kStandardBackgroundKey, Value(a.backgroundColor));
    proxy.setValue(kStandardOpaqueKey, a.opaque ? Value(true) : Value());
    ValueDictionary attributes;
    attributes.set(NSForegroundColorAttributeName, Value(a.titleColor));
    attributes.set(NSFontAttributeName, Value(a.titleFont));
    proxy.setValue(UIAppearanceProperty::titleTextAttributes, attributes.empty() ? Value() : Value(attributes));
}

void UINavigationBar::init() {
    UIView::init();
    appearance_ = defaultAppearance();
    setOpaque(false);
    if (frame().size.height == 0) setFrame(CGRect{frame().origin, {frame().size.width, kHeight}});
    hairline_ = UIImageView::make();
    hairline_->setBackgroundColor(UIColor::colorWithWhite(0, kHairlineAlpha));
    insertSubviewAtIndex(hairline_, 0);
}

void UINavigationBar::setItems(std::vector<std::shared_ptr<UINavigationItem>> items, bool) {
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    for (auto& i : items_) i->setOnChange(nullptr);
    items_ = std::move(items);
    rebuild();
}

void UINavigationBar::pushNavigationItem(const std::shared_ptr<UINavigationItem>& item, bool) {
    if (!item || std::find(items_.begin(), items_.end(), item) != items_.end()) return;
    if (auto top = topItem()) top->setOnChange(nullptr);
    items_.push_back(item);
    rebuild();
}

std::shared_ptr<UINavigationItem> UINavigationBar::popNavigationItem(bool) {
    if (items_.size() < 2) return nullptr;
    auto top = items_.back();
    top->setOnChange(nullptr);
    items_.pop_back();
    rebuild();
    return top;
}

bool UINavigationBar::tapBack() {
    auto top = topItem();
    if (!backItem() || !top || top->hidesBackButton()) return false;
    if (auto d = delegate(); d && !d->shouldPopItem(top)) return false;
    if (onBack_) {
        auto f = onBack_;
        f();
    } else {
        popNavigationItem(true);
        if (auto d = delegate()) d->didPopItem(top);
    }
    return true;
}

void UINavigationBar::rebuild() {
    for (auto& v : itemViews_) v->removeFromSuperview();
    itemViews_.clear();
    rightViews_.clear();
    backView_.reset();
    if (titleView_) titleView_->removeFromSuperview();
    titleView_.reset();
    auto top = topItem();
    if (top) {
        std::weak_ptr<UINavigationBar> weak = self<UINavigationBar>();
        top->setOnChange([weak] {
            if (auto bar = weak.lock()) bar->rebuild();
        });
        auto below = backItem();
        if (below && !top->hidesBackButton() && top->leftBarButtonItems().empty()) {
            auto backItemModel = below->backBarButtonItem();
            if (!backItemModel)
                backItemModel = UIBarButtonItem::withTitle(below->title().empty() ? "Back" : below->title(),
                                                           UIBarButtonItemStyle::Plain, nullptr);
            backView_ = BarItemView::make(backItemModel, true);
            backView_->setFallback([weak] {
                if (auto bar = weak.lock()) bar->tapBack();
            });
            itemViews_.push_back(backView_);
        }
        for (auto& i : top->leftBarButtonItems()) itemViews_.push_back(BarItemView::make(i));
        for (auto& i : top->rightBarButtonItems()) {
            auto v = BarItemView::make(i);
            rightViews_.push_back(v);
            itemViews_.push_back(v);
        }
        for (auto& v : itemViews_) addSubview(v);
        if ((titleView_ = top->titleView())) addSubview(titleView_);
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void UINavigationBar::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect b = bounds();
    hairline_->setFrame(CGRectMake(0, b.size.height - kHairlineHeight, b.size.width, kHairlineHeight));
    CGFloat h = std::min(b.size.height, kHeight);
    CGFloat y = b.size.height - h;
    // A custom view stands centred on the bar's height.
    auto centreCustom = [h](const std::shared_ptr<BarItemView>& v) {
        auto custom = v->item()->customView();
        if (!custom) return;
        CGSize s = custom->frame().size;
        custom->setFrame(
            CGRectMake(custom->frame().origin.x, (h - std::min(s.height, h)) / 2, s.width, std::min(s.height, h)));
    };
    CGFloat left = 8;
    for (auto& v : itemViews_) {
        if (std::find(rightViews_.begin(), rightViews_.end(), v) != rightViews_.end()) continue;
        CGFloat w = v->preferredWidth();
        v->setFrame(CGRectMake(left, y, w, h));
        centreCustom(v);
        left += w;
    }
    // Right items are listed from the outside in.
    CGFloat right = b.size.width - 8;
    for (auto& v : rightViews_) {
        CGFloat w = v->preferredWidth();
        right -= w;
        v->setFrame(CGRectMake(right, y, w, h));
        centreCustom(v);
    }
    if (titleView_) {
        CGSize s = titleView_->frame().size;
        CGFloat room = std::max<CGFloat>(0, std::min(b.size.width / 2 - left, right - b.size.width / 2) * 2);
        s.width = std::min(s.width, room);
        s.height = std::min(s.height, h);
        titleView_->setFrame(CGRectMake((b.size.width - s.width) / 2, y + (h - s.height) / 2, s.width, s.height));
    }
}

void UINavigationBar::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    auto bg = barTint_ ? barTint_ : appearance_.backgroundColor;
    // The default bar follows the appearance, as its title (the label colour) does.
    CGFloat alpha = translucent_ && !appearance_.opaque ? 0.94 : 1;
    if (!bg) bg = UIColor::colorWithLight(UIColor::colorWithWhite(0.97, alpha), UIColor::colorWithWhite(0.11, alpha));
    ctx->setFillColorWithColor(bg->cgColor());
    UIRectFill(b);
    auto top = topItem();
    if (!top || titleView_ || top->title().empty()) return;
    CGFloat h = std::min(b.size.height, kHeight);
    auto font = appearance_.titleFont ? appearance_.titleFont : UIFont::boldSystemFontOfSize(17);
    auto color = appearance_.titleColor ? appearance_.titleColor : UIColor::labelColor();
    // The title is centred in the room the bar items leave on both sides.
    CGFloat left = 0, right = b.size.width;
    for (auto& v : itemViews_) {
        CGRect f = v->frame();
        if (std::find(rightViews_.begin(), rightViews_.end(), v) != rightViews_.end())
            right = std::min(right, f.origin.x);
        else
            left = std::max(left, f.origin.x + f.size.width);
    }
    constexpr CGFloat kTitleGap = 8;
    const CGFloat room =
        std::max<CGFloat>(0, 2 * (std::min(b.size.width / 2 - left, right - b.size.width / 2) - kTitleGap));
    drawLabel(top->title(), CGRectMake((b.size.width - room) / 2, b.size.height - h, room, h), font, color,
              LabelAlignment::Center);
}
