// Runs a chain of per-pixel steps over each tile in one pass, a short run of a row at a time.
#include "platform/image/engine/point_node.h"

#include <algorithm>

#include "platform/image/engine/kernels.h"

namespace {
constexpr std::size_t kRun = 512;  // pixels per run: all planes stay in the first-level cache
}  // namespace

PointChain PointChain::of(const ImageNode& top) {
    PointChain chain;
    const ImageNode* node = &top;
    while (chain.count < kMax && node->pointOp()) {
        chain.ops[chain.count] = node->pointOp();
        chain.alphaMayChange = chain.alphaMayChange || chain.ops[chain.count]->changesAlpha();
        ++chain.count;
        node = static_cast<const PointNode*>(node)->input().get();
    }
    chain.base = node;
    return chain;
}

void PointChain::apply(const PixelSpan& span) const {
    // Once a step wants straight colour, the rest of the chain gets it too; steps may change
    // alpha (a cube with alpha), so colour is premultiplied again at the end.
    bool straight = false, translucent = false;
    for (std::size_t k = count; k-- > 0;) {
        if (ops[k]->straightAlpha() && !straight) {
            translucent = kernels::unpremultiply(span.r, span.g, span.b, span.a, span.n);
            straight = true;
        }
        ops[k]->apply(span);
    }
    if (straight && (translucent || alphaMayChange)) kernels::premultiply(span.r, span.g, span.b, span.a, span.n);
}

void PointChain::applyToTile(const Tile& out, const CGAffineTransform& toRequest) const {
    const CGAffineTransform inv = CGAffineTransformInvert(toRequest);
    for (long j = 0; j < out.rect.h; ++j) {
        for (long i0 = 0; i0 < out.rect.w; i0 += static_cast<long>(kRun)) {
            std::size_t n = std::min<std::size_t>(kRun, static_cast<std::size_t>(out.rect.w - i0));
            double u = static_cast<double>(out.rect.x + i0) + 0.5, v = static_cast<double>(out.rect.y + j) + 0.5;
            apply({out.row(0, j) + i0, out.row(1, j) + i0, out.row(2, j) + i0, out.row(3, j) + i0, n,
                   inv.a * u + inv.c * v + inv.tx, inv.b * u + inv.d * v + inv.ty, inv.a, inv.b});
        }
    }
}

void PointNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    const PointChain chain = PointChain::of(*this);
    chain.base->render(out, toRequest, ctx);
    chain.applyToTile(out, toRequest);
}

NodePtr applyPoint(NodePtr input, std::shared_ptr<const PointOp> op) {
    if (!op) return input;
    return std::make_shared<PointNode>(std::move(input), std::move(op));
}
