// UIImage: loading and decoding, orientation-aware drawing, JPEG and PNG encoding.
#include "platform/ui/draw/image.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/image/cg_image.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"
#include "platform/storage/bundle.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"

namespace {

// Straight RGBA from a decoder to the premultiplied BGRA bitmap Cairo draws without conversion.
std::shared_ptr<CGImage> bitmapFromRaster(RasterRGBA8 raster) {
    if (!raster.isValid()) return nullptr;
    premultiplyAlpha(raster);
    for (std::size_t i = 0; i + 3 < raster.pixels.size(); i += 4) std::swap(raster.pixels[i], raster.pixels[i + 2]);
    std::size_t rowBytes = raster.rowBytes();
    return CGImage::create(raster.width, raster.height, rowBytes, std::move(raster.pixels), nullptr,
                           CGImagePixelLayout::BGRA8Premultiplied);
}

// The bitmap as a premultiplied RGBA raster for the encoders.
RasterRGBA8 rasterFromBitmap(const CGImage& image) {
    RasterRGBA8 raster = makeRaster(image.width(), image.height(), AlphaMode::Premultiplied);
    bool bgra = image.layout() == CGImagePixelLayout::BGRA8Premultiplied;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.row(y);
        std::uint8_t* out = raster.pixels.data() + static_cast<std::size_t>(y) * raster.rowBytes();
        for (int x = 0; x < image.width(); ++x) {
            out[x * 4 + 0] = in[x * 4 + (bgra ? 2 : 0)];
            out[x * 4 + 1] = in[x * 4 + 1];
            out[x * 4 + 2] = in[x * 4 + (bgra ? 0 : 2)];
            out[x * 4 + 3] = in[x * 4 + 3];
        }
    }
    return raster;
}

// "icon@2x.png" is drawn at two pixels per point.
CGFloat scaleFromFileName(const std::string& path) {
    auto slash = path.find_last_of('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    auto dot = file.find_last_of('.');
    std::string stem = dot == std::string::npos ? file : file.substr(0, dot);
    for (int scale : {2, 3})
        if (stem.size() > 3 && stem.ends_with("@" + std::to_string(scale) + "x")) return scale;
    return 1;
}

std::mutex namedMutex;
std::map<std::string, std::shared_ptr<UIImage>, std::less<>>& namedCache() {
    static std::map<std::string, std::shared_ptr<UIImage>, std::less<>> cache;
    return cache;
}

std::optional<std::string> findNamedImage(std::string_view name, const std::shared_ptr<NSBundle>& bundle) {
    if (!bundle || name.empty()) return std::nullopt;
    std::string base(name), ext;
    auto dot = base.find_last_of('.');
    if (dot != std::string::npos && dot + 1 < base.size() && base.find('/', dot) == std::string::npos) {
        ext = base.substr(dot + 1);
        base = base.substr(0, dot);
    }
    std::vector<std::string> exts =
        ext.empty() ? std::vector<std::string>{"png", "jpg", "jpeg"} : std::vector<std::string>{ext};
    int screen = std::clamp(static_cast<int>(std::lround(UIGraphicsGetMainScreenScale())), 1, 3);
    std::vector<std::string> suffixes = {"@" + std::to_string(screen) + "x", "", "@2x", "@3x"};
    for (const auto& e : exts)
        for (const auto& s : suffixes)
            if (auto path = bundle->pathForResource(base + s, e)) return path;
    return std::nullopt;
}

}  // namespace

std::shared_ptr<UIImage> UIImage::imageWithCGImage(std::shared_ptr<CGImage> image, CGFloat scale,
                                                   UIImageOrientation orientation) {
    if (!image) return nullptr;
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    return make<UIImage>(std::move(image), scale, orientation);
}

std::shared_ptr<UIImage> UIImage::imageWithData(const Bytes& data, CGFloat scale) {
    if (data.empty()) return nullptr;
    auto decoded = decodeImage(data);
    if (!decoded) return nullptr;
    int orientation = decoded->orientation;
    auto bitmap = bitmapFromRaster(std::move(decoded->raster));
    return imageWithCGImage(std::move(bitmap), scale, UIImageOrientationFromExif(orientation));
}

std::shared_ptr<UIImage> UIImage::imageWithContentsOfFile(const std::string& path) {
    auto bytes = readFileBytes(path);
    if (!bytes) return nullptr;
    return imageWithData(*bytes, scaleFromFileName(path));
}

