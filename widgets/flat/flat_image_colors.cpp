// Every read draws the image once into an RGBA bitmap (premultiplied, rows top to bottom) and
// reads pixels from that buffer, so sampling all pixels costs one drawing.
#include "widgets/flat/flat_image_colors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "platform/image/cg_image.h"
#include "platform/image/color_space.h"
#include "platform/ui/draw/bitmap_context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "widgets/flat/flat_conversions.h"

namespace {
constexpr double kMinimumSaturation = 0.15f;
constexpr double kDistinctThreshold = 0.25;
constexpr double kNearGrey = 0.03f;
constexpr double kSampleScale = 0.125;
constexpr std::size_t kSchemeSize = 5;

// The image's bitmap drawn once into memory.
class PixelBuffer {
public:
    explicit PixelBuffer(const std::shared_ptr<UIImage>& image) {
        if (!image || !image->cgImage()) return;
        const CGImage& bitmap = *image->cgImage();
        if (bitmap.width() <= 0 || bitmap.height() <= 0) return;
        width_ = static_cast<std::size_t>(bitmap.width());
        height_ = static_cast<std::size_t>(bitmap.height());
        bytes_.assign(width_ * height_ * 4, 0);
        auto context = CGBitmapContextCreate(bytes_.data(), width_, height_, 8, width_ * 4,
                                             CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast);
        if (!context) {
            width_ = height_ = 0;
            return;
        }
        context->drawImage({{0, 0}, {double(width_), double(height_)}}, bitmap);
        context->flush();
    }

    std::size_t width() const { return width_; }
    std::size_t height() const { return height_; }

    // None outside [0, width) x [0, height).
    std::shared_ptr<UIColor> colorAt(CGPoint p) const {
        if (!(p.x >= 0 && p.y >= 0 && p.x < double(width_) && p.y < double(height_))) return nullptr;
        auto offset = static_cast<std::size_t>(double(4 * width_) * p.y + 4 * p.x);
        if (offset + 4 > bytes_.size()) return nullptr;
        const std::uint8_t* px = bytes_.data() + offset;
        return UIColor::colorWithRed(px[0] / 255.0f, px[1] / 255.0f, px[2] / 255.0f, px[3] / 255.0);
    }

private:
    std::size_t width_ = 0, height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

using Components = std::array<CGFloat, 4>;

Components componentsOf(const UIColor& color) {
    Components c{};
    getRGBAComponents(color, c.data());
    return c;
}

// Equal colours (by value) counted together, in the order first seen.
struct ColorCounts {
    std::vector<std::shared_ptr<UIColor>> order;
    std::map<Components, unsigned long> counts;

    void add(const std::shared_ptr<UIColor>& color) {
        if (!color) return;
        if (counts[componentsOf(*color)]++ == 0) order.push_back(color);
    }
    unsigned long countOf(const UIColor& color) const {
        auto it = counts.find(componentsOf(color));
        return it == counts.end() ? 0 : it->second;
    }
};

ColorCounts sampleEveryPixel(const std::shared_ptr<UIImage>& image) {
    ColorCounts counts;
    PixelBuffer pixels(image);
    for (std::size_t x = 0; x < pixels.width(); ++x)
        for (std::size_t y = 0; y < pixels.height(); ++y) counts.add(pixels.colorAt({double(x), double(y)}));
    return counts;
}

// The sampled colours raised to the minimum saturation with the count of the raised colour, the
// highest counts first; then the distinct ones, at most `wanted`.
std::vector<std::shared_ptr<UIColor>> mostFrequentDistinct(const ColorCounts& counts, std::size_t wanted, bool flat,
                                                           CountedColorSet* handedBack) {
    CountedColorSet counted;
    for (const auto& color : counts.order) {
        auto adjusted = colorWithMinimumSaturation(color, kMinimumSaturation);
        counted.push_back(FlatKitCountedColor::make(adjusted, counts.countOf(*adjusted)));
    }
    if (handedBack) {
        handedBack->clear();
        for (const auto& color : counts.order)
            handedBack->push_back(FlatKitCountedColor::make(color, counts.countOf(*color)));
    }
    std::stable_sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) { return a->compare(*b) < 0; });
    std::vector<std::shared_ptr<UIColor>> accepted;
    for (const auto& entry : counted) {
        auto color = entry->color();
        bool distinct =
            std::all_of(accepted.begin(), accepted.end(), [&](const auto& a) { return isDistinct(color, a); });
        if (!distinct) continue;
        if (accepted.size() >= wanted) break;
        accepted.push_back(flat ? flatten(color) : color);
    }
    return accepted;
}
}  // namespace

