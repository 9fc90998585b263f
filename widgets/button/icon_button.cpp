// Creation roads, colours and titles of the icon button. Every colour change goes through
// setColor, the one road from the base colour to the title colours and the drawing.
#include "widgets/button/icon_button.h"

#include <algorithm>

#include "platform/ui/text/ui_font.h"
#include "platform/ui/view/ui_appearance.h"
#include "widgets/button/ns_string_font_awesome.h"
#include "widgets/button/ui_color_icon_button.h"

namespace {
constexpr double kTitleFontSize = 17;
constexpr CGFloat kTitleShadowAlpha = 0.6;
constexpr CGFloat kDisabledTitleAlpha = 0.5;
constexpr CGFloat kDisabledTitleWhiteOnLight = 0.4;
constexpr CGFloat kDisabledTitleWhiteOnDark = 1.0;
constexpr CGRect kOnlyIconFrame{{0, 0}, {40, 40}};
constexpr double kOnlyIconFontSize = 20;
constexpr const char* kCornerRadiusProperty = "buttonCornerRadius";

bool isLight(const std::shared_ptr<UIColor>& color) {
    return color && ib_isLightColor(*color);
}

std::shared_ptr<UIColor> fadedTitleColor(bool light) {
    return UIColor::colorWithWhite(light ? kDisabledTitleWhiteOnLight : kDisabledTitleWhiteOnDark, kDisabledTitleAlpha);
}

std::shared_ptr<UIColor> plainTitleColor(bool light) {
    return light ? UIColor::blackColor() : UIColor::whiteColor();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace

std::string stringByTrimingWhiteSpaceFromString(const std::string& text) {
    auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool isStringEmpty(const std::string& text) {
    return stringByTrimingWhiteSpaceFromString(text).empty();
}

std::shared_ptr<IconButton> IconButton::buttonWithType(UIButtonType type) {
    auto button = IconButton::make();
    button->setButtonType(type);
    return button;
}

std::shared_ptr<IconButton> IconButton::withColor(CGRect frame, std::shared_ptr<UIColor> color, IconButtonStyle style) {
    auto button = IconButton::make(frame);
    button->style_ = style;
    button->setColor(std::move(color));
    button->setTextAttributesForStyle(style);
    return button;
}

std::shared_ptr<IconButton> IconButton::withType(CGRect frame, IconButtonType type, IconButtonStyle style) {
    return withColor(frame, colorForButtonType(type, style), style);
}

std::shared_ptr<IconButton> IconButton::withColorIcon(CGRect frame, std::shared_ptr<UIColor> color,
                                                      IconButtonStyle style, std::uint16_t icon, double fontSize) {
    auto button = withColor(frame, std::move(color), style);
    if (auto font = UIFont::fontWithName(iconFontName, fontSize)) button->titleLabel()->setFont(font);
    button->titleLabel()->setTextAlignment(NSTextAlignment::Center);
    button->setTitle(fa_stringForFontAwesomeIcon(icon), UIControlStateNormal);
    return button;
}

std::shared_ptr<IconButton> IconButton::withTypeIcon(CGRect frame, IconButtonType type, IconButtonStyle style,
                                                     std::uint16_t icon, double fontSize) {
    return withColorIcon(frame, colorForButtonType(type, style), style, icon, fontSize);
}

std::shared_ptr<IconButton> IconButton::awesomeButtonWithOnlyIcon(std::uint16_t icon, std::shared_ptr<UIColor> color,
                                                                  IconButtonStyle style) {
    return withColorIcon(kOnlyIconFrame, std::move(color), style, icon, kOnlyIconFontSize);
}

std::shared_ptr<IconButton> IconButton::awesomeButtonWithOnlyIcon(std::uint16_t icon, IconButtonType type,
                                                                  IconButtonStyle style) {
    return withTypeIcon(kOnlyIconFrame, type, style, icon, kOnlyIconFontSize);
}

void IconButton::init() {
    UIButton::init();
    setup();
    setTextAttributesForStyle(style_);
}

void IconButton::initWithCoder(const NSCoder& coder) {
    UIButton::init();
    decodeViewProperties(coder);
    setup();
}

void IconButton::setup() {
    setBackgroundColor(UIColor::clearColor());
    shouldShowDisabled_ = true;
    style_ = IconButtonStyle::V3;
    setType(IconButtonType::Default);
}

void IconButton::setTextAttributesForStyle(IconButtonStyle style) {
    switch (style) {
        case IconButtonStyle::V2:
            titleLabel()->setShadowOffset({0, -1});
            titleLabel()->setFont(UIFont::boldSystemFontOfSize(kTitleFontSize));
            break;
        case IconButtonStyle::V3:
            titleLabel()->setShadowOffset({0, 0});
            titleLabel()->setFont(UIFont::systemFontOfSize(kTitleFontSize));
            break;
        default: break;
    }
}

void IconButton::setColor(std::shared_ptr<UIColor> color) {
    color_ = std::move(color);
    bool light = isLight(color_);
    setTitleColor(plainTitleColor(light), UIControlStateNormal);
    setTitleShadowColor(UIColor::colorWithWhite(light ? 1.0 : 0.0, kTitleShadowAlpha), UIControlStateNormal);
    if (shouldShowDisabled_) setTitleColor(fadedTitleColor(light), UIControlStateDisabled);
    setNeedsDisplay();
}

void IconButton::setType(IconButtonType type) {
    setColor(colorForButtonType(type, style_));
}

void IconButton::setStyle(IconButtonStyle style) {
    style_ = style;
    setColor(color_);
}

void IconButton::setShouldShowDisabled(bool show) {
    shouldShowDisabled_ = show;
    bool light = isLight(color_);
    setTitleColor(show ? fadedTitleColor(light) : plainTitleColor(light), UIControlStateDisabled);
}

double IconButton::buttonCornerRadius() {
    if (!cornerRadius_) {
        Value fromProxy =
            UIAppearance::appearance(UIAppearanceClass::of<IconButton>("IconButton")).value(kCornerRadiusProperty);
        if (fromProxy.isNumber()) cornerRadius_ = fromProxy.doubleValue();
    }
    return cornerRadius_ ? *cornerRadius_ : cornerRadiusForStyle(style_);
}

void IconButton::setButtonCornerRadius(std::optional<double> radius) {
    cornerRadius_ = radius;
    setNeedsDisplay();
}

double IconButton::cornerRadiusForStyle(IconButtonStyle style) {
    switch (style) {
        case IconButtonStyle::V2: return 6.0;
        case IconButtonStyle::V3: return 4.0;
    }
    return 0.0;
}

std::shared_ptr<UIColor> IconButton::colorForButtonType(IconButtonType type, IconButtonStyle style) {
    return style == IconButtonStyle::V2 ? colorForV2StyleButtonWithType(type) : colorForV3StyleButtonWithType(type);
}

std::shared_ptr<UIColor> IconButton::colorForV2StyleButtonWithType(IconButtonType type) {
    switch (type) {
        case IconButtonType::Primary: return ib_primaryColorV2();
        case IconButtonType::Info: return ib_infoColorV2();
        case IconButtonType::Success: return ib_successColorV2();
        case IconButtonType::Warning: return ib_warningColorV2();
        case IconButtonType::Danger: return ib_dangerColorV2();
        case IconButtonType::Inverse: return ib_inverseColorV2();
        case IconButtonType::Twitter: return ib_twitterColor();
        case IconButtonType::Facebook: return ib_facebookColor();
        case IconButtonType::Purple: return ib_purpleIconButtonColor();
        case IconButtonType::Gray: return ib_grayIconButtonColor();
        case IconButtonType::Default: break;
    }
    return ib_defaultColorV2();
}

std::shared_ptr<UIColor> IconButton::colorForV3StyleButtonWithType(IconButtonType type) {
    switch (type) {
        case IconButtonType::Primary: return ib_primaryColorV3();
        case IconButtonType::Info: return ib_infoColorV3();
        case IconButtonType::Success: return ib_successColorV3();
        case IconButtonType::Warning: return ib_warningColorV3();
        case IconButtonType::Danger: return ib_dangerColorV3();
        case IconButtonType::Inverse: return ib_inverseColorV3();
        case IconButtonType::Twitter: return ib_twitterColor();
        case IconButtonType::Facebook: return ib_facebookColor();
        case IconButtonType::Purple: return ib_purpleIconButtonColor();
        case IconButtonType::Gray: return ib_grayIconButtonColor();
        case IconButtonType::Default: break;
    }
    return ib_defaultColorV3();
}

void IconButton::addAwesomeIcon(std::uint16_t icon, bool beforeTitle) {
    std::string glyph = fa_stringForFontAwesomeIcon(icon);
    if (auto font = UIFont::fontWithName(iconFontName, titleLabel()->font()->pointSize())) titleLabel()->setFont(font);
    auto text = titleLabel()->text();
    std::string title;
    if (!text || isStringEmpty(*text))
        title = glyph;
    else if (beforeTitle)
        title = glyph + " " + *text;
    else
        title = *text + " " + glyph;
    setTitle(title, UIControlStateNormal);
}
