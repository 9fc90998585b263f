// Icon-font bar items, item fonts, and the image view as a drawable surface.
#include "ui/layout/bar_button_item_custom.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_image_view.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {
constexpr CGSize kGlyphSize{25, 25};
constexpr CGSize kLogoSize{160, 40};
constexpr UIControlState kItemStates[] = {0, 2, 4, 1};  // normal, disabled, selected, highlighted
}  // namespace

void setFont(UIBarButtonItem& item, const std::shared_ptr<UIFont>& font) {
    for (UIControlState state : kItemStates) {
        NSAttributes attributes;
        attributes.set(NSFontAttributeName, Value(font));
        item.setTitleTextAttributes(attributes, state);
    }
}

std::optional<std::uint16_t> barButtonGlyph(UIBarButtonSystemItem item) {
    switch (item) {
        case UIBarButtonSystemItem::Add: return 0xF067;
        case UIBarButtonSystemItem::Action: return 0xF045;
        case UIBarButtonSystemItem::Search: return 0xF002;
        case UIBarButtonSystemItem::Refresh: return 0xF0E2;
        default: return std::nullopt;
    }
}

std::shared_ptr<UIBarButtonItem> initWithBarButtonSystemItem1(UIBarButtonSystemItem item,
                                                              UIBarButtonItem::Action action) {
    auto glyph = barButtonGlyph(item);
    if (!glyph) return UIBarButtonItem::withSystemItem(item, std::move(action));
    auto global = Global::shared();
    auto image = imageIcon(*glyph, kGlyphSize, global->font()->iconBarButton(), global->color()->btnNormalFG(),
                           UIColor::clearColor());
    return UIBarButtonItem::withImage(image, UIBarButtonItemStyle::Plain, std::move(action));
}

long drawableWidth(const UIImageView& view) {
    return static_cast<long>(view.frame().size.width);
}
long drawableHeight(const UIImageView& view) {
    return static_cast<long>(view.frame().size.height);
}

std::shared_ptr<UIImageView> logoNav() {
    auto view = UIImageView::make();
    view->setImage(resizedImage(UIImage::imageNamed("AppIcon"), kLogoSize));
    return view;
}
