// Pixel formats of bitmaps the image engine reads and writes.
#pragma once

#include <cstddef>

enum class CIFormat {
    RGBA8,  // four bytes R G B A
    BGRA8,  // four bytes B G R A (camera buffers, native-endian ARGB surfaces)
    RGBAf,  // four 32-bit floats R G B A
};

inline constexpr std::size_t CIFormatBytesPerPixel(CIFormat f) {
    return f == CIFormat::RGBAf ? 16 : 4;
}

// Whether colour channels of a bitmap are premultiplied by its alpha.
enum class CIAlphaMode { Premultiplied, Straight };
