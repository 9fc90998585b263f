// Recipe steps that read a neighbourhood of each pixel: Gaussian blur and noise reduction.
//
// Their sizes are given in the node's own pixels; a render at another scale uses them scaled by
// the map's scale, so a preview costs what its output pixels cost.
#pragma once

#include "platform/image/engine/image_node.h"

class GaussianBlurNode final : public ImageNode {
public:
    GaussianBlurNode(NodePtr input, double sigma);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override;

private:
    NodePtr input_;
    double sigma_;
};

class NoiseReductionNode final : public ImageNode {
public:
    NoiseReductionNode(NodePtr input, float level, float sharpness);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override;

private:
    NodePtr input_;
    float level_, sharpness_;
};

// The scale a map applies to lengths (square root of its determinant's magnitude).
double lengthScale(const CGAffineTransform& t);
