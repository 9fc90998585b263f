// The layout and image operations the photo-strip host needs from the UI toolkit, which lives
// above the capture engine and registers them at start-up. Until it does, views are placed by
// frame from the parent's size and thumbnails are cropped and sampled plainly. Main thread.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/draw/image.h"
#include "platform/ui/view/ui_view.h"

struct PhotoStripLayout {
    // Pins the view's four edges to the container's (insets 0).
    std::function<void(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& container)> pinEdges;
    // Gives the view a width and height, centres it horizontally and puts its bottom `bottom`
    // points above the container's.
    std::function<void(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& container, CGSize size,
                       double bottom)>
        placeCentredAbove;
    // The centred crop of the width-to-height ratio, resized to the size in points.
    std::function<std::shared_ptr<UIImage>(const std::shared_ptr<UIImage>& image, double ratio, CGSize size)>
        cropResize;

    static void registerOperations(PhotoStripLayout operations);
    // The registered operations, or the frame-based stand-ins.
    static PhotoStripLayout operations();
};
