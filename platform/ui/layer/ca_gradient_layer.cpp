// Gradient layer properties.
#include "platform/ui/layer/ca_gradient_layer.h"

#include "platform/ui/animation/ca_layer_actions.h"

void CAGradientLayer::setColors(std::vector<CGColor> colors) {
    if (colors != colors_) CALayerActions::layerWillChange(*this, "colors");
    colors_ = std::move(colors);
    changed();
}

void CAGradientLayer::setLocations(std::vector<CGFloat> locations) {
    if (locations != locations_) CALayerActions::layerWillChange(*this, "locations");
    locations_ = std::move(locations);
    changed();
}

void CAGradientLayer::setStartPoint(CGPoint p) {
    startPoint_ = p;
    changed();
}

void CAGradientLayer::setEndPoint(CGPoint p) {
    endPoint_ = p;
    changed();
}

std::vector<std::pair<CGFloat, CGColor>> CAGradientLayer::stopsOf(const std::vector<CGColor>& colors,
                                                                  const std::vector<CGFloat>& locations) {
    std::vector<std::pair<CGFloat, CGColor>> result;
    std::size_t n = colors.size();
    // Locations that do not match the colours one to one are ignored, as if none were given.
    bool useLocations = locations.size() == n;
    for (std::size_t i = 0; i < n; ++i) {
        CGFloat at = useLocations ? locations[i] : (n == 1 ? 0 : static_cast<CGFloat>(i) / static_cast<CGFloat>(n - 1));
        result.emplace_back(at, colors[i]);
    }
    return result;
}
