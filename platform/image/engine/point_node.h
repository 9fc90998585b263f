// Per-pixel colour steps, and the node that runs a chain of them in one pass over each tile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/image/engine/image_node.h"

// A run of pixels of one row, with where their centres lie in the node's space.
struct PixelSpan {
    float* r;
    float* g;
    float* b;
    float* a;
    std::size_t n;
    double x0, y0;  // centre of the first pixel
    double dx, dy;  // step from one pixel to the next
};

class PointOp {
public:
    virtual ~PointOp() = default;
    virtual void apply(const PixelSpan& span) const = 0;
    // Whether the step wants colour divided by alpha (most colour maps do; scalings do not).
    virtual bool straightAlpha() const { return true; }
    // Whether the step may change alpha (then colour is premultiplied again after the chain).
    virtual bool changesAlpha() const { return false; }
    virtual std::string label() const = 0;
    // Opaque 8-bit pixels straight to 8-bit pixels, for a step that is a whole chain and can
    // give the bytes of the float path, or bytes within one level of them, that way. False: dst
    // may be partly written and the caller writes the run the float way.
    virtual bool applyToBytes(const std::uint8_t* src, bool bgraIn, std::uint8_t* dst, bool bgraOut,
                              std::size_t n) const {
        (void)src, (void)bgraIn, (void)dst, (void)bgraOut, (void)n;
        return false;
    }
};

// A chain of point steps down to the first node that is not one, run over runs of pixels.
struct PointChain {
    static constexpr std::size_t kMax = 64;
    const PointOp* ops[kMax];  // outermost first
    std::size_t count = 0;
    const ImageNode* base = nullptr;
    bool alphaMayChange = false;

    static PointChain of(const ImageNode& top);
    // Runs every step, innermost first, over one run of a row.
    void apply(const PixelSpan& span) const;
    // Runs the chain over every row of a tile filled by the base; toRequest maps node space to
    // the tile's space (for steps that depend on position).
    void applyToTile(const Tile& tile, const CGAffineTransform& toRequest) const;
};

class PointNode final : public ImageNode {
public:
    PointNode(NodePtr input, std::shared_ptr<const PointOp> op)
        : ImageNode(input->extent()), input_(std::move(input)), op_(std::move(op)) {}

    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    const PointOp* pointOp() const override { return op_.get(); }
    std::vector<const ImageNode*> inputs() const override { return {input_.get()}; }
    std::string label() const override { return "point " + op_->label(); }
    const NodePtr& input() const { return input_; }

private:
    NodePtr input_;
    std::shared_ptr<const PointOp> op_;
};

// Convenience for filters: the input with the step applied (the input itself when op is null).
NodePtr applyPoint(NodePtr input, std::shared_ptr<const PointOp> op);
