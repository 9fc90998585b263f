// The application's font catalogue.
#include "ui/theme/font.h"

#include "foundation/device.h"
#include "foundation/global.h"

namespace {
constexpr double kFilterMenuSize = 15;
constexpr double kDetailFactor = 0.8;
}  // namespace

void Font::init() {
    FontBase::init();
    sizeTable1_ = styleFontSize(UIFontTextStyleBody);
    sizeTable2_ = kDetailFactor * styleFontSize(UIFontTextStyleBody);
}

std::shared_ptr<UIFont> Font::filterMenuNormal() {
    if (!filterMenuNormal_) filterMenuNormal_ = fontWithSize(kFilterMenuSize);
    return filterMenuNormal_;
}

std::shared_ptr<UIFont> Font::filterItemNormal() {
    if (!filterItemNormal_) {
        auto global = Global::shared();
        auto catalogue = global->font();
        FontBase& source = catalogue ? static_cast<FontBase&>(*catalogue) : *this;
        filterItemNormal_ = global->device()->IsIPad() ? source.iconFixedSmall1() : source.iconFixedSmall2();
    }
    return filterItemNormal_;
}
