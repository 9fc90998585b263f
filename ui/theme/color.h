// Color: the application's palette, ColorBase plus the app's own fixed colours. Each role is made
// on first access and kept until Global drops the palette (memory warning); a change of
// appearance does not alter them. Every role is a red-green-blue-alpha colour. Main-thread only.
#pragma once

#include <array>
#include <vector>

#include "ui/theme/color_base.h"

enum class ColorRole {
    btnSelectedFG,
    btnSelectedBG,
    btnNormalFG,
    btnNormalBG,
    tip,
    author,
    ago,
    inputBorder0,
    buttonTint0,
    loadingTint,
    textTitle,
    inserted,
    deleted,
    theme0,
    theme1,
    tutorialbg,
    tutorialfg,
    barButton,
    colorSelected,
    colorSelect2,
    attributes,
    count
};

class Color : public ColorBase {
public:
    KORVA_MAKE(Color)

    ColorRef color(ColorRole role);
    // Replaces the kept colour of a role.
    void setColor(ColorRole role, ColorRef color);

    // Light grey, then eight table colours; theme0 and attributes read it when they are made.
    const std::vector<ColorRef>& tags();
    void setTags(std::vector<ColorRef> tags) { tags_ = std::move(tags); }

    ColorRef btnSelectedFG() { return color(ColorRole::btnSelectedFG); }
    ColorRef btnSelectedBG() { return color(ColorRole::btnSelectedBG); }
    ColorRef btnNormalFG() { return color(ColorRole::btnNormalFG); }
    ColorRef btnNormalBG() { return color(ColorRole::btnNormalBG); }
    ColorRef tip() { return color(ColorRole::tip); }
    ColorRef author() { return color(ColorRole::author); }
    ColorRef ago() { return color(ColorRole::ago); }
    ColorRef inputBorder0() { return color(ColorRole::inputBorder0); }
    ColorRef buttonTint0() { return color(ColorRole::buttonTint0); }
    ColorRef loadingTint() { return color(ColorRole::loadingTint); }
    ColorRef textTitle() { return color(ColorRole::textTitle); }
    ColorRef inserted() { return color(ColorRole::inserted); }
    ColorRef deleted() { return color(ColorRole::deleted); }
    ColorRef theme0() { return color(ColorRole::theme0); }
    ColorRef theme1() { return color(ColorRole::theme1); }
    ColorRef tutorialbg() { return color(ColorRole::tutorialbg); }
    ColorRef tutorialfg() { return color(ColorRole::tutorialfg); }
    ColorRef barButton() { return color(ColorRole::barButton); }
    ColorRef colorSelected() { return color(ColorRole::colorSelected); }
    ColorRef colorSelect2() { return color(ColorRole::colorSelect2); }
    ColorRef attributes() { return color(ColorRole::attributes); }

    std::string className() const override { return "Color"; }

protected:
    Color() = default;

private:
    ColorRef makeRole(ColorRole role);
    // The seventh tag (index 6), which the theme colours take.
    ColorRef themeTag();

    std::array<ColorRef, static_cast<std::size_t>(ColorRole::count)> roles_;
    std::vector<ColorRef> tags_;
};
