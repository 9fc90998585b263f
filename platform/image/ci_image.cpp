// Image recipes: sources and the operations that build on them.
#include "platform/image/ci_image.h"

#include <cmath>

#include "platform/image/ci_filter.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/engine/bitmap_source.h"
#include "platform/image/engine/composite_node.h"
#include "platform/image/engine/encoded_source.h"
#include "platform/image/engine/fill_nodes.h"
#include "platform/image/engine/geometry_nodes.h"
#include "platform/runtime/log.h"

namespace {

const char* kLog = "image";

std::shared_ptr<CIImage> emptyImageInstance() {
    static const std::shared_ptr<CIImage> empty = [] {
        // A crop to nothing: an empty extent that renders transparent.
        float clear[4] = {0, 0, 0, 0};
        NodePtr colour = std::make_shared<ColorNode>(clear, nullptr);
        return CIImage::withNode(std::make_shared<CropNode>(colour, CGRectNull()));
    }();
    return empty;
}

std::shared_ptr<CGColorSpace> spaceOption(const ValueDictionary& options, std::shared_ptr<CGColorSpace> fallback) {
    const Value* v = options.find(kCIImageColorSpace);
    if (!v) return fallback;
    if (auto space = v->objectAs<CGColorSpace>()) return space;
    if (v->isString()) return CGColorSpace::createWithName(*v->string());  // kCGColorSpaceNULL: unmanaged
    return fallback;
}

}  // namespace

std::shared_ptr<CIImage> CIImage::withNode(std::shared_ptr<const ImageNode> node, Value properties) {
    if (!node) return nullptr;
    if (!properties.isDictionary()) properties = Value::dictionary();
    return make(std::move(node), std::move(properties));
}

std::shared_ptr<CIImage> CIImage::imageWithBitmapData(std::shared_ptr<const std::uint8_t> pixels, std::size_t length,
                                                      std::size_t bytesPerRow, int width, int height, CIFormat format,
                                                      CIAlphaMode alpha, std::shared_ptr<CGColorSpace> colorSpace) {
    const std::size_t bpp = CIFormatBytesPerPixel(format);
    if (!pixels || width <= 0 || height <= 0) {
        Log::warning(kLog, "bitmap image refused: no pixels or a size that is not positive");
        return nullptr;
    }
    const std::size_t minRow = static_cast<std::size_t>(width) * bpp;
    std::size_t needed = 0;
    if (bytesPerRow < minRow || __builtin_mul_overflow(bytesPerRow, static_cast<std::size_t>(height - 1), &needed) ||
        __builtin_add_overflow(needed, minRow, &needed) || length < needed) {
        Log::warning(kLog, "bitmap image refused: the buffer is shorter than its rows");
        return nullptr;
    }
    if (format == CIFormat::RGBAf &&
        (reinterpret_cast<std::uintptr_t>(pixels.get()) % alignof(float) != 0 || bytesPerRow % sizeof(float) != 0)) {
        Log::warning(kLog, "float bitmap refused: pixels are not aligned to floats");
        return nullptr;
    }
    return withNode(std::make_shared<BitmapSource>(std::move(pixels), bytesPerRow, width, height, format, alpha,
                                                   std::move(colorSpace)));
}

std::shared_ptr<CIImage> CIImage::imageWithBitmapData(std::shared_ptr<const std::uint8_t> pixels, std::size_t length,
                                                      std::size_t bytesPerRow, int width, int height, CIFormat format,
                                                      CIAlphaMode alpha, std::shared_ptr<CGColorSpace> colorSpace,
                                                      int exifOrientation) {
    auto plain = imageWithBitmapData(pixels, length, bytesPerRow, width, height, format, alpha, colorSpace);
    if (!plain || exifOrientation < 2 || exifOrientation > 8) return plain;
    if (format == CIFormat::RGBAf) return plain->imageByApplyingOrientation(exifOrientation);
    return withNode(std::make_shared<BitmapSource>(std::move(pixels), bytesPerRow, width, height, format, alpha,
                                                   std::move(colorSpace), exifOrientation));
}

