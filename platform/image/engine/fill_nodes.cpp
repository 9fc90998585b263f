// Constant colours and area averages.
#include "platform/image/engine/fill_nodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/image/engine/bitmap_source.h"
#include "platform/image/engine/color_transform.h"
#include "platform/image/engine/geometry_nodes.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/engine/render_arena.h"

namespace {

void fillRect(const Tile& out, const PixelRect& where, const float premultiplied[4]) {
    PixelRect k = intersect(where, out.rect);
    out.clearOutside(k);
    for (long j = k.y - out.rect.y; j < k.y - out.rect.y + k.h; ++j)
        for (int c = 0; c < 4; ++c) {
            float* p = out.row(c, j) + (k.x - out.rect.x);
            std::fill(p, p + k.w, premultiplied[c]);
        }
}

}  // namespace

ColorNode::ColorNode(const float rgba[4], std::shared_ptr<CGColorSpace> space)
    : ImageNode(CGRectInfinite()), rgba_{rgba[0], rgba[1], rgba[2], rgba[3]}, space_(std::move(space)) {}

void ColorNode::render(const Tile& out, const CGAffineTransform&, TileContext& ctx) const {
    float c[4] = {rgba_[0], rgba_[1], rgba_[2], rgba_[3]};
    if (const ColorTransformPlan* plan = ctx.job.conversionFor(this)) plan->applyToColor(c);
    for (int k = 0; k < 3; ++k) c[k] *= c[3];
    fillRect(out, out.rect, c);
}

void ColorNode::prepare(RenderJob& job, RenderArena&) const {
    if (auto plan = ColorTransformPlan::between(space_, job.working))
        job.conversions.push_back({this, std::move(plan)});
}

std::string ColorNode::label() const {
    char buf[128];
    std::snprintf(buf, sizeof buf, "colour (%g %g %g %g)", rgba_[0], rgba_[1], rgba_[2], rgba_[3]);
    return buf;
}

AreaAverageNode::AreaAverageNode(NodePtr input, const CGRect& area)
    : ImageNode(CGRectMake(std::floor(area.origin.x), std::floor(area.origin.y), 1, 1)),
      input_(std::move(input)),
      area_(area) {}

void AreaAverageNode::prepare(RenderJob& job, RenderArena& arena) const {
    std::vector<float> result(4, 0.0f);
    PixelRect whole = pixelsCovering(CGRectIntersection(area_, CGRectInfinite()));
    const auto* bitmap = dynamic_cast<const BitmapSource*>(input_.get());
    double sums[4] = {0, 0, 0, 0};
    const bool holdsBitmap = bitmap && !whole.empty() && !CGRectIsInfinite(area_) &&
                             intersect(whole, pixelsCovering(bitmap->extent())) == pixelsCovering(bitmap->extent());
    if (holdsBitmap && !job.conversionFor(bitmap) && bitmap->sumPixels(sums)) {
        // An area holding the whole of a bitmap (a camera frame's brightness): its pixels summed as
        // stored, whatever its orientation, without rendering them.
        const double count = static_cast<double>(whole.w) * static_cast<double>(whole.h);
        for (int c = 0; c < 4; ++c) result[c] = static_cast<float>(sums[c] / count);
    } else if (!whole.empty() && !CGRectIsInfinite(area_)) {
        // Large areas are averaged from an area-averaged smaller rendering.
        double s = std::min(1.0, 1024.0 / static_cast<double>(std::max(whole.w, whole.h)));
        CGAffineTransform A = CGAffineTransformMakeScale(s, s);
        PixelRect r = requestPixels(CGRectMake(static_cast<double>(whole.x), static_cast<double>(whole.y),
                                               static_cast<double>(whole.w), static_cast<double>(whole.h)),
                                    A);
        TileContext ctx{arena, job};
        for (long y = r.y; y < r.y + r.h; y += 32) {
            ArenaScope scope(arena);
            Tile band = Tile::allocate(arena, {r.x, y, r.w, std::min(32L, r.y + r.h - y)});
            input_->render(band, A, ctx);
            for (long j = 0; j < band.rect.h; ++j)
                kernels::sumPlanes(band.row(0, j), band.row(1, j), band.row(2, j), band.row(3, j),
                                   static_cast<std::size_t>(band.rect.w), sums);
        }
        double count = static_cast<double>(r.w) * static_cast<double>(r.h);
        if (count > 0)
            for (int c = 0; c < 4; ++c) result[c] = static_cast<float>(sums[c] / count);
    }
    job.prepared.push_back({this, std::move(result)});
}

void AreaAverageNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    const std::vector<float>* v = ctx.job.preparedFor(this);
    float zero[4] = {0, 0, 0, 0};
    const float* c = v ? v->data() : zero;
    if (isRectilinear(toRequest))
        fillRect(out, requestPixels(extent_, toRequest), c);
    else
        fillRect(out, out.rect, c);
}

std::string AreaAverageNode::label() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "area average [%g %g %g %g]", area_.origin.x, area_.origin.y, area_.size.width,
                  area_.size.height);
    return buf;
}
