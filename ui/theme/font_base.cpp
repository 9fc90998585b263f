// The font catalogue's role table and the making of each role.
#include "ui/theme/font_base.h"

#include "widgets/button/ns_string_font_awesome.h"

namespace {

enum class Face { Text, System, Bold, Italic, BoldItalic, Icon, Copperplate };
// Where a role's size comes from: the body or headline size, the fixed 17 points (each times the
// factor), or the factor itself as a size in points.
enum class Base { Body, Headline, Fixed, Points };

struct RoleSpec {
    Face face;
    Base base;
    double factor;
};

using F = FontBase;
constexpr RoleSpec kRoles[] = {
    {Face::Text, Base::Headline, 2},  // title
    {Face::Text, Base::Headline, 1},  // input
    {Face::Text, Base::Body, 1},      // textNormal
    {Face::System, Base::Body, 1},    // textNormal0
    {Face::Bold, Base::Body, 1},           {Face::Italic, Base::Body, 1},
    {Face::BoldItalic, Base::Body, 1},     {Face::Text, Base::Body, F::kLarge1},
    {Face::Text, Base::Body, F::kLarge2},  {Face::Text, Base::Body, F::kLarge3},
    {Face::Text, Base::Body, F::kLarge4},  {Face::Text, Base::Body, F::kSmall1},
    {Face::Text, Base::Body, F::kSmall2},  {Face::Text, Base::Body, F::kSmall3},
    {Face::Text, Base::Body, F::kSmall4},  {Face::Text, Base::Body, F::kSmall5},
    {Face::Text, Base::Fixed, 1},          {Face::Text, Base::Fixed, F::kLarge1},
    {Face::Text, Base::Fixed, F::kLarge2}, {Face::Text, Base::Fixed, F::kLarge3},
    {Face::Text, Base::Fixed, F::kLarge4}, {Face::Text, Base::Fixed, F::kSmall1},
    {Face::Text, Base::Fixed, F::kSmall2}, {Face::Text, Base::Fixed, F::kSmall3},
    {Face::Text, Base::Fixed, F::kSmall4}, {Face::Text, Base::Fixed, F::kSmall5},
    {Face::Icon, Base::Body, 1},           {Face::Icon, Base::Body, F::kLarge1},
    {Face::Icon, Base::Body, F::kLarge2},  {Face::Icon, Base::Body, F::kLarge3},
    {Face::Icon, Base::Body, F::kLarge4},  {Face::Icon, Base::Body, F::kLarge5},
    {Face::Icon, Base::Body, F::kSmall1},  {Face::Icon, Base::Body, F::kSmall2},
    {Face::Icon, Base::Body, F::kSmall3},  {Face::Icon, Base::Body, F::kSmall4},
    {Face::Icon, Base::Body, F::kSmall5},  {Face::Icon, Base::Fixed, 1},
    {Face::Icon, Base::Fixed, F::kLarge1}, {Face::Icon, Base::Fixed, F::kLarge2},
    {Face::Icon, Base::Fixed, F::kLarge3}, {Face::Icon, Base::Fixed, F::kLarge4},
    {Face::Icon, Base::Fixed, F::kLarge5}, {Face::Icon, Base::Fixed, F::kSmall1},
    {Face::Icon, Base::Fixed, F::kSmall2}, {Face::Icon, Base::Fixed, F::kSmall3},
    {Face::Icon, Base::Fixed, F::kSmall4}, {Face::Icon, Base::Fixed, F::kSmall5},
    {Face::Icon, Base::Points, 24},        // iconTabBar
    {Face::Icon, Base::Points, 24},        // iconBarButton
    {Face::Icon, Base::Points, 34},        // iconButton
    {Face::System, Base::Points, 150},     // page
    {Face::Copperplate, Base::Points, 9},  // buttonStatus
};
static_assert(std::size(kRoles) == static_cast<std::size_t>(FontRole::count));

// A named face, or the system font at the same size when the platform has no such face.
std::shared_ptr<UIFont> named(std::string_view name, double size) {
    if (auto font = UIFont::fontWithName(name, size)) return font;
    return UIFont::systemFontOfSize(size);
}

}  // namespace

double FontBase::styleFontSize(const UIFontTextStyle& style) {
    auto it = mdFontSize_.find(style);
    if (it == mdFontSize_.end()) {
        auto font = UIFont::preferredFontForTextStyle(style);
        const double size = font ? static_cast<float>(font->pointSize()) : kFixedSize;
        it = mdFontSize_.emplace(style, size).first;
    }
    return it->second;
}

std::shared_ptr<UIFont> FontBase::font(FontRole role) {
    auto& slot = fonts_[static_cast<std::size_t>(role)];
    if (!slot) slot = makeRole(role);
    return slot;
}

void FontBase::setFont(FontRole role, std::shared_ptr<UIFont> font) {
    fonts_[static_cast<std::size_t>(role)] = std::move(font);
}

std::shared_ptr<UIFont> FontBase::fontWithSize(double size) {
    return named(fontName_, size);
}

std::shared_ptr<UIFont> FontBase::fontRetainedSize(const std::shared_ptr<UIFont>& font) {
    return fontWithSize(font ? font->pointSize() : kFixedSize);
}

std::shared_ptr<UIFont> FontBase::makeRole(FontRole role) {
    const RoleSpec& entry = kRoles[static_cast<std::size_t>(role)];
    double size = entry.factor;
    switch (entry.base) {
        case Base::Body: size *= styleFontSize(UIFontTextStyleBody); break;
        case Base::Headline: size *= styleFontSize(UIFontTextStyleHeadline); break;
        case Base::Fixed: size *= kFixedSize; break;
        case Base::Points: break;
    }
    switch (entry.face) {
        case Face::Text: return named(fontName_, size);
        case Face::System: return UIFont::systemFontOfSize(size);
        case Face::Bold: return UIFont::boldSystemFontOfSize(size);
        case Face::Italic: return UIFont::italicSystemFontOfSize(size);
        case Face::BoldItalic: {
            auto system = UIFont::systemFontOfSize(size);
            auto both = system->fontDescriptor().fontDescriptorWithSymbolicTraits(UIFontDescriptorTraitBold |
                                                                                  UIFontDescriptorTraitItalic);
            auto font = both ? UIFont::fontWithDescriptor(*both, 0) : nullptr;
            return font ? font : system;
        }
        case Face::Icon: return named(iconFontName, size);
        case Face::Copperplate: return named("Copperplate", size);
    }
    return UIFont::systemFontOfSize(size);
}
