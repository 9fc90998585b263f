// Cell fonts and line counts. Counts never go below 0, and a font not measured yet (height 0)
// fits no lines.
#include "app/base/my_cell_view_controller.h"

#include <algorithm>
#include <cmath>

#include "foundation/global.h"
#include "foundation/text_measure.h"
#include "platform/ui/text/ui_font.h"
#include "ui/theme/font.h"

namespace {
constexpr const char* kMeasureText = "qQ";
long atLeastZero(double lines) {
    return lines > 0 ? static_cast<long>(lines) : 0;
}
}  // namespace

void MyCellViewController::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    updateFontSize();
}

void MyCellViewController::updateFontSize() {
    MyViewController::updateFontSize();
    auto catalogue = Global::shared()->font();
    fontText1_ = UIFont::fontWithName(kTextFontName, catalogue->sizeTable1());
    fontIcon2_ = UIFont::fontWithName(kIconFontName, catalogue->sizeTable2());
    fontText2_ = UIFont::fontWithName(kTextFontName, catalogue->sizeTable2());
    CGSize within = view()->frame().size;
    fontHeight1_ = boundingSize(kMeasureText, fontText1_, within).height;
    fontHeight2_ = boundingSize(kMeasureText, fontText2_, within).height;
}

long MyCellViewController::calcNumberOfLinesText(double h, long max) const {
    if (fontHeight1_ <= 0) return 0;
    return std::max(0L, std::min(atLeastZero(std::floor((h - fontHeight2_) / (fontHeight1_ + 1))), max));
}

long MyCellViewController::calcNumberOfLinesTextOnly(double h) const {
    if (fontHeight1_ <= 0) return 0;
    return atLeastZero(std::floor(h / (fontHeight1_ + 1)));
}

long MyCellViewController::calcNumberOfLinesDetail(double h, long n) const {
    if (fontHeight1_ <= 0 || fontHeight2_ <= 0) return 0;
    double v = (h - static_cast<double>(n) * (fontHeight1_ + 1)) / fontHeight2_;
    if (!(v > 0)) return 0;
    double whole = std::floor(v);
    return atLeastZero(whole) + (v - whole > kDetailLineShare ? 1 : 0);
}
