// ColorBase: the appearance-dependent palette: label and background colours that follow light and
// dark mode, the system greys and tints with fixed values where the system lacks them. Every role
// but `bookmarked` is computed on each call, so it reflects the appearance in force then.
// Roles are red-green-blue-alpha colours. Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/object.h"
#include "platform/ui/draw/color.h"

using ColorRef = std::shared_ptr<UIColor>;

class ColorBase : public NSObject {
public:
    KORVA_MAKE(ColorBase)

    ColorRef labelDefault();
    ColorRef labelSecondary();
    ColorRef labelLightGray();
    ColorRef backgroundDefault();
    ColorRef backgroundPopDefault();
    ColorRef labelInvertDefault() { return backgroundDefault(); }
    ColorRef backgroundInvertDefault() { return labelDefault(); }
    ColorRef systemGray();
    ColorRef systemGray2();
    ColorRef systemGray3();
    ColorRef systemGray4();
    ColorRef systemGray5();
    ColorRef systemGray6();
    ColorRef labelDefaultAlpha(double alpha);
    ColorRef backgroundDefaultAlpha(double alpha);
    ColorRef red() { return UIColor::systemRedColor(); }
    ColorRef green() { return UIColor::systemGreenColor(); }
    ColorRef blue() { return UIColor::systemBlueColor(); }
    ColorRef orange() { return UIColor::systemOrangeColor(); }
    ColorRef yellow() { return UIColor::systemYellowColor(); }
    ColorRef pink() { return UIColor::systemPinkColor(); }
    ColorRef purple() { return UIColor::systemPurpleColor(); }
    ColorRef indigo();
    // Kept once made.
    ColorRef bookmarked();
    void setBookmarked(ColorRef color) { bookmarked_ = std::move(color); }

    std::string className() const override { return "ColorBase"; }

protected:
    ColorBase() = default;
    // A grey level as a red-green-blue colour.
    static ColorRef white(CGFloat level, CGFloat alpha = 1);
    static ColorRef rgb(int red, int green, int blue, CGFloat alpha = 1);
    // Dark mode, which exists only where the system has light and dark appearance.
    static bool darkMode();

private:
    ColorRef bookmarked_;
};
