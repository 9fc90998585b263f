// Fixed-weight convolution and the 3 x 3 median.
#include "platform/image/engine/convolution_node.h"

#include <cstdio>

#include "platform/image/engine/filter_kernels.h"
#include "platform/image/engine/render_arena.h"

ConvolutionNode::ConvolutionNode(NodePtr input, std::vector<float> weights, int columns, int rows, float bias)
    : ImageNode(input->extent()),
      input_(std::move(input)),
      weights_(std::move(weights)),
      columns_(columns),
      rows_(rows),
      bias_(bias) {
    if (!CGRectIsInfinite(extent_)) extent_ = CGRectInset(extent_, -(columns_ / 2), -(rows_ / 2));
}

std::string ConvolutionNode::label() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "convolution %dx%d bias %g", columns_, rows_, static_cast<double>(bias_));
    return buf;
}

void ConvolutionNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    ArenaScope scope(ctx.arena);
    const long mx = columns_ / 2, my = rows_ / 2;
    Tile in = Tile::allocate(ctx.arena, {out.rect.x - mx, out.rect.y - my, out.rect.w + 2 * mx, out.rect.h + 2 * my});
    input_->render(in, toRequest, ctx);
    const std::size_t n = static_cast<std::size_t>(out.rect.w);
    std::vector<const float*> rows(static_cast<std::size_t>(rows_));
    for (int c = 0; c < 4; ++c)
        for (long j = 0; j < out.rect.h; ++j) {
            // Row r of the weights (the top one first) lies my - r rows above the output row.
            for (int r = 0; r < rows_; ++r) rows[static_cast<std::size_t>(r)] = in.row(c, j + 2 * my - r);
            kernels::convolveClampRow(rows.data(), static_cast<std::size_t>(rows_), static_cast<std::size_t>(columns_),
                                      weights_.data(), bias_, out.row(c, j), n);
        }
}

void MedianNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    ArenaScope scope(ctx.arena);
    Tile in = Tile::allocate(ctx.arena, {out.rect.x - 1, out.rect.y - 1, out.rect.w + 2, out.rect.h + 2});
    input_->render(in, toRequest, ctx);
    const std::size_t n = static_cast<std::size_t>(out.rect.w);
    for (int c = 0; c < 4; ++c)
        for (long j = 0; j < out.rect.h; ++j) {
            const float* rows[3] = {in.row(c, j) + 1, in.row(c, j + 1) + 1, in.row(c, j + 2) + 1};
            kernels::median3Row(rows, out.row(c, j), n);
        }
}
