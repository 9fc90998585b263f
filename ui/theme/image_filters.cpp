// Filtered variants and thumbnails through the filter engine, rendered on a context of their own.
#include "filter/ci_image_filter.h"
#include "filter/filter_element.h"
#include "foundation/numeric.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/ui/draw/image.h"
#include "ui/theme/image_context.h"
#include "ui/theme/image_custom.h"

namespace {
constexpr float kEdgeShare = 20;  // the background's inset is the shorter side over this
constexpr float kBlurSmall = 10, kBlurLarge = 30;
constexpr float kSmallSide = 100, kLargeSide = 1000;
constexpr int kStripBlur = 20;
constexpr double kStripInset = 0.25;

Value input(Value value) {
    return Value::dictionary({{"value", std::move(value)}});
}

Value describe(const char* name, std::initializer_list<ValueDictionary::Entry> inputs) {
    auto values = Value::dictionary();
    for (const auto& [key, value] : inputs) values.set(key, input(value));
    return Value::dictionary({{"name", Value(name)}, {"value", values}});
}

// The shared tail: the whole extent rendered on a fresh context, as an image of scale 1, upright.
ImageRef render(const std::shared_ptr<CIImage>& filtered) {
    if (!filtered) return nullptr;
    auto context = CIContext::contextWithOptions();
    auto bitmap = context->createCGImage(filtered, filtered->extent());
    return bitmap ? UIImage::imageWithCGImage(bitmap, 1, UIImageOrientation::Up) : nullptr;
}

ImageRef applyDescription(const ImageRef& image, const Value& description) {
    auto source = ciimage(image);
    auto element = source ? FilterElement::withDesc(description) : nullptr;
    return element ? render(element->make(source)) : nullptr;
}
}  // namespace

std::shared_ptr<CIImage> ciimage(const ImageRef& image) {
    return image && image->cgImage() ? CIImage::imageWithCGImage(image->cgImage()) : nullptr;
}

ImageRef autoEnhancedImage(const ImageRef& image) {
    auto source = ciimage(image);
    if (!source) return nullptr;
    return render(autoEnhancedImageWithUIOrientation(source, static_cast<int>(image->imageOrientation())));
}

ImageRef grayscale(const ImageRef& image) {
    return applyDescription(
        image, describe("CIColorControls",
                        {{"inputSaturation", Value(0)}, {"inputBrightness", Value(0.5)}, {"inputContrast", Value(1)}}));
}

Value thumbnailBackgroundDescription(CGSize size) {
    const float w = static_cast<float>(size.width), h = static_cast<float>(size.height);
    const float m = minFloat(w, h);
    const float e = m / kEdgeShare;
    const float radius = lerpFloat(kBlurSmall, kBlurLarge, inverseLerpFloat(kSmallSide, kLargeSide, m));
    auto blur = describe("CIGaussianBlur", {{"inputRadius", Value(radius)}});
    return describe("CICrop",
                    {{"inputImage", blur},
                     {"inputRectangle", Value::array({Value(e), Value(e), Value(w - 2 * e), Value(h - 2 * e)})}});
}

ImageRef thumbnailBackground(const ImageRef& image) {
    if (!image || !ImageContext::isDrawable(image->size())) return nullptr;
    return applyDescription(image, thumbnailBackgroundDescription(image->size()));
}

Value thumbnailBlurDescription(CGSize size, double ratio) {
    const double w = size.width, h = size.height;
    const double s = w / ratio;
    const double e = s * kStripInset;
    auto strip =
        describe("CICrop", {{"inputRectangle", Value::array({Value(0), Value((h - s) * 0.5), Value(w), Value(s)})}});
    auto blur = describe("CIGaussianBlur", {{"inputImage", strip}, {"inputRadius", Value(kStripBlur)}});
    return describe("CICrop",
                    {{"inputImage", blur},
                     {"inputRectangle", Value::array({Value(e), Value(e), Value(w - 2 * e), Value(s - 2 * e)})}});
}

ImageRef thumbnailBlur(const ImageRef& image, double ratio) {
    if (!image) return nullptr;
    const CGSize own = image->size();
    if (!(ratio > 0) || !std::isfinite(ratio) || own.width >= own.height * ratio) return image;
    auto background = applyDescription(image, thumbnailBlurDescription(own, ratio));
    const CGSize canvas{own.height * ratio, own.height};
    ImageContext context(canvas, false, UIGraphicsGetMainScreenScale());
    if (!context) return nullptr;
    if (background) background->drawInRect(CGRectMake(0, 0, canvas.width, canvas.height));
    image->drawInRect(CGRectMake((canvas.width - own.width) * 0.5, 0, own.width, own.height));
    return context.take();
}
