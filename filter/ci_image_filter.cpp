// Image operations of the rendering roads.
#include "filter/ci_image_filter.h"

#include <algorithm>
#include <cmath>

#include "foundation/numeric.h"
#include "platform/image/affine_value.h"
#include "platform/image/ci_filter.h"
#include "platform/image/ci_vector.h"
#include "platform/image/codec/jpeg.h"
#include "platform/ui/draw/image.h"

namespace {

std::shared_ptr<CIImage> applyTransform(const std::shared_ptr<CIImage>& image, const CGAffineTransform& t) {
    auto f = CIFilter::filterWithName("CIAffineTransform");
    if (!f) return image;
    f->setValue(Value(AffineTransformValue::valueWithCGAffineTransform(t)), kCIInputTransformKey);
    f->setValue(Value(image), kCIInputImageKey);
    return f->outputImage();
}

// The largest rectangle a context renders at once: its input and output limits together.
CGSize renderLimit(const CIContext& context) {
    CGSize in = context.inputImageMaximumSize(), out = context.outputImageMaximumSize();
    return {std::min(in.width, out.width), std::min(in.height, out.height)};
}

bool exceeds(CGRect rect, CGSize max) {
    return rect.size.width > max.width || rect.size.height > max.height;
}

bool finiteRect(CGRect r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height) && r.size.width > 0 && r.size.height > 0;
}

// Halves away from zero.
double roundHalfAway(double x) {
    return std::round(x);
}

}  // namespace

bool isDrawable(const std::shared_ptr<CIImage>& image) {
    if (!image) return false;
    CGRect e = image->extent();
    if (CGRectIsInfinite(e) || CGRectIsNull(e) || !std::isfinite(e.size.width) || !std::isfinite(e.size.height))
        return false;
    return !isNearlyZero(static_cast<float>(e.size.width)) && !isNearlyZero(static_cast<float>(e.size.height));
}

double imageKey(const std::shared_ptr<CIImage>& image) {
    if (!image) return 0;
    CGSize s = image->extent().size;
    return static_cast<double>(s.width) * 10000.0 + static_cast<double>(s.height);
}

std::shared_ptr<CIImage> scaled(const std::shared_ptr<CIImage>& image, CGSize maxSize) {
    if (!isDrawable(image)) return image;
    CGSize s = image->extent().size;
    float f = minFloat(
        1.0f, maxFloat(static_cast<float>(maxSize.width / s.width), static_cast<float>(maxSize.height / s.height)));
    if (isNearlyEqual(f, 1.0f)) return image;
    return applyTransform(image, CGAffineTransformMakeScale(f, f));
}

std::shared_ptr<CIImage> cropped(const std::shared_ptr<CIImage>& image, double ratio) {
    if (!isDrawable(image) || !(ratio > 0) || !std::isfinite(ratio)) return image;
    double w = image->extent().size.width, h = image->extent().size.height;
    double q = w / h;
    if (std::abs(ratio - q) < 0.05) return image;
    CGRect r;
    if (q < ratio) {
        double h2 = roundHalfAway(w / ratio);
        r = CGRectMake(0, roundHalfAway((h - h2) * 0.5), w, h2);
    } else {
        double w2 = roundHalfAway(h * ratio);
        r = CGRectMake(roundHalfAway((w - w2) * 0.5), 0, w2, h);
    }
    auto f = CIFilter::filterWithName("CICrop");
    if (!f) return image;
    f->setValue(Value(CIVector::vectorWithCGRect(r)), "inputRectangle");
    f->setValue(Value(image), kCIInputImageKey);
    return f->outputImage();
}

CGAffineTransform orientationTransform(int orientation, int position, bool frontMirrored) {
    if (position != 1 && position != 2) return CGAffineTransformIdentity;
    bool plain = position == 1 || frontMirrored;
    // A rotation with a flip in front of it: the frame is flipped first, then rotated.
    auto flipped = [](double angle, double sx, double sy) {
        return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), CGAffineTransformMakeRotation(angle));
    };
    switch (orientation) {
        case 1: return plain ? CGAffineTransformIdentity : CGAffineTransformMakeScale(-1, 1);
        case 2: return plain ? CGAffineTransformMakeRotation(M_PI) : flipped(M_PI, -1, 1);
        case 3: return plain ? CGAffineTransformMakeRotation(-M_PI_2) : flipped(-M_PI_2, 1, -1);
        case 4: return plain ? CGAffineTransformMakeRotation(M_PI_2) : flipped(M_PI_2, 1, -1);
        default: return CGAffineTransformIdentity;
    }
}

