// Colours read out of images: one pixel, the average of the whole image, and the most frequent
// distinct colours, optionally snapped onto the flat palette.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/color.h"

class UIImage;

// A colour with its number of occurrences. Ordered highest count first.
class FlatKitCountedColor : public NSObject {
public:
    KORVA_MAKE(FlatKitCountedColor)
    unsigned long count() const { return count_; }
    void setCount(unsigned long count) { count_ = count; }
    const std::shared_ptr<UIColor>& color() const { return color_; }
    void setColor(std::shared_ptr<UIColor> color) { color_ = std::move(color); }
    // -1 when this count is greater (or the other is no counted colour), 0 when equal, 1 when smaller.
    int compare(const NSObject& other) const;
    std::string className() const override { return "FlatKitCountedColor"; }

protected:
    FlatKitCountedColor(std::shared_ptr<UIColor> color, unsigned long count)
        : count_(count), color_(std::move(color)) {}

private:
    unsigned long count_;
    std::shared_ptr<UIColor> color_;
};

// The colours sampled from an image with their counts, in the order first seen.
using CountedColorSet = std::vector<std::shared_ptr<FlatKitCountedColor>>;

// The colour of the pixel at (x, y), (0, 0) the top left, as stored (premultiplied by alpha);
// none for an image without a bitmap, or a point outside it.
std::shared_ptr<UIColor> colorFromImage(const std::shared_ptr<UIImage>& image, CGPoint point);
// The whole image scaled down to one pixel, with the alpha given (transparent black when the pixel
// is transparent), raised to at least 0.15 saturation; none for an image without a bitmap.
std::shared_ptr<UIColor> colorWithAverageColorFromImage(const std::shared_ptr<UIImage>& image, CGFloat alpha = 1.0);
// The colour itself when saturated enough, else a copy with the minimum saturation.
std::shared_ptr<UIColor> colorWithMinimumSaturation(const std::shared_ptr<UIColor>& color, double minimum);
// Distinct when a channel differs by more than 0.25, unless both are near grey; false with none.
bool isDistinct(const std::shared_ptr<UIColor>& color, const std::shared_ptr<UIColor>& other);
// The image redrawn at the size (scale 1); none when the size holds no pixels.
std::shared_ptr<UIImage> imageWithImage(const std::shared_ptr<UIImage>& image, CGSize size);
inline std::shared_ptr<UIImage> imageScaledToSize(const std::shared_ptr<UIImage>& image, CGSize size) {
    return imageWithImage(image, size);
}

namespace NSArrayFlatKit {
// Exactly five: the most frequent distinct colours of the image at an eighth of its size (flattened
// when asked), then whites; five whites without an image.
std::vector<std::shared_ptr<UIColor>> arrayOfColorsFromImage(const std::shared_ptr<UIImage>& image, bool flatScheme);
// Up to `wanted` most frequent distinct colours of every pixel of the image; the sampled colours
// and counts are handed back through `imageColors` when given.
std::vector<std::shared_ptr<UIColor>> findColorsOfImage(std::size_t wanted, const std::shared_ptr<UIImage>& image,
                                                        CountedColorSet* imageColors = nullptr);
}  // namespace NSArrayFlatKit
