// Size values and size keys of attribute records.
#include "filter/filter_record_values.h"

#include <cmath>

#include "filter/ci_image_filter.h"
#include "platform/runtime/format.h"

Value sizeValue(CGSize size) {
    return Value::dictionary(
        {{"width", Value(static_cast<double>(size.width))}, {"height", Value(static_cast<double>(size.height))}});
}

std::optional<CGSize> sizeFromValue(const Value& value) {
    if (!value.isDictionary() || !value["width"].isNumber() || !value["height"].isNumber()) return std::nullopt;
    double w = value["width"].doubleValue(), h = value["height"].doubleValue();
    if (!std::isfinite(w) || !std::isfinite(h)) return std::nullopt;
    return CGSize{w, h};
}

std::string sizeKeyText(const std::shared_ptr<CIImage>& image) {
    return Value(imageKey(image)).description();
}