std::shared_ptr<CIImage> CIImage::imageWithBitmapData(std::vector<std::uint8_t> pixels, std::size_t bytesPerRow,
                                                      int width, int height, CIFormat format, CIAlphaMode alpha,
                                                      std::shared_ptr<CGColorSpace> colorSpace) {
    auto owner = std::make_shared<std::vector<std::uint8_t>>(std::move(pixels));
    std::shared_ptr<const std::uint8_t> data(owner, owner->data());
    return imageWithBitmapData(std::move(data), owner->size(), bytesPerRow, width, height, format, alpha,
                               std::move(colorSpace));
}

std::shared_ptr<CIImage> CIImage::imageWithCGImage(const std::shared_ptr<CGImage>& image) {
    if (!image) return nullptr;
    std::shared_ptr<const std::uint8_t> data(image, image->data());
    CIFormat format = image->layout() == CGImagePixelLayout::BGRA8Premultiplied ? CIFormat::BGRA8 : CIFormat::RGBA8;
    return imageWithBitmapData(std::move(data), image->bytes().size(), image->bytesPerRow(), image->width(),
                               image->height(), format, CIAlphaMode::Premultiplied, image->colorSpace());
}

std::shared_ptr<CIImage> CIImage::imageWithColor(const std::shared_ptr<CIColor>& color) {
    if (!color) return nullptr;
    float rgba[4] = {static_cast<float>(color->red()), static_cast<float>(color->green()),
                     static_cast<float>(color->blue()), static_cast<float>(color->alpha())};
    return withNode(std::make_shared<ColorNode>(rgba, color->colorSpace()));
}

std::shared_ptr<CIImage> CIImage::emptyImage() {
    return emptyImageInstance();
}

std::shared_ptr<CIImage> CIImage::imageWithData(const std::vector<std::uint8_t>& data, const ValueDictionary& options) {
    auto info = readImageInfo(data);
    if (!info.ok()) {
        Log::warning(kLog, "image data not recognised: " + info.error());
        return nullptr;
    }
    Value properties = Value::dictionary();
    if (auto props = readImageProperties(data); props.ok() && props->isDictionary()) properties = props.value();
    auto space = spaceOption(options, defaultSpace());
    const bool upright = options.get(kCIImageApplyOrientationProperty).boolValue();

    if (info->format == ImageFormat::JPEG) {
        // Decoded when rendered, at the size the render needs; the smallest size is decoded now
        // so that corrupt data is refused here rather than drawn as nothing later.
        auto node = std::make_shared<EncodedSource>(std::make_shared<const std::vector<std::uint8_t>>(data),
                                                    info->width, info->height, std::move(space));
        if (!node->decodable()) {
            Log::warning(kLog, "JPEG data does not decode");
            return nullptr;
        }
        auto image = withNode(std::move(node), std::move(properties));
        if (!upright || info->orientation == 1) return image;
        return make(image->imageByApplyingOrientation(info->orientation)->node(), image->properties());
    }

    ImageDecodeOptions decode;
    decode.applyOrientation = upright;
    auto decoded = decodeImage(data, decode);
    if (!decoded.ok()) {
        Log::warning(kLog, "image data not decoded: " + decoded.error());
        return nullptr;
    }
    RasterRGBA8& raster = decoded->raster;
    const int width = raster.width, height = raster.height;
    auto image = imageWithBitmapData(
        std::move(raster.pixels), static_cast<std::size_t>(width) * 4, width, height, CIFormat::RGBA8,
        raster.alpha == AlphaMode::Straight ? CIAlphaMode::Straight : CIAlphaMode::Premultiplied, std::move(space));
    if (!image) return nullptr;
    return make(image->node(), std::move(properties));
}

std::shared_ptr<CIImage> CIImage::imageWithContentsOfFile(const std::string& path, const ValueDictionary& options) {
    auto bytes = readFileBytes(path);
    if (!bytes.ok()) {
        Log::warning(kLog, "image file not read: " + bytes.error());
        return nullptr;
    }
    return imageWithData(bytes.value(), options);
}

std::shared_ptr<CIImage> CIImage::imageWithContentsOfURL(const std::string& url, const ValueDictionary& options) {
    const std::string scheme = "file://";
    if (url.rfind(scheme, 0) == 0) return imageWithContentsOfFile(url.substr(scheme.size()), options);
    if (url.find("://") != std::string::npos) {
        Log::warning(kLog, "image URL refused (only file URLs are read): " + url);
        return nullptr;
    }
    return imageWithContentsOfFile(url, options);
}

