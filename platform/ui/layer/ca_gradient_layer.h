// A layer filled with an axial gradient between colours at locations, from a start to an end point.
#pragma once

#include <vector>

#include "platform/ui/layer/ca_layer.h"

class CAGradientLayer : public CALayer {
public:
    KORVA_MAKE(CAGradientLayer)

    const std::vector<CGColor>& colors() const { return colors_; }
    void setColors(std::vector<CGColor> colors);
    // Stop positions in 0...1; empty spreads the colours evenly.
    const std::vector<CGFloat>& locations() const { return locations_; }
    void setLocations(std::vector<CGFloat> locations);
    // In the unit square of the bounds: (0, 0) top left, (1, 1) bottom right.
    CGPoint startPoint() const { return startPoint_; }
    void setStartPoint(CGPoint p);
    CGPoint endPoint() const { return endPoint_; }
    void setEndPoint(CGPoint p);

    // The stops actually drawn: one per colour, with the locations given or evenly spread.
    std::vector<std::pair<CGFloat, CGColor>> stops() const { return stopsOf(colors_, locations_); }
    // The same for any colours and locations (the renderer passes the presented ones).
    static std::vector<std::pair<CGFloat, CGColor>> stopsOf(const std::vector<CGColor>& colors,
                                                            const std::vector<CGFloat>& locations);

    std::string className() const override { return "CAGradientLayer"; }

protected:
    CAGradientLayer() = default;

private:
    std::vector<CGColor> colors_;
    std::vector<CGFloat> locations_;
    CGPoint startPoint_{0.5, 0};
    CGPoint endPoint_{0.5, 1};
};
