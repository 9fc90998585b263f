// A picture's pixels in a pixel buffer.
#include "platform/capture/cv_pixel_buffer.h"
#include "platform/image/cg_image.h"
#include "platform/ui/draw/image.h"
#include "ui/theme/image_context.h"
#include "ui/theme/image_custom.h"

std::shared_ptr<CVPixelBuffer> pixelBuffer(const ImageRef& image, std::uint32_t pixelFormat) {
    if (!image || !image->cgImage() || pixelFormat != kCVPixelFormatType_32BGRA) return nullptr;
    const auto& source = image->cgImage();
    const CGSize pixels{static_cast<CGFloat>(source->width()), static_cast<CGFloat>(source->height())};
    // The bitmap as stored (its orientation is not applied), one pixel a point, on black.
    ImageContext context(pixels, true, 1);
    if (!context) return nullptr;
    UIImage::imageWithCGImage(source)->drawInRect(CGRectMake(0, 0, pixels.width, pixels.height));
    auto drawn = context.take();
    const auto& bitmap = drawn ? drawn->cgImage() : nullptr;
    if (!bitmap) return nullptr;
    auto buffer =
        CVPixelBuffer::make(static_cast<std::size_t>(bitmap->width()), static_cast<std::size_t>(bitmap->height()));
    const bool bgra = bitmap->layout() == CGImagePixelLayout::BGRA8Premultiplied;
    buffer->lockBaseAddress();
    for (int y = 0; y < bitmap->height(); ++y) {
        const std::uint8_t* from = bitmap->row(y);
        std::uint8_t* to = buffer->row(static_cast<std::size_t>(y));
        for (int x = 0; x < bitmap->width(); ++x, from += 4, to += 4) {
            to[0] = bgra ? from[0] : from[2];
            to[1] = from[1];
            to[2] = bgra ? from[2] : from[0];
            to[3] = 255;  // no alpha: the skipped byte
        }
    }
    buffer->unlockBaseAddress();
    return buffer;
}