int FlatKitCountedColor::compare(const NSObject& other) const {
    auto* counted = dynamic_cast<const FlatKitCountedColor*>(&other);
    if (!counted) return -1;
    if (count_ > counted->count_) return -1;
    return count_ == counted->count_ ? 0 : 1;
}

std::shared_ptr<UIColor> colorFromImage(const std::shared_ptr<UIImage>& image, CGPoint point) {
    return PixelBuffer(image).colorAt(point);
}

std::shared_ptr<UIColor> colorWithAverageColorFromImage(const std::shared_ptr<UIImage>& image, CGFloat alpha) {
    if (!image || !image->cgImage()) return nullptr;
    std::array<std::uint8_t, 4> pixel{};
    auto context =
        CGBitmapContextCreate(pixel.data(), 1, 1, 8, 4, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast);
    if (!context) return nullptr;
    context->drawImage({{0, 0}, {1, 1}}, *image->cgImage());
    context->flush();
    auto average = pixel[3] != 0 ? UIColor::colorWithRed(pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0, alpha)
                                 : UIColor::colorWithRed(0, 0, 0, 0);
    return colorWithMinimumSaturation(average, kMinimumSaturation);
}

std::shared_ptr<UIColor> colorWithMinimumSaturation(const std::shared_ptr<UIColor>& color, double minimum) {
    CGFloat h = 0, s = 0, b = 0, a = 0;
    if (!color || !color->getHue(&h, &s, &b, &a)) return color;
    if (s < minimum) return UIColor::colorWithHue(h, minimum, b, a);
    return color;
}

bool isDistinct(const std::shared_ptr<UIColor>& color, const std::shared_ptr<UIColor>& other) {
    if (!color || !other) return false;
    Components c = componentsOf(*color), o = componentsOf(*other);
    bool apart = false;
    for (int i = 0; i < 4; ++i) apart = apart || std::fabs(c[i] - o[i]) > kDistinctThreshold;
    auto nearGrey = [](const Components& x) {
        return std::fabs(x[0] - x[1]) < kNearGrey && std::fabs(x[0] - x[2]) < kNearGrey;
    };
    return apart && !(nearGrey(c) && nearGrey(o));
}

std::shared_ptr<UIImage> imageWithImage(const std::shared_ptr<UIImage>& image, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1.0);
    if (image && UIGraphicsGetCurrentContext()) image->drawInRect({{0, 0}, size});
    auto scaled = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return scaled;
}

namespace NSArrayFlatKit {
std::vector<std::shared_ptr<UIColor>> arrayOfColorsFromImage(const std::shared_ptr<UIImage>& image, bool flatScheme) {
    std::vector<std::shared_ptr<UIColor>> colors;
    if (image) {
        CGSize size = image->size();
        auto small = imageWithImage(image, {size.width * kSampleScale, size.height * kSampleScale});
        colors = mostFrequentDistinct(sampleEveryPixel(small), kSchemeSize, flatScheme, nullptr);
    }
    while (colors.size() < kSchemeSize) colors.push_back(UIColor::whiteColor());
    return colors;
}

std::vector<std::shared_ptr<UIColor>> findColorsOfImage(std::size_t wanted, const std::shared_ptr<UIImage>& image,
                                                        CountedColorSet* imageColors) {
    return mostFrequentDistinct(sampleEveryPixel(image), wanted, false, imageColors);
}
}  // namespace NSArrayFlatKit
