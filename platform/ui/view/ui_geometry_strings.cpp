// Sizes and edge insets to and from text, on the runtime's geometry-text scanner.
#include "platform/ui/view/ui_geometry_strings.h"

std::string NSStringFromCGSize(CGSize size) {
    const CGFloat values[2] = {size.width, size.height};
    return geometryText(values, 2);
}

std::string NSStringFromUIEdgeInsets(UIEdgeInsets i) {
    const CGFloat values[4] = {i.top, i.left, i.bottom, i.right};
    return geometryText(values, 4);
}

CGSize CGSizeFromString(std::string_view text) {
    CGFloat v[2];
    readGeometryNumbers(text, v, 2);
    return {v[0], v[1]};
}

UIEdgeInsets UIEdgeInsetsFromString(std::string_view text) {
    CGFloat v[4];
    readGeometryNumbers(text, v, 4);
    return {v[0], v[1], v[2], v[3]};
}

std::string NSStringFromCGRect(CGRect rect) {
    return "{" + NSStringFromCGPoint(rect.origin) + ", " + NSStringFromCGSize(rect.size) + "}";
}

CGRect CGRectFromString(std::string_view text) {
    CGFloat v[4];
    readGeometryNumbers(text, v, 4);
    return CGRectMake(v[0], v[1], v[2], v[3]);
}
