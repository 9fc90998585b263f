// Reading the points and rectangles of attribute records for the plane editors. Records come
// from stored presets, so anything may be missing or malformed: an entry that is not a number
// reads as NaN (callers choose the fallback), and a base size is used only when it is a real one.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/image/ci_image.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

// Entry i of the array under the key, in single precision: NaN when missing or not a number;
// a magnitude beyond single precision reads as an infinity.
float planeRecordEntry(const Value& record, std::string_view key, std::size_t i);
// The entry with non-finite values replaced by the fallback.
float planeRecordEntryOr(const Value& record, std::string_view key, std::size_t i, float fallback);
// A picture's extent size when it is finite and not empty.
std::optional<CGSize> planePictureSize(const std::shared_ptr<CIImage>& image);
// The record's "editingBaseSize" when it is finite and positive; otherwise the value is absolute.
std::optional<CGSize> planeRecordBaseSize(const Value& record);
// A stored coordinate along one axis brought to a picture of the given extent, scaled through the
// base size it was measured against.
float planeToPicture(float v, CGFloat picture, const std::optional<CGSize>& base, bool vertical);
// The "attr" of each entry of an item's list, in list order.
ValueArray planeListRecords(const Value& list);
