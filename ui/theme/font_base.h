// FontBase: the font catalogue. Every font of the interface is taken by role from here instead of
// naming a face and size at the call. A role's size is a base size times a size-class factor;
// the base is the system text size of the body or headline style (read once per catalogue) or the
// fixed 17 points. Each role's font is made on first access and kept: the catalogue follows a
// text-size change by being replaced, never in place.
//
// A face the platform cannot load gives the system font at the same size, so no role is ever
// empty. Main-thread only.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>

#include "platform/runtime/object.h"
#include "platform/ui/text/ui_font.h"

enum class FontRole {
    title,
    input,
    textNormal,
    textNormal0,
    textNormalBold,
    textNormalItalic,
    textNormalBoldItalic,
    textLarge1,
    textLarge2,
    textLarge3,
    textLarge4,
    textSmall1,
    textSmall2,
    textSmall3,
    textSmall4,
    textSmall5,
    textFixedNormal,
    textFixedLarge1,
    textFixedLarge2,
    textFixedLarge3,
    textFixedLarge4,
    textFixedSmall1,
    textFixedSmall2,
    textFixedSmall3,
    textFixedSmall4,
    textFixedSmall5,
    iconNormal,
    iconLarge1,
    iconLarge2,
    iconLarge3,
    iconLarge4,
    iconLarge5,
    iconSmall1,
    iconSmall2,
    iconSmall3,
    iconSmall4,
    iconSmall5,
    iconFixedNormal,
    iconFixedLarge1,
    iconFixedLarge2,
    iconFixedLarge3,
    iconFixedLarge4,
    iconFixedLarge5,
    iconFixedSmall1,
    iconFixedSmall2,
    iconFixedSmall3,
    iconFixedSmall4,
    iconFixedSmall5,
    iconTabBar,
    iconBarButton,
    iconButton,
    page,
    buttonStatus,
    count
};

class FontBase : public NSObject {
public:
    KORVA_MAKE(FontBase)

    // The fixed base size and the size-class factors.
    static constexpr double kFixedSize = 17;
    static constexpr double kLarge1 = 1.2, kLarge2 = 1.5, kLarge3 = 2, kLarge4 = 2.5, kLarge5 = 4;
    static constexpr double kSmall1 = 0.8, kSmall2 = 0.6, kSmall3 = 0.5, kSmall4 = 0.45, kSmall5 = 0.4;

    // The point size of the system's preferred font for a text style, read once per style and
    // kept in single precision.
    double styleFontSize(const UIFontTextStyle& style);

    // The role's font, made on first access and kept.
    std::shared_ptr<UIFont> font(FontRole role);
    // Replaces the kept font of a role.
    void setFont(FontRole role, std::shared_ptr<UIFont> font);

    // The text face at a size, made on every call.
    std::shared_ptr<UIFont> fontWithSize(double size);
    // The text face at the point size of the given font.
    std::shared_ptr<UIFont> fontRetainedSize(const std::shared_ptr<UIFont>& font);

    const std::string& fontName() const { return fontName_; }
    void setFontName(std::string name) { fontName_ = std::move(name); }
    const std::string& fontBoldName() const { return fontBoldName_; }
    void setFontBoldName(std::string name) { fontBoldName_ = std::move(name); }

