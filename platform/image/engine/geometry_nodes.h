// Geometry steps of a recipe: affine transforms, crops and edge clamping.
#pragma once

#include "platform/image/engine/image_node.h"

// The input mapped by an affine transform; only changes the map a render passes down.
class TransformNode final : public ImageNode {
public:
    TransformNode(NodePtr input, const CGAffineTransform& t);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override;
    const CGAffineTransform& transform() const { return t_; }
    const NodePtr& input() const { return input_; }

private:
    NodePtr input_;
    CGAffineTransform t_;
};

// The input limited to a rectangle; pixels whose centres fall outside are transparent.
class CropNode final : public ImageNode {
public:
    CropNode(NodePtr input, const CGRect& rect);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override;

private:
    NodePtr input_;
};

// The input extended without end: pixels outside take the nearest edge pixel.
class ClampNode final : public ImageNode {
public:
    explicit ClampNode(NodePtr input);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override { return "clamp to extent"; }

private:
    NodePtr input_;
};

// The transform with entries within rounding of whole numbers made whole.
CGAffineTransform snapTransform(const CGAffineTransform& t);
// Whether a map keeps rectangles rectangles (scales, flips, quarter turns, translations).
bool isRectilinear(const CGAffineTransform& t);
// The node-space rectangle as whole request pixels (for rectilinear maps).
PixelRect requestPixels(const CGRect& r, const CGAffineTransform& toRequest);
// A view of part of a tile (same memory).
Tile subTile(const Tile& t, const PixelRect& part);
