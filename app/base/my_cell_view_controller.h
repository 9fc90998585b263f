// A screen base for list screens: cell fonts at the system text size and the number of text lines
// that fit a height. Main thread only.
#pragma once

#include "app/base/my_view_controller.h"

class UIFont;

class MyCellViewController : public MyViewController {
public:
    KORVA_MAKE(MyCellViewController)

    static constexpr const char* kTextFontName = "Gill Sans";
    static constexpr const char* kIconFontName = "FontAwesome";
    // A detail line counts when at least this much of it fits.
    static constexpr double kDetailLineShare = 0.8;

    void viewWillAppear(bool animated) override;
    void updateFontSize() override;

    // Lines of title text in height h, at most `max`, leaving one detail line.
    long calcNumberOfLinesText(double h, long max) const;
    long calcNumberOfLinesTextOnly(double h) const;
    // Detail lines in height h below n title lines.
    long calcNumberOfLinesDetail(double h, long n) const;

    const std::shared_ptr<UIFont>& fontText1() const { return fontText1_; }
    const std::shared_ptr<UIFont>& fontIcon2() const { return fontIcon2_; }
    const std::shared_ptr<UIFont>& fontText2() const { return fontText2_; }
    double fontHeight1() const { return fontHeight1_; }
    double fontHeight2() const { return fontHeight2_; }
    void setFontHeights(double h1, double h2) {
        fontHeight1_ = h1;
        fontHeight2_ = h2;
    }

    std::string className() const override { return "MyCellViewController"; }

protected:
    MyCellViewController() = default;

private:
    std::shared_ptr<UIFont> fontText1_, fontIcon2_, fontText2_;
    double fontHeight1_ = 0, fontHeight2_ = 0;
};
