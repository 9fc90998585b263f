// SourceOverNode: one image laid over another (premultiplied source-over).
#pragma once

#include "platform/image/engine/image_node.h"

class SourceOverNode final : public ImageNode {
public:
    SourceOverNode(NodePtr foreground, NodePtr background);
    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    std::vector<const ImageNode*> inputs() const override { return {foreground_.get(), background_.get()}; }
    std::string label() const override { return "source over"; }

private:
    NodePtr foreground_, background_;
};
