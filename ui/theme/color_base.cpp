// The appearance-dependent roles.
#include "ui/theme/color_base.h"

#include "foundation/device.h"
#include "foundation/global.h"
#include "ui/theme/color_custom.h"
#include "ui/theme/system_appearance.h"

namespace {
constexpr CGFloat kDarkGray = 1.0 / 3;
constexpr CGFloat kLightGray = 2.0 / 3;
constexpr CGFloat kPopDark = 0.4;

// The system colour where the system has it, else the fixed fallback.
ColorRef systemOr(ColorRef (*system)(), std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return hasSystemAppearance() ? system() : colorWithUCharRed(r, g, b, 255);
}
}  // namespace

ColorRef ColorBase::white(CGFloat level, CGFloat alpha) {
    return UIColor::colorWithRed(level, level, level, alpha);
}

ColorRef ColorBase::rgb(int red, int green, int blue, CGFloat alpha) {
    return UIColor::colorWithRed(red / 255.0, green / 255.0, blue / 255.0, alpha);
}

bool ColorBase::darkMode() {
    return Global::shared()->device()->isDarkMode() && hasSystemAppearance();
}

ColorRef ColorBase::labelDefault() {
    return hasSystemAppearance() ? UIColor::labelColor() : white(0);
}

ColorRef ColorBase::labelSecondary() {
    return darkMode() && hasSystemAppearance() ? UIColor::secondaryLabelColor() : white(kDarkGray);
}

ColorRef ColorBase::labelLightGray() {
    return darkMode() ? white(kDarkGray) : white(kLightGray);
}

ColorRef ColorBase::backgroundDefault() {
    return hasSystemAppearance() ? UIColor::systemBackgroundColor() : white(1);
}

ColorRef ColorBase::backgroundPopDefault() {
    return darkMode() ? white(kPopDark) : white(1);
}

ColorRef ColorBase::systemGray() {
    return systemOr(&UIColor::systemGrayColor, 142, 142, 147);
}
ColorRef ColorBase::systemGray2() {
    return systemOr(&UIColor::systemGray2Color, 174, 174, 178);
}
ColorRef ColorBase::systemGray3() {
    return systemOr(&UIColor::systemGray3Color, 199, 199, 204);
}
ColorRef ColorBase::systemGray4() {
    return systemOr(&UIColor::systemGray4Color, 209, 209, 214);
}
ColorRef ColorBase::systemGray5() {
    return systemOr(&UIColor::systemGray5Color, 229, 229, 234);
}
ColorRef ColorBase::systemGray6() {
    return systemOr(&UIColor::systemGray6Color, 242, 242, 247);
}
ColorRef ColorBase::indigo() {
    return systemOr(&UIColor::systemIndigoColor, 75, 0, 130);
}

ColorRef ColorBase::labelDefaultAlpha(double a) {
    return alpha(*labelDefault(), a);
}
ColorRef ColorBase::backgroundDefaultAlpha(double a) {
    return alpha(*backgroundDefault(), a);
}

ColorRef ColorBase::bookmarked() {
    if (!bookmarked_) bookmarked_ = rgb(215, 84, 82);
    return bookmarked_;
}
