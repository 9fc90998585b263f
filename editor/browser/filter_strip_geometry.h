// The numbers of the filter strip: tile size by screen, the row of tiles, which tiles are on
// screen, and the redraw period that follows the measured drawing time. Pure functions.
#pragma once

#include <optional>
#include <vector>

#include "platform/runtime/geometry.h"

namespace filter_strip {

// Tiles and their labels grow with the screen from a 320-point to a 768-point short side.
inline constexpr float kSmallScreen = 320, kLargeScreen = 768;
inline constexpr float kTileWidthSmall = 65, kTileWidthLarge = 120;
inline constexpr float kLabelHeightSmall = 30, kLabelHeightLarge = 40;
inline constexpr float kLabelGap = 5;
// The row: 5 points at each end, 6 between tiles, tiles 2 points from the top.
inline constexpr CGFloat kRowMargin = 5, kTileGap = 6, kTileTop = 2, kContentExtraHeight = 3;
// The visible-range estimate starts this far in.
inline constexpr CGFloat kVisibleSlack = 15;
// The redraw period: never below this, and three times the drawing time rounded up to tenths.
inline constexpr double kMinPeriod = 0.2;
inline constexpr double kPeriodSlack = 0.20000011920928956;  // 0.2 plus 2^-23

struct TileMetrics {
    CGFloat labelHeight = 0;
    CGSize itemSize;
};

// For the short side of the controller's view (single precision, as the layout stores it).
TileMetrics tileMetrics(CGFloat screenShortSide);
// Where the first tile's slot starts: centred when the row is narrower than the strip.
CGFloat rowStart(std::size_t count, CGFloat tileWidth, CGFloat stripWidth);
// Tile i's frame in the scroll content.
CGRect tileFrame(std::size_t index, CGFloat x0, CGSize itemSize);
CGSize contentSize(std::size_t count, CGSize itemSize);

// First and last tile with an edge inside [left, left + width] after the offset; -1 for none.
struct VisibleRange {
    long first = -1, last = -1;
};
VisibleRange visibleRange(const std::vector<CGRect>& frames, CGFloat offset, CGFloat scrollX, CGFloat scrollWidth,
                          CGFloat tileWidth);

// The period after a draw that took `elapsed` under `period`; none when the timer stays as it is.
std::optional<double> nextRedrawPeriod(double elapsed, double period);

}  // namespace filter_strip
