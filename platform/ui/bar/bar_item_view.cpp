// Bar item views: size, drawing and taps.
#include "platform/ui/bar/bar_item_view.h"

#include <algorithm>

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/view/ui_appearance.h"

namespace {
constexpr UIControlState kStateDisabled = 2;

UIControlState itemState(const UIBarButtonItem& item) {
    return item.isEnabled() ? 0 : kStateDisabled;
}

// The image's shape filled with the colour (its alpha kept), at the image's size and scale.
std::shared_ptr<UIImage> templateImage(const UIImage& image, const std::shared_ptr<UIColor>& color) {
    CGSize size = image.size();
    UIGraphicsBeginImageContextWithOptions(size, false, image.scale());
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) {
        UIGraphicsEndImageContext();
        return nullptr;
    }
    image.drawInRect(CGRect{{0, 0}, size});
    context->setBlendMode(CGBlendMode::SourceIn);
    context->setFillColorWithColor(color->cgColor());
    context->fillRect(CGRect{{0, 0}, size});
    auto tinted = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return tinted;
}

// The font the item's attributes give for its state, else the bar's own.
std::shared_ptr<UIFont> itemFont(const UIBarButtonItem& item) {
    auto attributes = item.titleTextAttributesForState(itemState(item));
    if (auto font = attributes.get(NSFontAttributeName).objectAs<UIFont>()) return font;
    return item.style() == UIBarButtonItemStyle::Done ? UIFont::boldSystemFontOfSize(17) : UIFont::systemFontOfSize(17);
}
}  // namespace

void BarItemView::init() {
    UIView::init();
    if (!back_) item_->setView(self<UIView>());
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    if (auto custom = item_->customView()) {
        addSubview(custom);
        custom->setFrame(CGRect{{0, 0}, custom->frame().size});
    }
}

CGFloat BarItemView::preferredWidth() const {
    if (item_->width() > 0) return item_->width();
    if (item_->isSpace()) return 0;
    if (auto custom = item_->customView()) return custom->frame().size.width;
    if (auto image = item_->image()) return std::max<CGFloat>(image->size().width + 16, 32);
    std::string text = (back_ ? "\u2039 " : "") + item_->displayTitle();
    return std::ceil(labelSize(text, itemFont(*item_)).width) + 16;
}

bool BarItemView::tap() {
    if (item_->performAction()) return true;
    if (fallback_ && item_->isEnabled()) {
        auto f = fallback_;
        f();
        return true;
    }
    return false;
}

std::shared_ptr<UIColor> BarItemView::effectiveTint() const {
    if (!item_->isEnabled()) return UIColor::systemGrayColor();
    auto attributes = item_->titleTextAttributesForState(itemState(*item_));
    if (auto c = attributes.get(NSForegroundColorAttributeName).objectAs<UIColor>()) return c;
    if (auto t = item_->tintColor()) return t;
    // The appearance registry, with the containers the item's view sits in.
    if (auto t = UIAppearance::valuesFor(*item_, *this).get(UIAppearanceProperty::tintColor).objectAs<UIColor>())
        return t;
    return tintColor();
}

void BarItemView::drawRect(CGRect) {
    if (item_->customView() || item_->isSpace()) return;
    CGRect b = bounds();
    if (auto image = item_->image()) {
        CGSize s = image->size();
        if (image->renderingMode() != UIImageRenderingMode::AlwaysOriginal) {
            if (auto tinted = templateImage(*image, effectiveTint())) image = tinted;
        }
        image->drawInRect(CGRectMake((b.size.width - s.width) / 2, (b.size.height - s.height) / 2, s.width, s.height));
        return;
    }
    std::string text = (back_ ? "\u2039 " : "") + item_->displayTitle();
    drawLabel(text, b, itemFont(*item_), effectiveTint(), LabelAlignment::Center);
}

void BarItemView::touchesEnded(const UITouchSet& touches, const UIEvent&) {
    if (!touches.empty() && CGRectContainsPoint(bounds(), touches.front()->locationInView(self<UIView>()))) tap();
}
