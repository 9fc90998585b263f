// Insets from the four edges of a rectangle.
#pragma once

#include "platform/runtime/geometry.h"

struct UIEdgeInsets {
    CGFloat top = 0, left = 0, bottom = 0, right = 0;
    bool operator==(const UIEdgeInsets&) const = default;
};

inline constexpr UIEdgeInsets UIEdgeInsetsZero{};
inline UIEdgeInsets UIEdgeInsetsMake(CGFloat top, CGFloat left, CGFloat bottom, CGFloat right) {
    return {top, left, bottom, right};
}
inline CGRect UIEdgeInsetsInsetRect(const CGRect& r, const UIEdgeInsets& i) {
    CGRect s = CGRectStandardize(r);
    return {{s.origin.x + i.left, s.origin.y + i.top},
            {s.size.width - i.left - i.right, s.size.height - i.top - i.bottom}};
}
