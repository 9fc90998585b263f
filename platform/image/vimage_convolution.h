// Box convolution of interleaved 8-bit four-channel buffers: every output pixel is the rounded
// mean of the box around it, each channel on its own, with the edge pixels repeated outwards.
// Thread-safe (it touches only the buffers it is given).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

using vImagePixelCount = unsigned long;
using vImage_Error = ssize_t;
using vImage_Flags = std::uint32_t;
using Pixel_8888 = std::uint8_t[4];

struct vImage_Buffer {
    void* data = nullptr;
    vImagePixelCount height = 0;
    vImagePixelCount width = 0;
    std::size_t rowBytes = 0;
};

enum : vImage_Flags {
    kvImageNoFlags = 0,
    kvImageEdgeExtend = 8,
    kvImageGetTempBufferSize = 128,
};

enum : vImage_Error {
    kvImageNoError = 0,
    kvImageRoiLargerThanInputBuffer = -21766,
    kvImageInvalidKernelSize = -21767,
    kvImageInvalidEdgeStyle = -21768,
    kvImageNullPointerArgument = -21772,
    kvImageBufferSizeMismatch = -21774,
    kvImageUnknownFlagsBit = -21775,
};

// Convolves the region of `src` that starts at the offsets and has `dest`'s size into `dest`.
// The kernel's sides must be odd. Only edge extension is offered. With kvImageGetTempBufferSize
// nothing is computed and the answer is the size in bytes of the work buffer to pass in (which
// may then be null: the call makes its own).
vImage_Error vImageBoxConvolve_ARGB8888(const vImage_Buffer* src, const vImage_Buffer* dest, void* tempBuffer,
                                        vImagePixelCount srcOffsetToROI_X, vImagePixelCount srcOffsetToROI_Y,
                                        std::uint32_t kernel_height, std::uint32_t kernel_width,
                                        const Pixel_8888 backgroundColor, vImage_Flags flags);
