#include "capture/photo_strip_layout.h"

namespace {

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
        ops.placeCentredAbove = [](const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& container, CGSize size,
                                   double bottom) {
            CGSize c = container->bounds().size;
            view->setFrame({{(c.width - size.width) / 2, c.height - bottom - size.height}, size});
        };
    if (!ops.cropResize) ops.cropResize = [](const std::shared_ptr<UIImage>& image, double, CGSize) { return image; };
    return ops;
}
