// Mask mixes, steps in another colour space, and gradient colour maps.
#include "platform/image/engine/mix_nodes.h"

#include <algorithm>
#include <cmath>

#include "platform/image/engine/color_transform.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/engine/render_arena.h"

namespace {
constexpr long kMaxGradient = 4096;  // samples of a colour map's gradient
}  // namespace

MaskMixNode::MaskMixNode(NodePtr a, NodePtr b, NodePtr mask)
    : ImageNode(CGRectUnion(a->extent(), b->extent())), a_(std::move(a)), b_(std::move(b)), mask_(std::move(mask)) {}

void MaskMixNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    ArenaScope scope(ctx.arena);
    a_->render(out, toRequest, ctx);
    Tile b = Tile::allocate(ctx.arena, out.rect);
    b_->render(b, toRequest, ctx);
    Tile m = Tile::allocate(ctx.arena, out.rect);
    mask_->render(m, toRequest, ctx);
    const std::size_t n = static_cast<std::size_t>(out.rect.w);
    float* y = ctx.arena.floats(n + 16);
    for (long j = 0; j < out.rect.h; ++j) {
        kernels::luma(m.row(0, j), m.row(1, j), m.row(2, j), y, n);
        for (int c = 0; c < 4; ++c) {
            float* d = out.row(c, j);
            const float* s = b.row(c, j);
            for (std::size_t i = 0; i < n; ++i) d[i] += (s[i] - d[i]) * y[i];
        }
    }
}

SpaceOpNode::SpaceOpNode(NodePtr input, std::shared_ptr<CGColorSpace> space, std::shared_ptr<const PointOp> op)
    : ImageNode(input->extent()), input_(std::move(input)), space_(std::move(space)), op_(std::move(op)) {}

void SpaceOpNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    input_->render(out, toRequest, ctx);
    auto there = ColorTransformPlan::between(ctx.job.working, space_);
    auto back = ColorTransformPlan::between(space_, ctx.job.working);
    PointChain chain;
    chain.ops[0] = op_.get();
    chain.count = 1;
    chain.alphaMayChange = op_->changesAlpha();
    const std::size_t n = static_cast<std::size_t>(out.rect.w);
    const CGAffineTransform inv = CGAffineTransformInvert(toRequest);
    for (long j = 0; j < out.rect.h; ++j) {
        float* p[4] = {out.row(0, j), out.row(1, j), out.row(2, j), out.row(3, j)};
        if (there) there->apply(p[0], p[1], p[2], p[3], n);
        const double u = static_cast<double>(out.rect.x) + 0.5, v = static_cast<double>(out.rect.y + j) + 0.5;
        chain.apply(
            {p[0], p[1], p[2], p[3], n, inv.a * u + inv.c * v + inv.tx, inv.b * u + inv.d * v + inv.ty, inv.a, inv.b});
        if (back) back->apply(p[0], p[1], p[2], p[3], n);
    }
}

ColorMapNode::ColorMapNode(NodePtr input, NodePtr gradient)
    : ImageNode(input->extent()), input_(std::move(input)), gradient_(std::move(gradient)) {}

void ColorMapNode::prepare(RenderJob& job, RenderArena& arena) const {
    CGRect e = gradient_->extent();
    if (CGRectIsInfinite(e)) e = CGRectMake(0, 0, 256, 1);
    std::vector<float> table;
    if (!CGRectIsEmpty(e)) {
        const long n = std::clamp(static_cast<long>(std::lround(e.size.width)), 1L, kMaxGradient);
        // One row of n pixels across the gradient, through its middle.
        const double sx = static_cast<double>(n) / e.size.width;
        const CGAffineTransform A = {sx, 0, 0, 1, -e.origin.x * sx, -std::floor(CGRectGetMidY(e))};
        ArenaScope scope(arena);
        Tile row = Tile::allocate(arena, {0, 0, n, 1});
        TileContext ctx{arena, job};
        gradient_->render(row, A, ctx);
        table.resize(static_cast<std::size_t>(n) * 4);
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < 4; ++c) table[static_cast<std::size_t>(i * 4 + c)] = row.row(c, 0)[i];
    }
    job.prepared.push_back({this, std::move(table)});
}

void ColorMapNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    input_->render(out, toRequest, ctx);
    const std::vector<float>* table = ctx.job.preparedFor(this);
    const std::size_t n = static_cast<std::size_t>(out.rect.w);
    const std::size_t size = table ? table->size() / 4 : 0;
    for (long j = 0; j < out.rect.h; ++j) {
        float* p[4] = {out.row(0, j), out.row(1, j), out.row(2, j), out.row(3, j)};
        for (std::size_t i = 0; i < n; ++i) {
            const float a = p[3][i];
            if (size == 0 || a <= 0) {
                for (int c = 0; c < 4; ++c) p[c][i] = 0;
                continue;
            }
            const float y = std::clamp((0.2126f * p[0][i] + 0.7152f * p[1][i] + 0.0722f * p[2][i]) / a, 0.0f, 1.0f);
            const float f = y * static_cast<float>(size - 1);
            const std::size_t k = std::min(static_cast<std::size_t>(f), size - 1), k1 = std::min(k + 1, size - 1);
            const float t = f - static_cast<float>(k);
            // The gradient's colours are premultiplied by its alpha; the pixel's alpha scales all.
            for (int c = 0; c < 4; ++c)
                p[c][i] = a * ((*table)[k * 4 + static_cast<std::size_t>(c)] * (1 - t) +
                               (*table)[k1 * 4 + static_cast<std::size_t>(c)] * t);
        }
    }
}
