// Bitmap contexts: drawing into caller-provided (or own) memory in the pixel layout the caller names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ui/draw/context.h"

class CGColorSpace;
typedef struct _cairo_surface cairo_surface_t;
class CGImage;

// Alpha information and byte order, combined with | as on the platform.
enum : std::uint32_t {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGImageAlphaOnly = 7,
    kCGBitmapAlphaInfoMask = 0x1F,
    kCGBitmapByteOrderDefault = 0,
    kCGBitmapByteOrder32Little = 2u << 12,
    kCGBitmapByteOrder32Big = 4u << 12,
    kCGBitmapByteOrderMask = 0x7000,
};

// The user space is y up with the origin at the bottom left, as the platform's bitmap contexts
// are; row 0 of the memory is the top of the picture.
class CGBitmapContext : public CGContext {
public:
    ~CGBitmapContext() override;

    void* data() const { return data_; }
    std::size_t width() const { return width_; }
    std::size_t height() const { return height_; }
    std::size_t bytesPerRow() const { return bytesPerRow_; }
    std::size_t bitsPerPixel() const { return bytesPerPixel_ * 8; }
    std::uint32_t bitmapInfo() const { return info_; }

    // A copy of the pixels as an image (premultiplied BGRA).
    std::shared_ptr<CGImage> makeImage();
    void flush() override;

    std::string className() const override { return "CGBitmapContext"; }

    struct Layout;  // byte positions of the channels in one pixel

protected:
    CGBitmapContext(cairo_t* cr, cairo_surface_t* surface, void* data, std::vector<std::uint8_t> owned,
                    std::size_t width, std::size_t height, std::size_t bytesPerRow, std::size_t bytesPerPixel,
                    std::uint32_t info, bool converted, bool gray);
    void didDraw() override;

private:
    friend std::shared_ptr<CGBitmapContext> CGBitmapContextCreate(void*, std::size_t, std::size_t, std::size_t,
                                                                  std::size_t, std::shared_ptr<CGColorSpace>,
                                                                  std::uint32_t);
    void copyIn();
    void copyOut();

    cairo_surface_t* surface_;
    void* data_;
    std::vector<std::uint8_t> owned_;
    std::size_t width_, height_, bytesPerRow_, bytesPerPixel_;
    std::uint32_t info_;
    bool converted_;  // the surface is a working copy that is written back after each drawing
    bool gray_;
};

// None for layouts the platform refuses too (8 bits per component only: 32-bit RGB with
// premultiplied or skipped alpha in either byte order, or 8-bit grey without alpha), for a zero
// size, or for rows shorter than the width. `data` null makes the context own zeroed memory; a
// bytesPerRow of 0 is computed. The caller's memory must stay valid for the context's life.
std::shared_ptr<CGBitmapContext> CGBitmapContextCreate(void* data, std::size_t width, std::size_t height,
                                                       std::size_t bitsPerComponent, std::size_t bytesPerRow,
                                                       std::shared_ptr<CGColorSpace> space, std::uint32_t bitmapInfo);

inline std::shared_ptr<CGImage> CGBitmapContextCreateImage(const std::shared_ptr<CGBitmapContext>& context) {
    return context ? context->makeImage() : nullptr;
}
