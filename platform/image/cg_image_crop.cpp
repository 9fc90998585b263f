// Bitmap cut-outs.
#include "platform/image/cg_image_crop.h"

#include <algorithm>
#include <cmath>

std::shared_ptr<CGImage> CGImageCreateWithImageInRect(const std::shared_ptr<CGImage>& image, CGRect rect) {
    if (!image) return nullptr;
    if (!std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y) || !std::isfinite(rect.size.width) ||
        !std::isfinite(rect.size.height))
        return nullptr;
    double left = std::min(rect.origin.x, rect.origin.x + rect.size.width);
    double top = std::min(rect.origin.y, rect.origin.y + rect.size.height);
    double right = std::max(rect.origin.x, rect.origin.x + rect.size.width);
    double bottom = std::max(rect.origin.y, rect.origin.y + rect.size.height);
    double x0 = std::max(0.0, std::floor(left)), y0 = std::max(0.0, std::floor(top));
    double x1 = std::min(double(image->width()), std::ceil(right));
    double y1 = std::min(double(image->height()), std::ceil(bottom));
    if (x1 <= x0 || y1 <= y0) return nullptr;
    int w = int(x1 - x0), h = int(y1 - y0);
    std::vector<std::uint8_t> pixels(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        std::copy_n(image->row(int(y0) + y) + std::size_t(x0) * 4, std::size_t(w) * 4, &pixels[std::size_t(y) * w * 4]);
    return CGImage::create(w, h, std::size_t(w) * 4, std::move(pixels), image->colorSpace(), image->layout());
}
