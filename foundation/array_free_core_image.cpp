// Number arrays to image values.
#include "foundation/array_free_core_image.h"

#include <cmath>
#include <cstring>

#include "platform/image/affine_value.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_vector.h"

namespace {

// Through single precision, as every stored number is read.
double element(const ValueArray& array, std::size_t i) {
    return static_cast<double>(array[i].floatValue());
}

}  // namespace

std::shared_ptr<CIColor> cicolor(const ValueArray& array) {
    if (array.size() < 3) return nullptr;
    return CIColor::colorWithRed(element(array, 0), element(array, 1), element(array, 2),
                                 array.size() > 3 ? element(array, 3) : 1.0);
}

std::shared_ptr<CIVector> civector(const ValueArray& array) {
    std::vector<CGFloat> values;
    values.reserve(array.size());
    for (std::size_t i = 0; i < array.size(); ++i) values.push_back(element(array, i));
    return CIVector::vectorWithValues(std::move(values));
}

std::shared_ptr<CIVector> civectorWithRatio(const ValueArray& array, double rx, double ry) {
    if (array.size() < 2) return nullptr;
    return CIVector::vectorWithX(element(array, 0) * rx, element(array, 1) * ry);
}

std::shared_ptr<CIVector> cirectWithRatio(const ValueArray& array, double rx, double ry) {
    if (array.size() < 4) return nullptr;
    return CIVector::vectorWithX(std::round(element(array, 0) * rx), std::round(element(array, 1) * ry),
                                 std::round(element(array, 2) * rx), std::round(element(array, 3) * ry));
}

std::shared_ptr<AffineTransformValue> nsvalue_CGAffineTransform(const ValueArray& array) {
    if (array.size() < 6) return nullptr;
    return AffineTransformValue::valueWithCGAffineTransform(
        CGAffineTransformMake(element(array, 0), element(array, 1), element(array, 2), element(array, 3),
                              element(array, 4), element(array, 5)));
}

std::size_t colorCubeDimension(std::size_t count) {
    // The single-precision cube root, then corrected both ways: never more entries than elements
    // (a cube that reads past them), never fewer than a perfect cube holds.
    auto n = static_cast<std::size_t>(static_cast<float>(std::pow(static_cast<double>(count), 0.3333333432674408)));
    while (n > 0 && n * n * n > count) --n;
    while ((n + 1) * (n + 1) * (n + 1) <= count) ++n;
    return n;
}

std::optional<Bytes> nsdata_colorArray(const ValueArray& array) {
    std::size_t n = colorCubeDimension(array.size());
    if (n == 0) return std::nullopt;
    std::size_t entries = n * n * n;
    Bytes cube(entries * 16);
    for (std::size_t i = 0; i < entries; ++i) {
        float rgba[4] = {0, 0, 0, 0};
        if (const ValueArray* components = array[i].arrayPtr()) {
            for (std::size_t k = 0; k < 4 && k < components->size(); ++k) rgba[k] = (*components)[k].floatValue();
        }
        std::memcpy(cube.data() + 16 * i, rgba, sizeof rgba);
    }
    return cube;
}

std::optional<CGPoint> cgpoint(const ValueArray& array) {
    if (array.size() < 2) return std::nullopt;
    return CGPointMake(element(array, 0), element(array, 1));
}

std::optional<CGRect> cgrect(const ValueArray& array) {
    if (array.size() < 4) return std::nullopt;
    return CGRectMake(element(array, 0), element(array, 1), element(array, 2), element(array, 3));
}
