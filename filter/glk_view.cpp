// The drawable of a view drawn by the image engine.
#include "filter/glk_view.h"

#include <cmath>

#include "platform/image/cg_image.h"

int GLKView::drawableWidth() const {
    double w = bounds().size.width * layer()->contentsScale();
    return std::isfinite(w) && w > 0 ? static_cast<int>(w) : 0;
}

int GLKView::drawableHeight() const {
    double h = bounds().size.height * layer()->contentsScale();
    return std::isfinite(h) && h > 0 ? static_cast<int>(h) : 0;
}

void GLKView::bindDrawable() {
    width_ = drawableWidth();
    height_ = drawableHeight();
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4, 0);
}

void GLKView::clear(float r, float g, float b, float a) {
    auto byte = [](float v) {
        return static_cast<std::uint8_t>(std::lround(std::fmin(1.0f, std::fmax(0.0f, v)) * 255));
    };
    // The surface is BGRA, premultiplied.
    std::uint8_t px[4] = {byte(b * a), byte(g * a), byte(r * a), byte(a)};
    for (std::size_t i = 0; i + 4 <= pixels_.size(); i += 4)
        for (int c = 0; c < 4; ++c) pixels_[i + c] = px[c];
}

CIBitmapSurface GLKView::surface() {
    return {pixels_.empty() ? nullptr : pixels_.data(), width_, height_, static_cast<std::size_t>(width_) * 4,
            CIFormat::BGRA8};
}

void GLKView::display() {
    if (width_ < 1 || height_ < 1) return;
    if (pixels_.empty()) return;  // presented already; bind and draw again first
    // The layer takes the pixels as they are: no copy of the frame per present.
    auto image = CGImage::create(width_, height_, static_cast<std::size_t>(width_) * 4, std::move(pixels_), nullptr,
                                 CGImagePixelLayout::BGRA8Premultiplied);
    pixels_.clear();
    if (!image) return;
    layer()->setContents(image);
    ++presentCount_;
}
