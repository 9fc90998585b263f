// CGGradient construction.
#include "platform/ui/draw/gradient.h"

#include "platform/image/color_space.h"

std::shared_ptr<CGGradient> CGGradient::createWithColors(std::shared_ptr<CGColorSpace>, std::vector<CGColor> colors,
                                                         std::vector<CGFloat> locations) {
    if (colors.empty()) return nullptr;
    if (locations.empty()) {
        for (std::size_t i = 0; i < colors.size(); ++i)
            locations.push_back(colors.size() == 1 ? 0 : CGFloat(i) / CGFloat(colors.size() - 1));
    }
    if (locations.size() != colors.size()) return nullptr;
    return ::make<CGGradient>(std::move(colors), std::move(locations));
}

std::shared_ptr<CGGradient> CGGradient::createWithColorComponents(std::shared_ptr<CGColorSpace> space,
                                                                  const std::vector<CGFloat>& components,
                                                                  std::vector<CGFloat> locations, std::size_t count) {
    if (count == 0 || components.size() < count * 4) return nullptr;
    if (!locations.empty() && locations.size() < count) return nullptr;
    if (!locations.empty()) locations.resize(count);
    std::vector<CGColor> colors;
    for (std::size_t i = 0; i < count; ++i)
        colors.push_back(
            CGColor::rgb(components[i * 4], components[i * 4 + 1], components[i * 4 + 2], components[i * 4 + 3]));
    return createWithColors(std::move(space), std::move(colors), std::move(locations));
}
