// CGGradient: colours at locations along an axis, drawn by a context as a linear or radial fill.
#pragma once

#include <memory>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/ui/draw/color.h"

class CGColorSpace;

// Immutable, so it may be shared between threads.
class CGGradient : public NSObject {
public:
    KORVA_MAKE(CGGradient)

    // Locations default to an even spread from 0 to 1; none when there are no colours or the
    // location count differs from the colour count.
    static std::shared_ptr<CGGradient> createWithColors(std::shared_ptr<CGColorSpace> space,
                                                        std::vector<CGColor> colors,
                                                        std::vector<CGFloat> locations = {});
    // Components as red, green, blue, alpha per colour.
    static std::shared_ptr<CGGradient> createWithColorComponents(std::shared_ptr<CGColorSpace> space,
                                                                 const std::vector<CGFloat>& components,
                                                                 std::vector<CGFloat> locations, std::size_t count);

    const std::vector<CGColor>& colors() const { return colors_; }
    const std::vector<CGFloat>& locations() const { return locations_; }

    std::string className() const override { return "CGGradient"; }

protected:
    CGGradient(std::vector<CGColor> colors, std::vector<CGFloat> locations)
        : colors_(std::move(colors)), locations_(std::move(locations)) {}

private:
    std::vector<CGColor> colors_;
    std::vector<CGFloat> locations_;
};
