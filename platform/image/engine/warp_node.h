// WarpNode: the input resampled through a point map that need not be affine (perspective,
// non-uniform stretches).
#pragma once

#include <functional>

#include "platform/image/engine/image_node.h"

class WarpNode final : public ImageNode {
public:
    // Maps a point of the output's space to the input's space; false where nothing maps.
    // The map must take straight lines to curves whose extremes lie at their ends (projective
    // maps and monotone stretches do), so the corners of a tile bound what it reads.
    using PointMap = std::function<bool(double x, double y, double& sx, double& sy)>;

    // With clampEdges, points outside the input read its nearest edge instead of transparency.
    WarpNode(NodePtr input, const CGRect& extent, PointMap map, std::string name, bool clampEdges = false);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override { return "warp " + name_; }

private:
    NodePtr input_;
    PointMap map_;
    std::string name_;
    bool clampEdges_;
};
