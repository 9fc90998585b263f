// Recipe steps that combine each pixel's neighbours with fixed weights, or take their median.
//
// Like the other neighbourhood steps they work in the pixels of the render (a preview applies the
// kernel to its own pixels) and read transparent black outside the input's extent.
#pragma once

#include <vector>

#include "platform/image/engine/image_node.h"

// out = clamp(sum of weight x neighbour + bias, 0, 1) on all four planes. Weights are `rows` rows
// of `columns`, the first row the top one; both sizes odd. The extent grows by half the kernel.
class ConvolutionNode final : public ImageNode {
public:
    ConvolutionNode(NodePtr input, std::vector<float> weights, int columns, int rows, float bias);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override;

private:
    NodePtr input_;
    std::vector<float> weights_;
    int columns_, rows_;
    float bias_;
};

// The median of each 3 x 3 neighbourhood, plane by plane.
class MedianNode final : public ImageNode {
public:
    explicit MedianNode(NodePtr input) : ImageNode(input->extent()), input_(std::move(input)) {}
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override { return "median 3x3"; }

private:
    NodePtr input_;
};