    std::shared_ptr<UIFont> title() { return font(FontRole::title); }
    std::shared_ptr<UIFont> input() { return font(FontRole::input); }
    std::shared_ptr<UIFont> textNormal() { return font(FontRole::textNormal); }
    std::shared_ptr<UIFont> textNormal0() { return font(FontRole::textNormal0); }
    std::shared_ptr<UIFont> textNormalBold() { return font(FontRole::textNormalBold); }
    std::shared_ptr<UIFont> textNormalItalic() { return font(FontRole::textNormalItalic); }
    std::shared_ptr<UIFont> textNormalBoldItalic() { return font(FontRole::textNormalBoldItalic); }
    std::shared_ptr<UIFont> textLarge1() { return font(FontRole::textLarge1); }
    std::shared_ptr<UIFont> textLarge2() { return font(FontRole::textLarge2); }
    std::shared_ptr<UIFont> textLarge3() { return font(FontRole::textLarge3); }
    std::shared_ptr<UIFont> textLarge4() { return font(FontRole::textLarge4); }
    std::shared_ptr<UIFont> textSmall1() { return font(FontRole::textSmall1); }
    std::shared_ptr<UIFont> textSmall2() { return font(FontRole::textSmall2); }
    std::shared_ptr<UIFont> textSmall3() { return font(FontRole::textSmall3); }
    std::shared_ptr<UIFont> textSmall4() { return font(FontRole::textSmall4); }
    std::shared_ptr<UIFont> textSmall5() { return font(FontRole::textSmall5); }
    std::shared_ptr<UIFont> textFixedNormal() { return font(FontRole::textFixedNormal); }
    std::shared_ptr<UIFont> textFixedLarge1() { return font(FontRole::textFixedLarge1); }
    std::shared_ptr<UIFont> textFixedLarge2() { return font(FontRole::textFixedLarge2); }
    std::shared_ptr<UIFont> textFixedLarge3() { return font(FontRole::textFixedLarge3); }
    std::shared_ptr<UIFont> textFixedLarge4() { return font(FontRole::textFixedLarge4); }
    std::shared_ptr<UIFont> textFixedSmall1() { return font(FontRole::textFixedSmall1); }
    std::shared_ptr<UIFont> textFixedSmall2() { return font(FontRole::textFixedSmall2); }
    std::shared_ptr<UIFont> textFixedSmall3() { return font(FontRole::textFixedSmall3); }
    std::shared_ptr<UIFont> textFixedSmall4() { return font(FontRole::textFixedSmall4); }
    std::shared_ptr<UIFont> textFixedSmall5() { return font(FontRole::textFixedSmall5); }
    std::shared_ptr<UIFont> iconNormal() { return font(FontRole::iconNormal); }
    std::shared_ptr<UIFont> iconLarge1() { return font(FontRole::iconLarge1); }
    std::shared_ptr<UIFont> iconLarge2() { return font(FontRole::iconLarge2); }
    std::shared_ptr<UIFont> iconLarge3() { return font(FontRole::iconLarge3); }
    std::shared_ptr<UIFont> iconLarge4() { return font(FontRole::iconLarge4); }
    std::shared_ptr<UIFont> iconLarge5() { return font(FontRole::iconLarge5); }
    std::shared_ptr<UIFont> iconSmall1() { return font(FontRole::iconSmall1); }
    std::shared_ptr<UIFont> iconSmall2() { return font(FontRole::iconSmall2); }
    std::shared_ptr<UIFont> iconSmall3() { return font(FontRole::iconSmall3); }
    std::shared_ptr<UIFont> iconSmall4() { return font(FontRole::iconSmall4); }
    std::shared_ptr<UIFont> iconSmall5() { return font(FontRole::iconSmall5); }
    std::shared_ptr<UIFont> iconFixedNormal() { return font(FontRole::iconFixedNormal); }
    std::shared_ptr<UIFont> iconFixedLarge1() { return font(FontRole::iconFixedLarge1); }
    std::shared_ptr<UIFont> iconFixedLarge2() { return font(FontRole::iconFixedLarge2); }
    std::shared_ptr<UIFont> iconFixedLarge3() { return font(FontRole::iconFixedLarge3); }
    std::shared_ptr<UIFont> iconFixedLarge4() { return font(FontRole::iconFixedLarge4); }
    std::shared_ptr<UIFont> iconFixedLarge5() { return font(FontRole::iconFixedLarge5); }
    std::shared_ptr<UIFont> iconFixedSmall1() { return font(FontRole::iconFixedSmall1); }
    std::shared_ptr<UIFont> iconFixedSmall2() { return font(FontRole::iconFixedSmall2); }
    std::shared_ptr<UIFont> iconFixedSmall3() { return font(FontRole::iconFixedSmall3); }
    std::shared_ptr<UIFont> iconFixedSmall4() { return font(FontRole::iconFixedSmall4); }
    std::shared_ptr<UIFont> iconFixedSmall5() { return font(FontRole::iconFixedSmall5); }
    std::shared_ptr<UIFont> iconTabBar() { return font(FontRole::iconTabBar); }
    std::shared_ptr<UIFont> iconBarButton() { return font(FontRole::iconBarButton); }
    std::shared_ptr<UIFont> iconButton() { return font(FontRole::iconButton); }
    std::shared_ptr<UIFont> page() { return font(FontRole::page); }
    std::shared_ptr<UIFont> buttonStatus() { return font(FontRole::buttonStatus); }

    std::string className() const override { return "FontBase"; }

protected:
    FontBase() = default;

private:
    std::shared_ptr<UIFont> makeRole(FontRole role);

    std::map<UIFontTextStyle, double> mdFontSize_;
    std::string fontName_ = "Gill Sans";
    std::string fontBoldName_ = "GillSans-SemiBold";
    std::array<std::shared_ptr<UIFont>, static_cast<std::size_t>(FontRole::count)> fonts_;
};
