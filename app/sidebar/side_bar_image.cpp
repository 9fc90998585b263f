// Snapshot and box blur for the side bar.
#include "app/sidebar/side_bar_image.h"

#include <cmath>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/image/vimage_convolution.h"
#include "platform/runtime/log.h"
#include "platform/ui/draw/bitmap_context.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/view/ui_view.h"

namespace {
constexpr CGFloat kTintAlpha = 0.25;
constexpr std::uint32_t kBitmapInfo = kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little;
}  // namespace

std::shared_ptr<UIImage> imageFromView(UIView& view, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) {
        UIGraphicsEndImageContext();
        Log::warning("sidebar", "no snapshot of a view without pixels");
        return nullptr;
    }
    CGRect b = view.bounds();
    CGPoint anchor = view.layer()->anchorPoint();
    context->translateCTM(size.width / 2, size.height / 2);
    context->concatCTM(view.transform());
    context->translateCTM(-b.size.width * anchor.x, -b.size.height * anchor.y);
    view.layer()->renderInContext(*context);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

std::uint32_t blurBoxSize(double radius, double scale) {
    double box = radius * scale;
    return (box > 0 && std::isfinite(box) ? static_cast<std::uint32_t>(box) : 0u) | 1u;
}

std::shared_ptr<UIImage> blurredImage(const std::shared_ptr<UIImage>& image, double radius, unsigned iterations,
                                      const std::shared_ptr<UIColor>& tint) {
    if (!image || !image->cgImage()) return image;
    CGSize points = image->size();
    if (std::floor(points.width) * std::floor(points.height) <= 0) return image;
    const auto& source = *image->cgImage();
    const std::size_t w = static_cast<std::size_t>(source.width()), h = static_cast<std::size_t>(source.height());

    // Whatever the source's layout, the blur works on premultiplied 8-bit four-channel pixels.
    auto first = CGBitmapContextCreate(nullptr, w, h, 8, 0, nullptr, kBitmapInfo);
    if (!first) return image;
    first->drawImage(CGRectMake(0, 0, CGFloat(w), CGFloat(h)), source);
    first->flush();
    const std::size_t rowBytes = first->bytesPerRow();
    std::vector<std::uint8_t> a(static_cast<const std::uint8_t*>(first->data()),
                                static_cast<const std::uint8_t*>(first->data()) + rowBytes * h);
    std::vector<std::uint8_t> b(a.size());

    const std::uint32_t box = blurBoxSize(radius, image->scale());
    vImage_Buffer in{a.data(), h, w, rowBytes}, out{b.data(), h, w, rowBytes};
    const Pixel_8888 none = {0, 0, 0, 0};
    vImage_Error tempSize = vImageBoxConvolve_ARGB8888(&in, &out, nullptr, 0, 0, box, box, none,
                                                       kvImageEdgeExtend | kvImageGetTempBufferSize);
    std::vector<std::uint8_t> temp(tempSize > 0 ? static_cast<std::size_t>(tempSize) : 0);
    for (unsigned i = 0; i < iterations; ++i) {
        vImageBoxConvolve_ARGB8888(&in, &out, temp.data(), 0, 0, box, box, none, kvImageEdgeExtend);
        std::swap(in, out);
    }
    std::vector<std::uint8_t>& result = in.data == a.data() ? a : b;

    auto context = CGBitmapContextCreate(result.data(), w, h, 8, rowBytes, nullptr, kBitmapInfo);
    if (!context) return image;
    CGFloat red = 0, green = 0, blue = 0, alpha = 0;
    if (tint && tint->getRed(&red, &green, &blue, &alpha) && alpha > 0) {
        context->setBlendMode(CGBlendMode::PlusLighter);
        context->setRGBFillColor(red, green, blue, kTintAlpha);
        context->fillRect(CGRectMake(0, 0, CGFloat(w), CGFloat(h)));
    }
    return UIImage::imageWithCGImage(context->makeImage(), image->scale(), image->imageOrientation());
}
