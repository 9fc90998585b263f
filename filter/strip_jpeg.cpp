// Rendering and encoding a JPEG strip by strip.
#include "filter/strip_jpeg.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/image/codec/jpeg_strip_encoder.h"

Result<Bytes> jpegInStrips(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context,
                           const JpegEncodeOptions& options, int stripRows) {
    if (!image) return fail("no image to encode");
    rect = CGRectStandardize(rect);
    if (CGRectIsNull(rect) || CGRectIsInfinite(rect) || !std::isfinite(rect.size.width) ||
        !std::isfinite(rect.size.height) || rect.size.width < 1 || rect.size.height < 1)
        return fail("the rectangle to encode is empty or infinite");
    // Over the context's maximum: the image and the rectangle scaled together until it fits.
    std::shared_ptr<CIImage> source = image;
    CGSize in = context.inputImageMaximumSize(), out = context.outputImageMaximumSize();
    CGSize max{std::min(in.width, out.width), std::min(in.height, out.height)};
    if (rect.size.width > max.width || rect.size.height > max.height) {
        double s = std::min({1.0, max.width / rect.size.width, max.height / rect.size.height});
        rect =
            CGRectMake(std::round(rect.origin.x * s), std::round(rect.origin.y * s),
                       std::max(1.0, std::floor(rect.size.width * s)), std::max(1.0, std::floor(rect.size.height * s)));
        source = image->imageByApplyingTransform(CGAffineTransformMakeScale(s, s));
    }
    const int width = static_cast<int>(std::lround(rect.size.width));
    const int height = static_cast<int>(std::lround(rect.size.height));
    auto encoder = JpegStripEncoder::start(width, height, options, JpegStripEncoder::PixelOrder::RGBA);
    if (!encoder) return fail(encoder.error());

    stripRows = std::clamp(stripRows, 1, height);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> strip(rowBytes * static_cast<std::size_t>(stripRows));
    // Rows go top to bottom; the image's coordinates grow upwards.
    for (int top = 0; top < height; top += stripRows) {
        const int rows = std::min(stripRows, height - top);
        CGRect band = CGRectMake(rect.origin.x, rect.origin.y + (height - top - rows), width, rows);
        if (auto drawn =
                context.render(source, strip.data(), rowBytes, band, CIFormat::RGBA8, context.outputColorSpace());
            !drawn)
            return fail("rows " + std::to_string(top) + " to " + std::to_string(top + rows) +
                        " could not be rendered: " + drawn.error());
        if (auto written = (*encoder)->write(strip.data(), rowBytes, rows); !written) return fail(written.error());
    }
    return (*encoder)->finish();
}
