#include "editor/plane_edit/plane_record.h"

#include <cmath>
#include <limits>

#include "filter/filter_record_values.h"
#include "foundation/numeric.h"

float planeRecordEntry(const Value& record, std::string_view key, std::size_t i) {
    const ValueArray* a = record[key].arrayPtr();
    if (!a || i >= a->size() || !(*a)[i].isNumber()) return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>((*a)[i].doubleValue());
}

float planeRecordEntryOr(const Value& record, std::string_view key, std::size_t i, float fallback) {
    return finiteOr(planeRecordEntry(record, key, i), fallback);
}

namespace {
bool usable(CGSize s) {
    return std::isfinite(s.width) && std::isfinite(s.height) && s.width > 0 && s.height > 0;
}
}  // namespace

std::optional<CGSize> planePictureSize(const std::shared_ptr<CIImage>& image) {
    if (!image) return std::nullopt;
    const CGSize s = image->extent().size;
    return usable(s) ? std::optional<CGSize>(s) : std::nullopt;
}

std::optional<CGSize> planeRecordBaseSize(const Value& record) {
    auto base = sizeFromValue(record["editingBaseSize"]);
    return base && usable(*base) ? base : std::nullopt;
}

float planeToPicture(float v, CGFloat picture, const std::optional<CGSize>& base, bool vertical) {
    if (!base) return v;
    return static_cast<float>(v * picture / (vertical ? base->height : base->width));
}

ValueArray planeListRecords(const Value& list) {
    ValueArray records;
    if (const ValueArray* entries = list.arrayPtr()) {
        for (const Value& entry : *entries) records.push_back(entry["attr"]);
    }
    return records;
}