CGRect CIImage::extent() const {
    return node_->extent();
}

std::shared_ptr<CGColorSpace> CIImage::colorSpace() const {
    if (auto* source = dynamic_cast<const BitmapSource*>(node_.get())) return source->colorSpace();
    if (auto* encoded = dynamic_cast<const EncodedSource*>(node_.get())) return encoded->colorSpace();
    return nullptr;
}

std::shared_ptr<CIImage> CIImage::imageByApplyingTransform(const CGAffineTransform& t) const {
    if (CGAffineTransformIsIdentity(t)) return me();
    for (double v : {t.a, t.b, t.c, t.d, t.tx, t.ty})
        if (!std::isfinite(v)) {
            Log::warning(kLog, "transform with a non-finite entry: the result is empty");
            return emptyImage();
        }
    // Consecutive transforms fold into one node.
    if (auto* inner = dynamic_cast<const TransformNode*>(node_.get()))
        return withNode(
            std::make_shared<TransformNode>(inner->input(), CGAffineTransformConcat(inner->transform(), t)));
    return withNode(std::make_shared<TransformNode>(node_, t));
}

std::shared_ptr<CIImage> CIImage::imageByCroppingToRect(const CGRect& r) const {
    return withNode(std::make_shared<CropNode>(node_, CGRectStandardize(r)));
}

std::shared_ptr<CIImage> CIImage::imageByApplyingFilter(const std::string& name, const ValueDictionary& params) const {
    auto filter = CIFilter::filterWithName(name, params);
    if (!filter) return nullptr;
    filter->setValue(Value(me()), kCIInputImageKey);
    return filter->outputImage();
}

std::shared_ptr<CIImage> CIImage::imageByClampingToExtent() const {
    if (CGRectIsInfinite(extent())) return me();
    return withNode(std::make_shared<ClampNode>(node_));
}

std::shared_ptr<CIImage> CIImage::imageByCompositingOverImage(const std::shared_ptr<CIImage>& background) const {
    if (!background) return me();
    return withNode(std::make_shared<SourceOverNode>(node_, background->node()));
}

CGAffineTransform CIImage::imageTransformForOrientation(int orientation) const {
    CGRect e = extent();
    if (CGRectIsInfinite(e) || CGRectIsNull(e)) return CGAffineTransformIdentity;
    const double w = e.size.width, h = e.size.height, x = e.origin.x, y = e.origin.y;
    // Maps the stored picture (origin bottom left) to the upright one, keeping the extent's origin.
    CGAffineTransform t;
    switch (orientation) {
        case 2: t = {-1, 0, 0, 1, w, 0}; break;   // mirrored left-right
        case 3: t = {-1, 0, 0, -1, w, h}; break;  // turned half way
        case 4: t = {1, 0, 0, -1, 0, h}; break;   // mirrored top-bottom
        case 5: t = {0, -1, -1, 0, h, w}; break;  // transposed
        case 6: t = {0, -1, 1, 0, 0, w}; break;   // turned a quarter clockwise to be upright
        case 7: t = {0, 1, 1, 0, 0, 0}; break;    // transverse
        case 8: t = {0, 1, -1, 0, h, 0}; break;   // turned a quarter anticlockwise to be upright
        default: return CGAffineTransformIdentity;
    }
    // Work relative to the origin, then put the result back at the same origin.
    CGAffineTransform toOrigin = CGAffineTransformMakeTranslation(-x, -y);
    return CGAffineTransformConcat(CGAffineTransformConcat(toOrigin, t), CGAffineTransformMakeTranslation(x, y));
}

std::shared_ptr<CIImage> CIImage::imageByApplyingOrientation(int orientation) const {
    return imageByApplyingTransform(imageTransformForOrientation(orientation));
}

std::string CIImage::planDescription() const {
    return describePlan(*node_);
}

std::string CIImage::description() const {
    CGRect e = extent();
    char buf[160];
    if (CGRectIsInfinite(e))
        std::snprintf(buf, sizeof buf, "<CIImage extent [infinite]>");
    else
        std::snprintf(buf, sizeof buf, "<CIImage extent [%g %g %g %g]>", e.origin.x, e.origin.y, e.size.width,
                      e.size.height);
    return buf;
}
