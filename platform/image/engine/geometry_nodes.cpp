// Affine transforms, crops and edge clamping.
#include "platform/image/engine/geometry_nodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/image/engine/render_arena.h"

bool isRectilinear(const CGAffineTransform& t) {
    return (t.b == 0 && t.c == 0 && t.a != 0 && t.d != 0) || (t.a == 0 && t.d == 0 && t.b != 0 && t.c != 0);
}

PixelRect requestPixels(const CGRect& r, const CGAffineTransform& toRequest) {
    if (CGRectIsInfinite(r)) return pixelsCovering(r);
    return pixelsCovering(CGRectApplyAffineTransform(r, toRequest));
}

Tile subTile(const Tile& t, const PixelRect& part) {
    Tile s = t;
    s.rect = part;
    std::size_t off =
        static_cast<std::size_t>(part.y - t.rect.y) * t.stride + static_cast<std::size_t>(part.x - t.rect.x);
    for (int c = 0; c < 4; ++c) s.plane[c] = t.plane[c] + off;
    return s;
}

CGAffineTransform snapTransform(const CGAffineTransform& t) {
    // Rotations by quarter turns come out of sin and cos with tiny residues; exact zeros and
    // units keep such maps rectilinear, so they move whole pixels.
    auto snap = [](double v, double tolerance) {
        double r = std::round(v);
        return std::fabs(v - r) < tolerance ? r : v;
    };
    return {snap(t.a, 1e-12), snap(t.b, 1e-12), snap(t.c, 1e-12), snap(t.d, 1e-12), snap(t.tx, 1e-9), snap(t.ty, 1e-9)};
}

TransformNode::TransformNode(NodePtr input, const CGAffineTransform& t)
    : ImageNode(CGRectIsInfinite(input->extent()) ? input->extent()
                                                  : CGRectApplyAffineTransform(input->extent(), snapTransform(t))),
      input_(std::move(input)),
      t_(snapTransform(t)) {}

void TransformNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    input_->render(out, CGAffineTransformConcat(t_, toRequest), ctx);
}

std::string TransformNode::label() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "transform [%g %g %g %g %g %g]", t_.a, t_.b, t_.c, t_.d, t_.tx, t_.ty);
    return buf;
}

CropNode::CropNode(NodePtr input, const CGRect& rect)
    : ImageNode(CGRectIsInfinite(rect) ? input->extent() : CGRectIntersection(input->extent(), rect)),
      input_(std::move(input)) {}

void CropNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    if (CGRectIsNull(extent_) || CGRectIsEmpty(extent_)) {
        out.clear();
        return;
    }
    if (isRectilinear(toRequest)) {
        // Only the kept part is asked of the input.
        PixelRect keep = intersect(requestPixels(extent_, toRequest), out.rect);
        if (keep.empty()) {
            out.clear();
            return;
        }
        Tile inner = subTile(out, keep);
        input_->render(inner, toRequest, ctx);
        out.clearOutside(keep);
        return;
    }
    input_->render(out, toRequest, ctx);
    const CGAffineTransform inv = CGAffineTransformInvert(toRequest);
    for (long j = 0; j < out.rect.h; ++j)
        for (long i = 0; i < out.rect.w; ++i) {
            CGPoint p = CGPointApplyAffineTransform(
                {static_cast<double>(out.rect.x + i) + 0.5, static_cast<double>(out.rect.y + j) + 0.5}, inv);
            if (!CGRectContainsPoint(extent_, p))
                for (int c = 0; c < 4; ++c) out.row(c, j)[i] = 0.0f;
        }
}

std::string CropNode::label() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "crop [%g %g %g %g]", extent_.origin.x, extent_.origin.y, extent_.size.width,
                  extent_.size.height);
    return buf;
}

ClampNode::ClampNode(NodePtr input) : ImageNode(CGRectInfinite()), input_(std::move(input)) {}

void ClampNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    const CGRect e = input_->extent();
    if (CGRectIsInfinite(e) || !isRectilinear(toRequest)) {
        input_->render(out, toRequest, ctx);
        return;
    }
    PixelRect inside = requestPixels(e, toRequest);
    if (inside.empty()) {
        out.clear();
        return;
    }
    auto clampTo = [](long v, long lo, long len) { return std::clamp(v, lo, lo + len - 1); };
    long x0 = clampTo(out.rect.x, inside.x, inside.w), x1 = clampTo(out.rect.x + out.rect.w - 1, inside.x, inside.w);
    long y0 = clampTo(out.rect.y, inside.y, inside.h), y1 = clampTo(out.rect.y + out.rect.h - 1, inside.y, inside.h);
    ArenaScope scope(ctx.arena);
    Tile src = Tile::allocate(ctx.arena, {x0, y0, x1 - x0 + 1, y1 - y0 + 1});
    input_->render(src, toRequest, ctx);
    for (long j = 0; j < out.rect.h; ++j) {
        long sy = clampTo(out.rect.y + j, y0, y1 - y0 + 1) - y0;
        for (int c = 0; c < 4; ++c) {
            const float* s = src.row(c, sy);
            float* d = out.row(c, j);
            for (long i = 0; i < out.rect.w; ++i) d[i] = s[clampTo(out.rect.x + i, x0, x1 - x0 + 1) - x0];
        }
    }
}
