#include "capture/photo_strip_layout.h"

#include <algorithm>
#include <cmath>

#include "platform/image/cg_image.h"

namespace {

// The centred crop of the ratio, sampled to the size (nearest pixel): a plain stand-in for the
// toolkit's resampling.
std::shared_ptr<UIImage> cropAndSample(const std::shared_ptr<UIImage>& image, double ratio, CGSize size) {
    auto source = image ? image->cgImage() : nullptr;
    if (!source || ratio <= 0 || size.width < 1 || size.height < 1) return image;
    double w = source->width(), h = source->height();
    double cw = std::min(w, h * ratio), ch = cw / ratio;
    double x0 = (w - cw) / 2, y0 = (h - ch) / 2;
    int ow = int(std::lround(size.width)), oh = int(std::lround(size.height));
    std::vector<std::uint8_t> pixels(std::size_t(ow) * oh * 4);
    for (int y = 0; y < oh; ++y)
        for (int x = 0; x < ow; ++x) {
            int sx = std::clamp(int(x0 + (x + 0.5) * cw / ow), 0, source->width() - 1);
            int sy = std::clamp(int(y0 + (y + 0.5) * ch / oh), 0, source->height() - 1);
            std::copy_n(source->row(sy) + std::size_t(sx) * 4, 4, pixels.data() + (std::size_t(y) * ow + x) * 4);
        }
    auto out = CGImage::create(ow, oh, std::size_t(ow) * 4, std::move(pixels), source->colorSpace(), source->layout());
    return out ? UIImage::imageWithCGImage(out) : image;
}

PhotoStripLayout& registered() {
    static PhotoStripLayout operations;
    return operations;
}

}  // namespace

void PhotoStripLayout::registerOperations(PhotoStripLayout operations) {
    registered() = std::move(operations);
}

PhotoStripLayout PhotoStripLayout::operations() {
    PhotoStripLayout ops = registered();
    if (!ops.pinEdges)
        ops.pinEdges = [](const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& container) {
            view->setFrame({{0, 0}, container->bounds().size});
        };
    if (!ops.placeCentredAbove)
        ops.placeCentredAbove = [](const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& container,
                                   CGSize size, double bottom) {
            CGSize c = container->bounds().size;
            view->setFrame({{(c.width - size.width) / 2, c.height - bottom - size.height}, size});
        };
    if (!ops.cropResize) ops.cropResize = cropAndSample;
    return ops;
}
