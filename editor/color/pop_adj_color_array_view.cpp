#include "editor/color/pop_adj_color_array_view.h"

#include "filter/filter_element.h"
#include "platform/ui/draw/color.h"
#include "widgets/scroll/scroll_label.h"

void PopAdjColorArrayView::init() {
    PopAdjSliderView::init();
    setBgColor(UIColor::colorWithWhite(1, 1));
    b0()->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    // The bubble is white: the title in white would not be seen on it.
    titleView()->lblTitle()->setTextColor(UIColor::blackColor());
}

void PopAdjColorArrayView::onRightButton(IconButton&) {
    const Value& def = value()["def"];
    if (const ValueArray* a = def.arrayPtr()) {
        FilterElement::setAttrValueArray(value(), *a);
    } else {
        FilterElement::setAttrValueFloat(value(), def.isNumber() ? def.doubleValue() : 0);
    }
    reportChange(value());
    updateView();
}
