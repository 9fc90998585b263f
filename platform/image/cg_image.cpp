// Bitmap images.
#include "platform/image/cg_image.h"

#include <cstdio>

std::shared_ptr<CGImage> CGImage::create(int width, int height, std::size_t bytesPerRow,
                                         std::vector<std::uint8_t> pixels, std::shared_ptr<CGColorSpace> colorSpace,
                                         CGImagePixelLayout layout) {
    if (width <= 0 || height <= 0) return nullptr;
    if (bytesPerRow < static_cast<std::size_t>(width) * 4) return nullptr;
    if (pixels.size() < bytesPerRow * static_cast<std::size_t>(height - 1) + static_cast<std::size_t>(width) * 4)
        return nullptr;
    return make(width, height, bytesPerRow, std::move(pixels), std::move(colorSpace), layout);
}

std::string CGImage::description() const {
    char buf[128];
    std::snprintf(buf, sizeof buf, "<CGImage %dx%d %s %s>", width_, height_,
                  layout_ == CGImagePixelLayout::RGBA8Premultiplied ? "RGBA8" : "BGRA8",
                  colorSpace_ ? colorSpace_->name().c_str() : "unmanaged");
    return buf;
}
