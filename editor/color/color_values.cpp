#include "editor/color/color_values.h"

#include "editor/input/adj_numbers.h"
#include "platform/ui/draw/color.h"
#include "ui/theme/color_custom.h"

std::shared_ptr<UIColor> colorOfNumbers(const Value& array) {
    const ValueArray* a = array.arrayPtr();
    if (!a || a->size() < 3) return nullptr;
    const float alpha = a->size() > 3 ? adjArrayFloat(array, 3) : 1;
    return UIColor::colorWithRed(adjArrayFloat(array, 0), adjArrayFloat(array, 1), adjArrayFloat(array, 2), alpha);
}

Value numbersOfColor(const UIColor& color) {
    const auto c = array(color);
    return Value(ValueArray{Value(c[0]), Value(c[1]), Value(c[2]), Value(c[3])});
}