std::shared_ptr<UIImage> UIImage::imageNamed(std::string_view name) {
    return imageNamed(name, nullptr);
}

std::shared_ptr<UIImage> UIImage::imageNamed(std::string_view name, const std::shared_ptr<NSBundle>& given) {
    auto bundle = given ? given : NSBundle::mainBundle();
    if (!bundle) return nullptr;
    // Main-bundle images keep their bare name as key; another bundle's are keyed by its folder.
    std::string key = given ? bundle->bundlePath() + "\n" + std::string(name) : std::string(name);
    {
        std::lock_guard lock(namedMutex);
        auto it = namedCache().find(key);
        if (it != namedCache().end()) return it->second;
    }
    auto path = findNamedImage(name, bundle);
    if (!path) return nullptr;
    auto image = imageWithContentsOfFile(*path);
    // Misses are not remembered: a file that appears later is found on the next call.
    if (image) {
        std::lock_guard lock(namedMutex);
        namedCache().emplace(std::move(key), image);
    }
    return image;
}

void UIImage::clearNamedImageCache() {
    std::lock_guard lock(namedMutex);
    namedCache().clear();
}

CGSize UIImage::size() const {
    CGFloat w = image_->width() / scale_, h = image_->height() / scale_;
    switch (orientation_) {
        case UIImageOrientation::Left:
        case UIImageOrientation::Right:
        case UIImageOrientation::LeftMirrored:
        case UIImageOrientation::RightMirrored: return {h, w};
        default: return {w, h};
    }
}

std::shared_ptr<UIImage> UIImage::imageWithRenderingMode(UIImageRenderingMode mode) const {
    auto copy = make<UIImage>(image_, scale_, orientation_);
    copy->renderingMode_ = mode;
    copy->capInsets_ = capInsets_;
    copy->resizingMode_ = resizingMode_;
    return copy;
}

std::shared_ptr<UIImage> UIImage::resizableImageWithCapInsets(UIEdgeInsets insets, UIImageResizingMode mode) const {
    auto copy = make<UIImage>(image_, scale_, orientation_);
    copy->renderingMode_ = renderingMode_;
    copy->capInsets_ = insets;
    copy->resizingMode_ = mode;
    return copy;
}

void UIImage::drawInRect(const CGRect& rect) const {
    drawInRect(rect, CGBlendMode::Normal, 1);
}

void UIImage::drawInRect(const CGRect& rect, CGBlendMode mode, CGFloat alpha) const {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    CGRect r = CGRectStandardize(rect);
    if (CGRectIsEmpty(r)) return;
    const UIEdgeInsets& k = capInsets_;
    CGSize own = size();
    bool capped = k.top > 0 || k.left > 0 || k.bottom > 0 || k.right > 0;
    if (capped && r.size != own && k.left + k.right < own.width && k.top + k.bottom < own.height) {
        // Nine slices: the caps keep their size (shrunk in proportion only when the rectangle is
        // smaller than both caps together), the middle stretches. Each slice is the whole
        // picture drawn through a clip, so that the slices meet without seams.
        auto spans = [](CGFloat lo, CGFloat hi, CGFloat from, CGFloat to) {
            CGFloat shrink = lo + hi > to ? to / (lo + hi) : 1;
            return std::array<std::pair<CGFloat, CGFloat>, 6>{{{0, lo},
                                                               {lo, from - hi},
                                                               {from - hi, from},
                                                               {0, lo * shrink},
                                                               {lo * shrink, to - hi * shrink},
                                                               {to - hi * shrink, to}}};
        };
        auto xs = spans(k.left, k.right, own.width, r.size.width);
        auto ys = spans(k.top, k.bottom, own.height, r.size.height);
        UIImage plain(image_, scale_, orientation_);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                auto [sx0, sx1] = xs[i];
                auto [dx0, dx1] = xs[i + 3];
                auto [sy0, sy1] = ys[j];
                auto [dy0, dy1] = ys[j + 3];
                if (sx1 <= sx0 || sy1 <= sy0 || dx1 <= dx0 || dy1 <= dy0) continue;
                CGFloat fx = (dx1 - dx0) / (sx1 - sx0), fy = (dy1 - dy0) / (sy1 - sy0);
                c->saveGState();
                c->clipToRect(CGRectMake(r.origin.x + dx0, r.origin.y + dy0, dx1 - dx0, dy1 - dy0));
                plain.drawInRect(CGRectMake(r.origin.x + dx0 - sx0 * fx, r.origin.y + dy0 - sy0 * fy, own.width * fx,
                                            own.height * fy),
                                 mode, alpha);
                c->restoreGState();
            }
        return;
    }
    // Stored bitmap's unit square -> upright unit square -> the rectangle.
    CGAffineTransform t =
        CGAffineTransformConcat(UIImageOrientationTransform(orientation_),
                                CGAffineTransformMake(r.size.width, 0, 0, r.size.height, r.origin.x, r.origin.y));
    c->saveGState();
    c->setBlendMode(mode);
    c->setAlpha(alpha);
    c->concatCTM(t);
    c->drawImageTopDown(CGRectMake(0, 0, 1, 1), *image_);
    c->restoreGState();
}

