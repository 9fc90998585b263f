// Recipe steps that join images per pixel: a mix of two images under a mask, a colour step run
// in another colour space, and a colour map read from a gradient image.
#pragma once

#include "platform/image/engine/image_node.h"
#include "platform/image/engine/point_node.h"

// out = a (1 - m) + b m, with m the mask's luma (transparent outside the mask: m = 0).
class MaskMixNode final : public ImageNode {
public:
    MaskMixNode(NodePtr a, NodePtr b, NodePtr mask);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {a_.get(), b_.get(), mask_.get()}; }
    std::string label() const override { return "mix by mask"; }

private:
    NodePtr a_, b_, mask_;
};

// A per-pixel step run in the given colour space: working values are converted there, the step
// runs on straight colour, and the result is converted back. Without colour management the
// step runs on the values as they are.
class SpaceOpNode final : public ImageNode {
public:
    SpaceOpNode(NodePtr input, std::shared_ptr<CGColorSpace> space, std::shared_ptr<const PointOp> op);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override { return "in colour space: " + op_->label(); }

private:
    NodePtr input_;
    std::shared_ptr<CGColorSpace> space_;
    std::shared_ptr<const PointOp> op_;
};

// Each pixel's luma (0...1) picks a colour along the middle row of the gradient image's extent
// (its first 256 pixels when infinite), interpolated linearly; the gradient's alpha multiplies the
// pixel's.
class ColorMapNode final : public ImageNode {
public:
    ColorMapNode(NodePtr input, NodePtr gradient);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    void prepare(RenderJob& job, RenderArena& arena) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get(), gradient_.get()}; }
    std::string label() const override { return "colour map"; }

private:
    NodePtr input_, gradient_;
};