std::shared_ptr<CIImage> adjustOrientation(const std::shared_ptr<CIImage>& image, int orientation, int position,
                                           bool frontMirrored) {
    if (!image) return nullptr;
    return applyTransform(image, orientationTransform(orientation, position, frontMirrored));
}

std::shared_ptr<CIImage> autoEnhancedImageWithCGOrientation(const std::shared_ptr<CIImage>& image,
                                                            int exifOrientation) {
    if (!image) return nullptr;
    auto filters = image->autoAdjustmentFiltersWithOptions({{CIDetectorImageOrientation, Value(exifOrientation)}});
    std::shared_ptr<CIImage> out = image;
    for (const auto& f : filters) {
        f->setValue(Value(out), kCIInputImageKey);
        if (auto next = f->outputImage()) out = next;
    }
    return out;
}

std::shared_ptr<CIImage> autoEnhancedImageWithUIOrientation(const std::shared_ptr<CIImage>& image, int uiOrientation) {
    return autoEnhancedImageWithCGOrientation(image, exifOrientationFromImageOrientation(uiOrientation));
}

std::shared_ptr<CIImage> autoEnhancedImageWithAVOrientation(const std::shared_ptr<CIImage>& image,
                                                            int captureOrientation, bool mirrored) {
    return autoEnhancedImageWithCGOrientation(image,
                                              exifOrientationFromCaptureOrientation(captureOrientation, mirrored));
}

double calcBrightness(const std::shared_ptr<CIImage>& image, CIContext& context) {
    if (!isDrawable(image)) return 0;
    auto f = CIFilter::filterWithName("CIAreaAverage");
    if (!f) return 0;
    f->setValue(Value(CIVector::vectorWithCGRect(image->extent())), kCIInputExtentKey);
    f->setValue(Value(image), kCIInputImageKey);
    auto average = f->outputImage();
    if (!isDrawable(average)) return 0;
    // Rendered explicitly as RGBA so the first four bytes are red, green, blue and alpha.
    auto bitmap = context.createCGImage(average, average->extent(), CGImagePixelLayout::RGBA8Premultiplied,
                                        context.outputColorSpace());
    if (!bitmap || bitmap->bytes().size() < 4) return 0;
    const std::uint8_t* p = bitmap->data();
    return std::max({p[0], p[1], p[2]}) / 255.0;
}

std::shared_ptr<CGImage> cgImage0(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context) {
    if (!image || !finiteRect(rect)) return nullptr;
    CGSize max = renderLimit(context);
    if (!exceeds(rect, max)) return context.createCGImage(image, rect);
    double s = std::min({1.0, max.width / rect.size.width, max.height / rect.size.height});
    CGRect r =
        CGRectMake(std::round(rect.origin.x * s), std::round(rect.origin.y * s),
                   std::max(1.0, std::floor(rect.size.width * s)), std::max(1.0, std::floor(rect.size.height * s)));
    return context.createCGImage(applyTransform(image, CGAffineTransformMakeScale(s, s)), r);
}

std::shared_ptr<CGImage> cgImage(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context) {
    return cgImage0(image, rect, context);
}

std::shared_ptr<UIImage> uiImage(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context) {
    CGRect r = isDrawable(image) ? rect : CGRectMake(0, 0, 100, 100);
    auto bitmap = image ? cgImage0(image, r, context) : nullptr;
    if (!bitmap) return nullptr;
    return UIImage::imageWithCGImage(bitmap);
}

std::optional<Bytes> save_cgimage_to_jpeg(const std::shared_ptr<CGImage>& image) {
    if (!image) return std::nullopt;
    RasterRGBA8 raster = makeRaster(image->width(), image->height(), AlphaMode::Premultiplied);
    bool bgra = image->layout() == CGImagePixelLayout::BGRA8Premultiplied;
    for (int y = 0; y < image->height(); ++y) {
        const std::uint8_t* src = image->row(y);
        std::uint8_t* dst = raster.pixels.data() + static_cast<std::size_t>(y) * raster.rowBytes();
        for (int x = 0; x < image->width(); ++x, src += 4, dst += 4) {
            dst[0] = bgra ? src[2] : src[0];
            dst[1] = src[1];
            dst[2] = bgra ? src[0] : src[2];
            dst[3] = src[3];
        }
    }
    auto encoded = encodeJpeg(raster);
    if (!encoded || encoded->empty()) return std::nullopt;
    return std::move(encoded.value());
}

std::optional<Bytes> jpeg(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& context) {
    return save_cgimage_to_jpeg(cgImage0(image, rect, context));
}

std::optional<Bytes> jpeg(const std::shared_ptr<CIImage>& image, CGRect rect, CIContext& first, CIContext& second) {
    return jpeg(image, rect, exceeds(rect, renderLimit(first)) ? second : first);
}
