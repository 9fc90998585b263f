// Small value forms kept in attribute records: the editing base size and the size key of the
// per-size conversion caches.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/image/ci_image.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

// A size kept in a record as {"width", "height"}.
Value sizeValue(CGSize size);
// None unless the value is such a size with finite numbers.
std::optional<CGSize> sizeFromValue(const Value& value);
// The text of an image's size key (width x 10000 + height), the key of per-size caches.
std::string sizeKeyText(const std::shared_ptr<CIImage>& image);
