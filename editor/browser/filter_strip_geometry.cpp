// The filter strip's numbers.
#include "editor/browser/filter_strip_geometry.h"

#include <algorithm>
#include <cmath>

#include "foundation/numeric.h"

namespace filter_strip {

TileMetrics tileMetrics(CGFloat screenShortSide) {
    float t = clampFloat(inverseLerpFloat(kSmallScreen, kLargeScreen, static_cast<float>(screenShortSide)), 0, 1);
    float w = kTileWidthSmall + (kTileWidthLarge - kTileWidthSmall) * t;
    float label = kLabelHeightSmall + (kLabelHeightLarge - kLabelHeightSmall) * t;
    return {label, {w, w + kLabelGap + label}};
}

CGFloat rowStart(std::size_t count, CGFloat tileWidth, CGFloat stripWidth) {
    if (count == 0) return 0;
    CGFloat row = kRowMargin + CGFloat(count - 1) * (tileWidth + kTileGap) + tileWidth + kRowMargin;
    return row < stripWidth ? (stripWidth - row) / 2 : 0;
}

CGRect tileFrame(std::size_t index, CGFloat x0, CGSize itemSize) {
    return {{x0 + kRowMargin + CGFloat(index) * (itemSize.width + kTileGap), kTileTop}, itemSize};
}

CGSize contentSize(std::size_t count, CGSize itemSize) {
    return {CGFloat(count) * (itemSize.width + kTileGap) + 2 * kRowMargin, itemSize.height + kContentExtraHeight};
}

VisibleRange visibleRange(const std::vector<CGRect>& frames, CGFloat offset, CGFloat scrollX, CGFloat scrollWidth,
                          CGFloat tileWidth) {
    VisibleRange r;
    if (frames.empty()) return r;
    long last = long(frames.size()) - 1;
    auto clampIndex = [last](double v) { return std::clamp(long(v), 0L, last); };
    long a = clampIndex(std::floor((offset - kVisibleSlack) / (tileWidth + kTileGap)));
    long b = clampIndex(std::ceil((offset + scrollWidth - kVisibleSlack) / (tileWidth + kTileGap)));
    auto onScreen = [&](long i) {
        CGFloat l = frames[std::size_t(i)].origin.x - offset;
        CGFloat rr = CGRectGetMaxX(frames[std::size_t(i)]) - offset;
        auto inside = [&](CGFloat x) { return x >= scrollX && x <= scrollX + scrollWidth; };
        return inside(l) || inside(rr);
    };
    for (long i = a; i <= last; ++i)
        if (onScreen(i)) {
            r.first = i;
            break;
        }
    for (long i = b; i >= 0; --i)
        if (onScreen(i)) {
            r.last = i;
            break;
        }
    return r;
}

std::optional<double> nextRedrawPeriod(double elapsed, double period) {
    if (elapsed > period || (4 * elapsed < period && period > kPeriodSlack))
        return std::max(std::ceil(30 * elapsed) / 10, kMinPeriod);
    return std::nullopt;
}

}  // namespace filter_strip
