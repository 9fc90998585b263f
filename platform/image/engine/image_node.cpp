// Pixel rectangles, tiles and walks over recipe graphs.
#include "platform/image/engine/image_node.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <unordered_set>

#include "platform/image/engine/render_arena.h"

namespace {
constexpr double kLimit = 1099511627776.0;  // 2^40: far beyond any bitmap, safe in a long
double clampCoord(double v) {
    return std::isnan(v) ? 0.0 : std::clamp(v, -kLimit, kLimit);
}
// Rectangles that overflowed to infinities (or NaN widths) count as reaching the limits.
void bounds(const CGRect& r, double& x0, double& y0, double& x1, double& y1) {
    CGRect s = CGRectStandardize(r);
    x0 = std::isnan(s.origin.x) ? -kLimit : clampCoord(s.origin.x);
    y0 = std::isnan(s.origin.y) ? -kLimit : clampCoord(s.origin.y);
    double ex = s.origin.x + s.size.width, ey = s.origin.y + s.size.height;
    x1 = std::isnan(ex) ? kLimit : clampCoord(ex);
    y1 = std::isnan(ey) ? kLimit : clampCoord(ey);
}
}  // namespace

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
    long x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    long x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    if (x1 <= x0 || y1 <= y0) return {x0, y0, 0, 0};
    return {x0, y0, x1 - x0, y1 - y0};
}

PixelRect pixelsCovering(const CGRect& r) {
    if (CGRectIsNull(r) || CGRectIsEmpty(r)) return {};
    double bx0, by0, bx1, by1;
    bounds(r, bx0, by0, bx1, by1);
    // Pixel i is inside when its centre i + 0.5 lies in [min, max).
    double x0 = std::ceil(bx0 - 0.5), y0 = std::ceil(by0 - 0.5);
    double x1 = std::ceil(bx1 - 0.5), y1 = std::ceil(by1 - 0.5);
    if (x1 <= x0 || y1 <= y0) return {};
    return {static_cast<long>(x0), static_cast<long>(y0), static_cast<long>(x1 - x0), static_cast<long>(y1 - y0)};
}

PixelRect pixelsTouching(const CGRect& r) {
    if (CGRectIsNull(r) || CGRectIsEmpty(r)) return {};
    double bx0, by0, bx1, by1;
    bounds(r, bx0, by0, bx1, by1);
    double x0 = std::floor(bx0), y0 = std::floor(by0), x1 = std::ceil(bx1), y1 = std::ceil(by1);
    return {static_cast<long>(x0), static_cast<long>(y0), static_cast<long>(x1 - x0), static_cast<long>(y1 - y0)};
}

void Tile::clear() const {
    for (int c = 0; c < 4; ++c)
        for (long j = 0; j < rect.h; ++j) std::memset(row(c, j), 0, static_cast<std::size_t>(rect.w) * sizeof(float));
}

void Tile::clearOutside(const PixelRect& keep) const {
    PixelRect k = intersect(keep, rect);
    for (long j = 0; j < rect.h; ++j) {
        long y = rect.y + j;
        bool rowInside = !k.empty() && y >= k.y && y < k.y + k.h;
        for (int c = 0; c < 4; ++c) {
            float* p = row(c, j);
            if (!rowInside) {
                std::memset(p, 0, static_cast<std::size_t>(rect.w) * sizeof(float));
                continue;
            }
            long left = k.x - rect.x, right = k.x + k.w - rect.x;
            if (left > 0) std::memset(p, 0, static_cast<std::size_t>(left) * sizeof(float));
            if (right < rect.w) std::memset(p + right, 0, static_cast<std::size_t>(rect.w - right) * sizeof(float));
        }
    }
}

Tile Tile::allocate(RenderArena& arena, const PixelRect& rect) {
    Tile t;
    t.rect = rect;
    // Rows padded to whole cache lines, plus room for a full vector past the end.
    t.stride = (static_cast<std::size_t>(std::max(rect.w, 0L)) + 15) & ~std::size_t{15};
    std::size_t planeSize = t.stride * static_cast<std::size_t>(std::max(rect.h, 0L)) + 16;
    for (auto& p : t.plane) p = arena.floats(planeSize);
    return t;
}

std::string describePlan(const ImageNode& root) {
    std::string out;
    std::function<void(const ImageNode&, int)> walk = [&](const ImageNode& node, int depth) {
        out.append(static_cast<std::size_t>(depth) * 2, ' ');
        out += node.label();
        out += '\n';
        for (const ImageNode* input : node.inputs())
            if (input) walk(*input, depth + 1);
    };
    walk(root, 0);
    return out;
}

void prepareGraph(const ImageNode& root, RenderJob& job, RenderArena& arena) {
    std::unordered_set<const ImageNode*> done;
    std::function<void(const ImageNode&)> walk = [&](const ImageNode& node) {
        if (!done.insert(&node).second) return;
        for (const ImageNode* input : node.inputs())
            if (input) walk(*input);
        node.prepare(job, arena);
    };
    walk(root);
}

CGSize largestSource(const ImageNode& root) {
    CGSize best{0, 0};
    std::function<void(const ImageNode&)> walk = [&](const ImageNode& node) {
        CGSize s = node.sourcePixelSize();
        best.width = std::max(best.width, s.width);
        best.height = std::max(best.height, s.height);
        for (const ImageNode* input : node.inputs())
            if (input) walk(*input);
    };
    walk(root);
    return best;
}
