// Gradients are rendered once into an image at the screen's scale; a pattern colour made of one is
// read back by drawing that image into a single pixel.
#include "widgets/flat/flat_gradient.h"

#include <algorithm>
#include <cmath>

#include "platform/image/cg_image.h"
#include "platform/image/color_space.h"
#include "platform/ui/draw/gradient.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/layer/ca_gradient_layer.h"

namespace {
std::shared_ptr<UIImage>& gradientSlot() {
    static std::shared_ptr<UIImage> image;
    return image;
}

std::shared_ptr<UIImage> takeImageAndEnd() {
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

std::shared_ptr<UIImage> radialImage(CGSize size, const std::vector<CGColor>& colors) {
    UIGraphicsBeginImageContextWithOptions(size, false, 0);
    CGContext* context = UIGraphicsGetCurrentContext();
    // Two colours sit at 0 and 1; any other count is spread evenly.
    std::vector<CGFloat> locations;
    if (colors.size() == 2) locations = {0.0, 1.0};
    auto gradient = CGGradient::createWithColors(CGColorSpaceCreateDeviceRGB(), colors, locations);
    if (context && gradient) {
        CGPoint centre{size.width / 2, size.height / 2};
        CGFloat radius = static_cast<float>(std::min(size.width, size.height));
        context->drawRadialGradient(*gradient, centre, 0, centre, radius, kCGGradientDrawsAfterEndLocation);
    }
    return takeImageAndEnd();
}

std::shared_ptr<UIImage> layerImage(UIGradientStyle style, CGRect frame, const std::vector<CGColor>& colors) {
    auto layer = CAGradientLayer::make();
    layer->setFrame(frame);
    layer->setColors(colors);
    if (style == UIGradientStyle::LeftToRight) {
        layer->setStartPoint({0, 0.5});
        layer->setEndPoint({1, 0.5});
    }
    UIGraphicsBeginImageContextWithOptions(layer->bounds().size, false, 0);
    if (CGContext* context = UIGraphicsGetCurrentContext()) layer->renderInContext(*context);
    return takeImageAndEnd();
}
}  // namespace

std::shared_ptr<UIColor> colorWithGradientStyle(UIGradientStyle style, CGRect frame,
                                                const std::vector<std::shared_ptr<UIColor>>& colors) {
    std::vector<CGColor> values;
    for (const auto& c : colors)
        if (c) values.push_back(c->cgColor());
    auto image = style == UIGradientStyle::Radial ? radialImage(frame.size, values) : layerImage(style, frame, values);
    if (!image) return nullptr;
    setGradientImage(image);
    return UIColor::colorWithPatternImage(image);
}

std::shared_ptr<UIImage> gradientImage() {
    return gradientSlot();
}
void setGradientImage(std::shared_ptr<UIImage> image) {
    gradientSlot() = std::move(image);
}

std::shared_ptr<UIColor> resolvingPatternColor(const std::shared_ptr<UIColor>& color) {
    if (!color || !color->cgColor().isPattern()) return color;
    UIGraphicsBeginImageContextWithOptions({1, 1}, false, 1);
    if (CGContext* context = UIGraphicsGetCurrentContext()) {
        context->setInterpolationQuality(CGInterpolationQuality::Medium);
        if (auto image = gradientSlot()) image->drawInRect({{0, 0}, {1, 1}}, CGBlendMode::Copy, 1);
    }
    auto pixel = takeImageAndEnd();
    std::uint8_t red = 0, green = 0, blue = 0;
    if (pixel && pixel->cgImage()) {
        const std::uint8_t* p = pixel->cgImage()->row(0);
        bool bgra = pixel->cgImage()->layout() == CGImagePixelLayout::BGRA8Premultiplied;
        red = p[bgra ? 2 : 0];
        green = p[1];
        blue = p[bgra ? 0 : 2];
    }
    return UIColor::colorWithRed(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0);
}
