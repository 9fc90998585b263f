// Warps by an arbitrary point map: the input is rendered at the request's scale over the area
// the tile reads, then sampled bilinearly.
#include "platform/image/engine/warp_node.h"

#include <algorithm>
#include <cmath>

#include "platform/image/engine/neighbourhood_nodes.h"
#include "platform/image/engine/render_arena.h"

namespace {
// Bounds the input pixels one tile reads (a map near its horizon would ask for the world): beyond
// it the input is read at a lower resolution.
constexpr double kMaxPixels = 4 << 20;
}  // namespace

WarpNode::WarpNode(NodePtr input, const CGRect& extent, PointMap map, std::string name, bool clampEdges)
    : ImageNode(extent),
      input_(std::move(input)),
      map_(std::move(map)),
      name_(std::move(name)),
      clampEdges_(clampEdges && !CGRectIsInfinite(input_->extent()) && !CGRectIsEmpty(input_->extent())) {}

void WarpNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    out.clear();
    const CGAffineTransform inv = CGAffineTransformInvert(toRequest);
    const double s = std::max(1e-6, lengthScale(toRequest));
    // The input area the tile reads: the images of its corners and edge midpoints.
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    const double X0 = static_cast<double>(out.rect.x), Y0 = static_cast<double>(out.rect.y);
    const double X1 = X0 + static_cast<double>(out.rect.w), Y1 = Y0 + static_cast<double>(out.rect.h);
    const double us[3] = {X0, 0.5 * (X0 + X1), X1}, vs[3] = {Y0, 0.5 * (Y0 + Y1), Y1};
    const CGRect ie = input_->extent();
    // Edge clamping keeps samples half a rendered pixel inside the input.
    const double inset = 0.5 / s;
    auto mapped = [&](double x, double y, double& sx, double& sy) {
        if (!map_(x, y, sx, sy)) return false;
        if (clampEdges_) {
            sx = std::clamp(sx, CGRectGetMinX(ie) + inset,
                            std::max(CGRectGetMinX(ie) + inset, CGRectGetMaxX(ie) - inset));
            sy = std::clamp(sy, CGRectGetMinY(ie) + inset,
                            std::max(CGRectGetMinY(ie) + inset, CGRectGetMaxY(ie) - inset));
        }
        return true;
    };
    for (double u : us)
        for (double v : vs) {
            double sx, sy;
            if (!mapped(inv.a * u + inv.c * v + inv.tx, inv.b * u + inv.d * v + inv.ty, sx, sy)) continue;
            x0 = std::min(x0, sx), y0 = std::min(y0, sy), x1 = std::max(x1, sx), y1 = std::max(y1, sy);
        }
    if (!(x0 <= x1 && y0 <= y1)) return;
    CGRect area = CGRectIntersection(CGRectMake(x0 - 2, y0 - 2, x1 - x0 + 4, y1 - y0 + 4), CGRectInset(ie, -2, -2));
    if (CGRectIsEmpty(area) || CGRectIsNull(area)) return;
    double rs = s;  // the scale the input is read at
    const double pixels = area.size.width * s * area.size.height * s;
    if (!(pixels <= kMaxPixels)) rs = std::isfinite(pixels) ? s * std::sqrt(kMaxPixels / pixels) : 0;
    if (!(rs > 0) || !std::isfinite(area.size.width * rs) || !std::isfinite(area.size.height * rs)) return;
    const double ax = std::floor(CGRectGetMinX(area) * rs), ay = std::floor(CGRectGetMinY(area) * rs);
    const long w = static_cast<long>(std::ceil(CGRectGetMaxX(area) * rs) - ax) + 1;
    const long h = static_cast<long>(std::ceil(CGRectGetMaxY(area) * rs) - ay) + 1;
    if (w <= 0 || h <= 0) return;
    ArenaScope scope(ctx.arena);
    Tile in = Tile::allocate(ctx.arena, {static_cast<long>(ax), static_cast<long>(ay), w, h});
    input_->render(in, CGAffineTransformMakeScale(rs, rs), ctx);
    for (long j = 0; j < out.rect.h; ++j)
        for (long i = 0; i < out.rect.w; ++i) {
            const double u = X0 + static_cast<double>(i) + 0.5, v = Y0 + static_cast<double>(j) + 0.5;
            double sx, sy;
            if (!mapped(inv.a * u + inv.c * v + inv.tx, inv.b * u + inv.d * v + inv.ty, sx, sy)) continue;
            // Bilinear between the four pixel centres around the point; outside is transparent.
            const double fx = sx * rs - ax - 0.5, fy = sy * rs - ay - 0.5;
            if (!(fx > -1 && fy > -1 && fx < static_cast<double>(w) && fy < static_cast<double>(h))) continue;
            const long ix = static_cast<long>(std::floor(fx)), iy = static_cast<long>(std::floor(fy));
            const float tx = static_cast<float>(fx - static_cast<double>(ix)),
                        ty = static_cast<float>(fy - static_cast<double>(iy));
            const float wt[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
            const long px[4] = {ix, ix + 1, ix, ix + 1}, py[4] = {iy, iy, iy + 1, iy + 1};
            for (int c = 0; c < 4; ++c) {
                float sum = 0;
                for (int k = 0; k < 4; ++k)
                    if (px[k] >= 0 && py[k] >= 0 && px[k] < w && py[k] < h) sum += wt[k] * in.row(c, py[k])[px[k]];
                out.row(c, j)[i] = sum;
            }
        }
}
