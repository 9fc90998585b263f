// Helpers shared by the filter implementations: the common anatomy of an image filter.
#pragma once

#include <memory>

#include "platform/image/ci_filter.h"
#include "platform/image/engine/image_node.h"
#include "platform/image/engine/point_node.h"
#include "platform/image/filters/filter_registry.h"

// The input image with a per-pixel step applied; none without an input image.
std::shared_ptr<CIImage> imageWithPointOp(const std::shared_ptr<CIImage>& input, std::shared_ptr<const PointOp> op);

// A filter class made through the registry: `make` with the description.
template <class F>
std::shared_ptr<CIFilter> makeFilter(const FilterDescription& description) {
    return make<F>(description);
}
