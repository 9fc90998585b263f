// BitmapSource: a recipe leaf reading a bitmap in memory; resamples once for the whole recipe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/image/ci_format.h"
#include "platform/image/engine/image_node.h"

class BitmapSource final : public ImageNode {
public:
    // The caller has checked sizes and buffer length.
    BitmapSource(std::shared_ptr<const std::uint8_t> pixels, std::size_t bytesPerRow, int width, int height,
                 CIFormat format, CIAlphaMode alpha, std::shared_ptr<CGColorSpace> space);
    // An 8-bit bitmap shown with an EXIF orientation (1...8): the source is the bitmap turned (and
    // mirrored) upright, pixel for pixel as if it had been turned first. Down-scaled samples (a
    // preview) read the pixels they need where they lie; a bitmap on its side read pixel for pixel
    // (a photo of the frame, cropped or not) is read tile by tile along its stored rows and each
    // tile turned in the cache; other whole-row readers of it take a copy turned once, on first
    // need.
    BitmapSource(std::shared_ptr<const std::uint8_t> pixels, std::size_t bytesPerRow, int width, int height,
                 CIFormat format, CIAlphaMode alpha, std::shared_ptr<CGColorSpace> space, int exifOrientation);

    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    void prepare(RenderJob& job, RenderArena& arena) const override;
    std::string label() const override;
    CGSize sourcePixelSize() const override { return {static_cast<double>(width_), static_cast<double>(height_)}; }
    const std::shared_ptr<CGColorSpace>& colorSpace() const { return space_; }
    // Whether the bitmap is shown turned a quarter (its stored rows are the upright columns).
    bool turnedAQuarter() const { return orientation_ >= 5; }
    // The sums of every pixel's premultiplied components (red, green, blue, alpha; 1 a full
    // level), added exactly; false when the bitmap is not 8-bit premultiplied.
    bool sumPixels(double sums[4]) const;
    // Pixels x..x+n-1 of the row at height y as premultiplied planes, unscaled; pixels outside
    // the bitmap are transparent. (The renderer's row-at-a-time path for pure colour chains.)
    void loadPixels(long x, long y, std::size_t n, float* const planes[4]) const;
    // The 8-bit pixels x..x+n-1 of the row at height y as stored (bgra set for B G R A order),
    // or null when the bitmap is not 8-bit or the run is not wholly inside it.
    const std::uint8_t* bytesAt(long x, long y, std::size_t n, bool& bgra) const;

private:
    // Loads pixels x0..x0+n-1 of the row at height y (0 = bottom row) as premultiplied planes.
    void loadRow(long y, long x0, std::size_t n, float* const planes[4]) const;
    // n 8-bit pixels in the bitmap's byte order as premultiplied planes.
    void loadBytes(const std::uint8_t* pixels, std::size_t n, float* const planes[4]) const;
    void renderAxisAligned(const Tile& out, double sx, double tx, double sy, double ty, TileContext& ctx) const;
    // Pixel for pixel from a bitmap on its side (unit scales, whole-pixel offsets): the tile's
    // pixels gathered from the stored rows in short runs, turned in the cache.
    void renderTurnedUnit(const Tile& out, double sx, double tx, double sy, double ty, TileContext& ctx) const;
    // Bilinear samples for down-scaling on both axes (8-bit premultiplied bitmaps of at least
    // 2 x 2); false when the scale or bitmap does not qualify.
    bool renderSampled(const Tile& out, double sx, double tx, double sy, double ty, TileContext& ctx) const;
    void renderGeneral(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const;
    // A quarter turn at unit scale of an 8-bit bitmap, pixels gathered turned before they are
    // converted; false (nothing written) for other turns and formats.
    bool renderQuarterTurn(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const;
    // The 8-bit (or float) pixels x0..x0+n-1 of the upright row at height y, contiguous: in place,
    // in the upright copy, or gathered into the calling thread's scratch row (valid until its next
    // call).
    const std::uint8_t* rowBytes(long y, long x0, std::size_t n) const;
    // Asks the processor for the stored pixels x0..x0+n-1 of row y ahead of their use (bitmaps
    // stored upright only). Defined apart from its callers: GCC takes a function that only fetches
    // ahead for one without effects and drops calls to it it can see into.
    void fetchAhead(long y, long x0, std::size_t n) const;
    // Where upright pixel 0 of upright row `row` (top first) lies in the stored bitmap, and the step
    // in bytes to the next pixel of that row.
    const std::uint8_t* orientedRow(long row, std::ptrdiff_t& step) const;

    std::shared_ptr<const std::uint8_t> pixels_;
    std::size_t bytesPerRow_;
    int width_, height_;
    // With an orientation: the stored bitmap's own size (width_ and height_ are the upright ones;
    // bytesPerRow_ is the stored rows' stride).
    int orientation_ = 1;
    int storedWidth_ = 0, storedHeight_ = 0;
    mutable std::once_flag uprightOnce_;
    mutable std::unique_ptr<std::uint8_t[]> upright_;
    CIFormat format_;
    CIAlphaMode alpha_;
    std::shared_ptr<CGColorSpace> space_;
};
