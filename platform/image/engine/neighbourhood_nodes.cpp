// Separable Gaussian blur and edge-aware noise reduction.
#include "platform/image/engine/neighbourhood_nodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/image/engine/kernels.h"
#include "platform/image/engine/render_arena.h"

namespace {
// Below this the blur leaves pixels unchanged to within rounding.
constexpr double kMinSigma = 0.16;
// Beyond this (in output pixels) a blur is a flat average anyway; the limit bounds kernel memory.
constexpr double kMaxSigma = 256;

PixelRect grow(const PixelRect& r, long m) {
    return {r.x - m, r.y - m, r.w + 2 * m, r.h + 2 * m};
}
}  // namespace

double lengthScale(const CGAffineTransform& t) {
    return std::sqrt(std::fabs(t.a * t.d - t.b * t.c));
}

GaussianBlurNode::GaussianBlurNode(NodePtr input, double sigma)
    : ImageNode(input->extent()), input_(std::move(input)), sigma_(sigma) {
    if (!CGRectIsInfinite(extent_) && sigma_ >= kMinSigma) {
        double m = std::ceil(3 * std::min(sigma_, 1e6));
        extent_ = CGRectInset(extent_, -m, -m);
    }
}

std::string GaussianBlurNode::label() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "gaussian blur sigma %g", sigma_);
    return buf;
}

void GaussianBlurNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    const double sigma = std::min(kMaxSigma, sigma_ * lengthScale(toRequest));
    if (!(sigma >= kMinSigma)) {
        input_->render(out, toRequest, ctx);
        return;
    }
    ArenaScope scope(ctx.arena);
    const long m = static_cast<long>(std::ceil(3 * sigma));
    const std::size_t taps = static_cast<std::size_t>(2 * m + 1);
    float* w = ctx.arena.floats(taps);
    double total = 0;
    for (long k = -m; k <= m; ++k) total += std::exp(-0.5 * static_cast<double>(k * k) / (sigma * sigma));
    for (long k = -m; k <= m; ++k)
        w[k + m] = static_cast<float>(std::exp(-0.5 * static_cast<double>(k * k) / (sigma * sigma)) / total);

    Tile in = Tile::allocate(ctx.arena, grow(out.rect, m));
    input_->render(in, toRequest, ctx);
    // Horizontal pass over every input row, then vertical sums into the output.
    Tile h = Tile::allocate(ctx.arena, {out.rect.x, in.rect.y, out.rect.w, in.rect.h});
    const std::size_t width = static_cast<std::size_t>(out.rect.w);
    for (int c = 0; c < 4; ++c)
        for (long j = 0; j < in.rect.h; ++j) kernels::convolveRow(in.row(c, j), h.row(c, j), width, w, taps);
    for (int c = 0; c < 4; ++c)
        for (long j = 0; j < out.rect.h; ++j) {
            float* d = out.row(c, j);
            kernels::scaleRow(d, h.row(c, j), w[0], width);
            for (std::size_t k = 1; k < taps; ++k)
                kernels::addScaledRow(d, h.row(c, j + static_cast<long>(k)), w[k], width);
        }
}

NoiseReductionNode::NoiseReductionNode(NodePtr input, float level, float sharpness)
    : ImageNode(input->extent()), input_(std::move(input)), level_(level), sharpness_(sharpness) {}

std::string NoiseReductionNode::label() const {
    char buf[80];
    std::snprintf(buf, sizeof buf, "noise reduction level %g sharpness %g", level_, sharpness_);
    return buf;
}

void NoiseReductionNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    ArenaScope scope(ctx.arena);
    Tile in = Tile::allocate(ctx.arena, grow(out.rect, 1));
    input_->render(in, toRequest, ctx);
    const std::size_t wide = static_cast<std::size_t>(in.rect.w);
    float* luma = ctx.arena.floats(in.stride * static_cast<std::size_t>(in.rect.h) + 16);
    for (long j = 0; j < in.rect.h; ++j)
        kernels::luma(in.row(0, j), in.row(1, j), in.row(2, j), luma + in.stride * static_cast<std::size_t>(j), wide);
    // Neighbours outside the image are transparent black: their luma differs, so they drop out
    // of the smoothing of edge pixels.
    for (long j = 0; j < out.rect.h; ++j) {
        const float* rows[3][3];
        const float* lumaRows[3];
        for (int k = 0; k < 3; ++k) {
            for (int c = 0; c < 3; ++c) rows[k][c] = in.row(c, j + k) + 1;
            lumaRows[k] = luma + in.stride * static_cast<std::size_t>(j + k) + 1;
        }
        float* dst[3] = {out.row(0, j), out.row(1, j), out.row(2, j)};
        kernels::noiseReduceRow(rows, lumaRows, dst, static_cast<std::size_t>(out.rect.w), level_, sharpness_);
        std::memcpy(out.row(3, j), in.row(3, j + 1) + 1, static_cast<std::size_t>(out.rect.w) * sizeof(float));
    }
}
