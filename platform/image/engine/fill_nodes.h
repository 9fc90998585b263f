// Recipe nodes that make pixels without reading an input image: a colour everywhere, and a
// reduction's result (one pixel computed before the tiles).
#pragma once

#include <functional>

#include "platform/image/engine/image_node.h"

// A colour of infinite extent, in the colour space given (none: used as stored).
class ColorNode final : public ImageNode {
public:
    ColorNode(const float rgba[4], std::shared_ptr<CGColorSpace> space);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    void prepare(RenderJob& job, RenderArena& arena) const override;
    std::string label() const override;

private:
    float rgba_[4];
    std::shared_ptr<CGColorSpace> space_;
};

// The average colour of a rectangle of the input, as a 1 x 1 image at the rectangle's origin.
class AreaAverageNode final : public ImageNode {
public:
    AreaAverageNode(NodePtr input, const CGRect& area);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    void prepare(RenderJob& job, RenderArena& arena) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override;

private:
    NodePtr input_;
    CGRect area_;
};
