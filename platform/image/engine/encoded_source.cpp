// Lazily decoded JPEG sources.
#include "platform/image/engine/encoded_source.h"

#include <cmath>
#include <cstdio>

#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/engine/bitmap_source.h"
#include "platform/image/engine/color_transform.h"
#include "platform/runtime/log.h"

EncodedSource::EncodedSource(std::shared_ptr<const std::vector<std::uint8_t>> data, int width, int height,
                             std::shared_ptr<CGColorSpace> space)
    : ImageNode(CGRectMake(0, 0, width, height)),
      data_(std::move(data)),
      width_(width),
      height_(height),
      space_(std::move(space)) {}

std::string EncodedSource::label() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "jpeg %dx%d %s", width_, height_, space_ ? space_->name().c_str() : "unmanaged");
    return buf;
}

NodePtr EncodedSource::decoded(int minWidth, int minHeight) const {
    const int eighths = jpegDecodeScale(width_, height_, minWidth, minHeight).numerator;
    std::lock_guard lock(mutex_);
    if (auto it = byEighths_.find(eighths); it != byEighths_.end()) return it->second;
    ImageDecodeOptions options;
    options.minWidth = minWidth;
    options.minHeight = minHeight;
    NodePtr node;
    if (auto result = decodeImage(*data_, options); result.ok()) {
        RasterRGBA8& raster = result->raster;
        auto pixels = std::make_shared<std::vector<std::uint8_t>>(std::move(raster.pixels));
        std::shared_ptr<const std::uint8_t> bytes(pixels, pixels->data());
        // Colour conversion is this node's job (see render), so the bitmap is left unmanaged.
        node =
            std::make_shared<BitmapSource>(std::move(bytes), static_cast<std::size_t>(raster.width) * 4, raster.width,
                                           raster.height, CIFormat::RGBA8, CIAlphaMode::Straight, nullptr);
    } else {
        Log::warning("image", "JPEG decode failed at render time: " + result.error());
    }
    byEighths_.emplace(eighths, node);
    return node;
}

void EncodedSource::prepare(RenderJob& job, RenderArena&) const {
    if (auto plan = ColorTransformPlan::between(space_, job.working))
        job.conversions.push_back({this, std::move(plan)});
}

void EncodedSource::render(const Tile& out, const CGAffineTransform& A, TileContext& ctx) const {
    // The resolution the map asks for along each axis of the stored picture.
    const double sx = std::hypot(A.a, A.b), sy = std::hypot(A.c, A.d);
    const int minWidth = static_cast<int>(std::ceil(std::min(1.0, sx) * width_ - 1e-6));
    const int minHeight = static_cast<int>(std::ceil(std::min(1.0, sy) * height_ - 1e-6));
    NodePtr bitmap = decoded(std::max(1, minWidth), std::max(1, minHeight));
    if (!bitmap) {
        out.clear();
        return;
    }
    const CGRect e = bitmap->extent();
    const CGAffineTransform toStored = CGAffineTransformMakeScale(width_ / e.size.width, height_ / e.size.height);
    bitmap->render(out, CGAffineTransformConcat(toStored, A), ctx);
    if (const ColorTransformPlan* plan = ctx.job.conversionFor(this))
        for (long j = 0; j < out.rect.h; ++j)
            plan->apply(out.row(0, j), out.row(1, j), out.row(2, j), out.row(3, j),
                        static_cast<std::size_t>(out.rect.w));
}
