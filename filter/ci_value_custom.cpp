// Conversions of image colours and vectors.
#include "filter/ci_value_custom.h"

#include "platform/image/ci_color.h"
#include "platform/image/ci_vector.h"
#include "platform/ui/draw/color.h"

std::shared_ptr<UIColor> uicolor(const CIColor& c) {
    return UIColor::colorWithRed(c.red(), c.green(), c.blue(), c.alpha());
}

std::shared_ptr<UIColor> uicolor(const CIVector& v) {
    return UIColor::colorWithRed(v.X(), v.Y(), v.Z(), v.W());
}

std::array<float, 4> glkVector4(const CIVector& v) {
    return {static_cast<float>(v.X()), static_cast<float>(v.Y()), static_cast<float>(v.Z()), static_cast<float>(v.W())};
}
