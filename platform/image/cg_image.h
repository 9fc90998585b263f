// CGImage: an immutable 8-bit bitmap (rows top to bottom) with a colour space; what contexts render to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/image/color_space.h"
#include "platform/runtime/object.h"

// Byte order of the four channels; colour channels are premultiplied by alpha in both layouts.
enum class CGImagePixelLayout { RGBA8Premultiplied, BGRA8Premultiplied };

class CGImage : public NSObject {
public:
    KORVA_MAKE(CGImage)

    // Takes the pixels; none when the sizes are not positive or the buffer is shorter than
    // bytesPerRow x height (bytesPerRow at least 4 x width).
    static std::shared_ptr<CGImage> create(int width, int height, std::size_t bytesPerRow,
                                           std::vector<std::uint8_t> pixels,
                                           std::shared_ptr<CGColorSpace> colorSpace = nullptr,
                                           CGImagePixelLayout layout = CGImagePixelLayout::RGBA8Premultiplied);

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t bytesPerRow() const { return bytesPerRow_; }
    std::size_t bitsPerComponent() const { return 8; }
    std::size_t bitsPerPixel() const { return 32; }
    CGImagePixelLayout layout() const { return layout_; }
    // None when the pixels are not colour-managed.
    const std::shared_ptr<CGColorSpace>& colorSpace() const { return colorSpace_; }
    const std::uint8_t* data() const { return pixels_.data(); }
    const std::vector<std::uint8_t>& bytes() const { return pixels_; }
    // Row y counted from the top.
    const std::uint8_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * bytesPerRow_; }

    std::string description() const override;

protected:
    CGImage(int width, int height, std::size_t bytesPerRow, std::vector<std::uint8_t> pixels,
            std::shared_ptr<CGColorSpace> colorSpace, CGImagePixelLayout layout)
        : width_(width),
          height_(height),
          bytesPerRow_(bytesPerRow),
          pixels_(std::move(pixels)),
          colorSpace_(std::move(colorSpace)),
          layout_(layout) {}

private:
    int width_, height_;
    std::size_t bytesPerRow_;
    std::vector<std::uint8_t> pixels_;
    std::shared_ptr<CGColorSpace> colorSpace_;
    CGImagePixelLayout layout_;
};

inline std::size_t CGImageGetWidth(const std::shared_ptr<CGImage>& image) {
    return image ? image->width() : 0;
}
inline std::size_t CGImageGetHeight(const std::shared_ptr<CGImage>& image) {
    return image ? image->height() : 0;
}