std::string UIImage::description() const {
    char buffer[96];
    CGSize s = size();
    std::snprintf(buffer, sizeof buffer, "<UIImage size {%g, %g} scale %g orientation %d>", s.width, s.height, scale_,
                  static_cast<int>(orientation_));
    return buffer;
}

Result<Bytes> UIImageJPEGRepresentation(const std::shared_ptr<UIImage>& image, CGFloat quality) {
    if (!image || !image->cgImage()) return fail("no image to encode");
    JpegEncodeOptions options;
    options.quality = std::clamp<CGFloat>(quality, 0, 1);
    if (image->imageOrientation() != UIImageOrientation::Up)
        options.properties = Value::dictionary({{"Orientation", UIImageOrientationToExif(image->imageOrientation())}});
    return encodeJpeg(rasterFromBitmap(*image->cgImage()), options);
}

Result<Bytes> UIImagePNGRepresentation(const std::shared_ptr<UIImage>& image) {
    if (!image || !image->cgImage()) return fail("no image to encode");
    RasterRGBA8 raster = rasterFromBitmap(*image->cgImage());
    int exif = UIImageOrientationToExif(image->imageOrientation());
    if (exif != 1) raster = orientRaster(raster, exif);
    return encodePng(raster);
}

UIImageOrientation UIImageOrientationFromExif(int exif) {
    switch (exif) {
        case 2: return UIImageOrientation::UpMirrored;
        case 3: return UIImageOrientation::Down;
        case 4: return UIImageOrientation::DownMirrored;
        case 5: return UIImageOrientation::LeftMirrored;
        case 6: return UIImageOrientation::Right;
        case 7: return UIImageOrientation::RightMirrored;
        case 8: return UIImageOrientation::Left;
        default: return UIImageOrientation::Up;
    }
}

int UIImageOrientationToExif(UIImageOrientation orientation) {
    switch (orientation) {
        case UIImageOrientation::Up: return 1;
        case UIImageOrientation::UpMirrored: return 2;
        case UIImageOrientation::Down: return 3;
        case UIImageOrientation::DownMirrored: return 4;
        case UIImageOrientation::LeftMirrored: return 5;
        case UIImageOrientation::Right: return 6;
        case UIImageOrientation::RightMirrored: return 7;
        case UIImageOrientation::Left: return 8;
    }
    return 1;
}

CGAffineTransform UIImageOrientationTransform(UIImageOrientation orientation) {
    // (x, y) of the stored bitmap -> (u, v) of the upright picture, both in the unit square.
    switch (orientation) {
        case UIImageOrientation::Up: return {1, 0, 0, 1, 0, 0};
        case UIImageOrientation::Down: return {-1, 0, 0, -1, 1, 1};
        case UIImageOrientation::Left: return {0, -1, 1, 0, 0, 1};
        case UIImageOrientation::Right: return {0, 1, -1, 0, 1, 0};
        case UIImageOrientation::UpMirrored: return {-1, 0, 0, 1, 1, 0};
        case UIImageOrientation::DownMirrored: return {1, 0, 0, -1, 0, 1};
        case UIImageOrientation::LeftMirrored: return {0, -1, -1, 0, 1, 1};
        case UIImageOrientation::RightMirrored: return {0, 1, 1, 0, 0, 0};
    }
    return CGAffineTransformIdentity;
}
