// "CIPerspectiveCorrection": the quadrilateral inputTopLeft, inputTopRight, inputBottomRight,
// inputBottomLeft of the input is mapped onto an upright rectangle as wide as the longer of its
// top and bottom edges and as tall as the longer of its sides, with its bottom-left corner at
// inputBottomLeft. With inputCrop the output is that rectangle; without it the whole input is
// mapped the same way. A quadrilateral without area gives no output.
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/image/engine/warp_node.h"
#include "platform/image/filters/filter_kit.h"

namespace {

using Homography = std::array<double, 9>;  // row-major, maps (x, y, 1)

// The projective map taking the unit square's corners (0,0), (1,0), (1,1), (0,1) to p0...p3.
bool squareToQuad(const CGPoint p[4], Homography& h) {
    const double sx = p[0].x - p[1].x + p[2].x - p[3].x, sy = p[0].y - p[1].y + p[2].y - p[3].y;
    const double dx1 = p[1].x - p[2].x, dx2 = p[3].x - p[2].x, dy1 = p[1].y - p[2].y, dy2 = p[3].y - p[2].y;
    const double den = dx1 * dy2 - dx2 * dy1;
    if (!(std::fabs(den) > 1e-12)) return false;
    const double g = (sx * dy2 - dx2 * sy) / den, k = (dx1 * sy - sx * dy1) / den;
    h = {p[1].x - p[0].x + g * p[1].x,
         p[3].x - p[0].x + k * p[3].x,
         p[0].x,
         p[1].y - p[0].y + g * p[1].y,
         p[3].y - p[0].y + k * p[3].y,
         p[0].y,
         g,
         k,
         1};
    return true;
}

bool invert(const Homography& m, Homography& r) {
    const double det =
        m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (!(std::fabs(det) > 1e-18)) return false;
    r = {(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det, (m[1] * m[5] - m[2] * m[4]) / det,
         (m[5] * m[6] - m[3] * m[8]) / det, (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
         (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det, (m[0] * m[4] - m[1] * m[3]) / det};
    return true;
}

bool apply(const Homography& h, double x, double y, double& ox, double& oy) {
    const double w = h[6] * x + h[7] * y + h[8];
    if (!(w > 1e-12)) return false;
    ox = (h[0] * x + h[1] * y + h[2]) / w;
    oy = (h[3] * x + h[4] * y + h[5]) / w;
    return true;
}

std::shared_ptr<CIImage> perspectiveCorrection(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    auto tl = f.vectorInput("inputTopLeft"), tr = f.vectorInput("inputTopRight");
    auto br = f.vectorInput("inputBottomRight"), bl = f.vectorInput("inputBottomLeft");
    if (!input || !tl || !tr || !br || !bl) return nullptr;
    const CGPoint quad[4] = {bl->CGPointValue(), br->CGPointValue(), tr->CGPointValue(), tl->CGPointValue()};
    auto dist = [](CGPoint a, CGPoint b) { return std::hypot(a.x - b.x, a.y - b.y); };
    const double w = std::max(dist(quad[0], quad[1]), dist(quad[3], quad[2]));
    const double h = std::max(dist(quad[0], quad[3]), dist(quad[1], quad[2]));
    Homography toQuad, fromQuad;
    if (!(w >= 1 && h >= 1 && std::isfinite(w * h)) || !squareToQuad(quad, toQuad)) return nullptr;
    // Output space: the rectangle [0, w] x [0, h] moved to the bottom-left corner.
    const CGPoint o = quad[0];
    Homography scale = {1 / w, 0, -o.x / w, 0, 1 / h, -o.y / h, 0, 0, 1}, m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) m[r * 3 + c] += toQuad[r * 3 + k] * scale[k * 3 + c];
    // Points on the quad's side of the horizon have w > 0 (flip the sign if the solve did not).
    double probeX, probeY;
    if (!apply(m, o.x + w / 2, o.y + h / 2, probeX, probeY))
        for (double& v : m) v = -v;
    if (!invert(m, fromQuad)) return nullptr;
    CGRect extent = CGRectMake(o.x, o.y, w, h);
    if (f.numberInput("inputCrop", 1.0) == 0 && !CGRectIsInfinite(input->extent())) {
        const CGRect e = input->extent();
        const CGPoint corners[4] = {{CGRectGetMinX(e), CGRectGetMinY(e)},
                                    {CGRectGetMaxX(e), CGRectGetMinY(e)},
                                    {CGRectGetMaxX(e), CGRectGetMaxY(e)},
                                    {CGRectGetMinX(e), CGRectGetMaxY(e)}};
        CGRect all = CGRectNull();
        bool finite = true;
        for (const CGPoint& c : corners) {
            double x, y;
            finite = finite && apply(fromQuad, c.x, c.y, x, y);
            if (finite) all = CGRectUnion(all, CGRectMake(x, y, 0, 0));
        }
        // An input reaching past the horizon has no finite image: keep the rectangle.
        if (finite && all.size.width < 1e6 && all.size.height < 1e6) extent = CGRectUnion(extent, all);
    }
    return CIImage::withNode(std::make_shared<WarpNode>(
        input->node(), extent, [m](double x, double y, double& sx, double& sy) { return apply(m, x, y, sx, sy); },
        "perspective"));
}

}  // namespace

std::shared_ptr<CIFilter> makePerspectiveCorrectionFilter(const FilterDescription& d) {
    return makeFunctionFilter<perspectiveCorrection>(d);
}
