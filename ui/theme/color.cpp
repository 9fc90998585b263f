// The application's fixed colours.
#include "ui/theme/color.h"

#include "ui/theme/color_custom.h"
#include "widgets/flat/flat_palette.h"

namespace {
constexpr std::size_t kThemeTag = 6;
constexpr CGFloat kAttributesAlpha = 0.7;
constexpr CGFloat kTutorialAlpha = 0.98;
constexpr CGFloat kLightGray = 2.0 / 3;
constexpr CGFloat kDarkGray = 1.0 / 3;

// The tag colours after the light-grey first one, as byte triples.
constexpr int kTagTable[8][3] = {{242, 126, 95},  {250, 185, 64},  {233, 222, 68},  {162, 206, 106},
                                 {111, 190, 178}, {130, 168, 213}, {172, 142, 193}, {218, 125, 154}};

// The quotients in single precision, as the table colours are defined.
ColorRef rgbSingle(int r, int g, int b, CGFloat alpha = 1) {
    return UIColor::colorWithRed(r / 255.0f, g / 255.0f, b / 255.0f, alpha);
}
ColorRef level(CGFloat white, CGFloat alpha = 1) {
    return UIColor::colorWithRed(white, white, white, alpha);
}
// A platform colour as a red-green-blue one.
ColorRef asRGB(const ColorRef& color) {
    return alpha(*color, array(*color)[3]);
}
}  // namespace

ColorRef Color::themeTag() {
    const auto& t = tags();
    return t.size() > kThemeTag && t[kThemeTag] ? t[kThemeTag] : rgbSingle(130, 168, 213);
}

const std::vector<ColorRef>& Color::tags() {
    if (tags_.empty()) {
        tags_.push_back(level(kLightGray));
        for (const auto& t : kTagTable) tags_.push_back(rgbSingle(t[0], t[1], t[2]));
    }
    return tags_;
}

ColorRef Color::color(ColorRole role) {
    auto& slot = roles_[static_cast<std::size_t>(role)];
    if (!slot) slot = makeRole(role);
    return slot;
}

void Color::setColor(ColorRole role, ColorRef color) {
    roles_[static_cast<std::size_t>(role)] = std::move(color);
}

ColorRef Color::makeRole(ColorRole role) {
    switch (role) {
        case ColorRole::btnSelectedFG: return level(0, 0.5);
        case ColorRole::btnSelectedBG: return level(1, 0.7);
        case ColorRole::btnNormalFG: return level(1, 1);
        case ColorRole::btnNormalBG: return level(0, 0.2);
        case ColorRole::tip: return rgb(0, 170, 234);
        case ColorRole::author:
        case ColorRole::buttonTint0:
        case ColorRole::loadingTint: return rgb(33, 97, 140);
        case ColorRole::ago:
        case ColorRole::barButton: return level(kDarkGray);
        case ColorRole::inputBorder0:
        case ColorRole::textTitle: return asRGB(flatWhiteColor());
        case ColorRole::inserted: return rgb(0, 0, 255);
        case ColorRole::deleted: return rgb(255, 0, 0);
        case ColorRole::theme0: return themeTag();
        case ColorRole::theme1: return rgb(179, 185, 181);
        case ColorRole::tutorialbg: return rgbSingle(250, 185, 64, kTutorialAlpha);
        case ColorRole::tutorialfg: return level(1);
        case ColorRole::colorSelected:
        case ColorRole::colorSelect2: return rgbSingle(169, 169, 169);
        case ColorRole::attributes: return alpha(*themeTag(), kAttributesAlpha);
        case ColorRole::count: break;
    }
    return level(0);
}
