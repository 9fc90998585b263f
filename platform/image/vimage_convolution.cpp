// Box convolution as two sliding sums: a horizontal one per source row into the work buffer,
// then a vertical one per output column, divided once at the end so that the result is exactly
// the rounded mean of the box.
#include "platform/image/vimage_convolution.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kChannels = 4;

long clampIndex(long i, long n) { return std::clamp(i, 0L, n - 1); }

}  // namespace

vImage_Error vImageBoxConvolve_ARGB8888(const vImage_Buffer* src, const vImage_Buffer* dest, void* tempBuffer,
                                        vImagePixelCount srcOffsetToROI_X, vImagePixelCount srcOffsetToROI_Y,
                                        std::uint32_t kernel_height, std::uint32_t kernel_width,
                                        const Pixel_8888 /*backgroundColor*/, vImage_Flags flags) {
    if (!src || !dest) return kvImageNullPointerArgument;
    if (flags & ~(kvImageEdgeExtend | kvImageGetTempBufferSize)) return kvImageUnknownFlagsBit;
    if (kernel_height % 2 == 0 || kernel_width % 2 == 0) return kvImageInvalidKernelSize;
    const long srcW = static_cast<long>(src->width), srcH = static_cast<long>(src->height);
    const long w = static_cast<long>(dest->width), h = static_cast<long>(dest->height);
    // One horizontal sum per channel, per output column, per source row.
    const std::size_t tempSize = static_cast<std::size_t>(srcH) * static_cast<std::size_t>(w) * kChannels * sizeof(std::uint64_t);
    if (flags & kvImageGetTempBufferSize) return static_cast<vImage_Error>(tempSize);
    if (!(flags & kvImageEdgeExtend)) return kvImageInvalidEdgeStyle;
    if (!src->data || !dest->data) return kvImageNullPointerArgument;
    if (src->rowBytes < static_cast<std::size_t>(srcW) * kChannels || dest->rowBytes < static_cast<std::size_t>(w) * kChannels)
        return kvImageBufferSizeMismatch;
    if (srcOffsetToROI_X + dest->width > src->width || srcOffsetToROI_Y + dest->height > src->height)
        return kvImageRoiLargerThanInputBuffer;
    if (w == 0 || h == 0) return kvImageNoError;

    std::vector<std::uint64_t> own;
    auto* sums = static_cast<std::uint64_t*>(tempBuffer);
    if (!sums) {
        own.resize(tempSize / sizeof(std::uint64_t));
        sums = own.data();
    }
    const long rx = kernel_width / 2, ry = kernel_height / 2;
    const long ox = static_cast<long>(srcOffsetToROI_X), oy = static_cast<long>(srcOffsetToROI_Y);
    const auto* in = static_cast<const std::uint8_t*>(src->data);
    auto* out = static_cast<std::uint8_t*>(dest->data);

    // Which source rows the vertical pass reads.
    const long firstRow = clampIndex(oy - ry, srcH), lastRow = clampIndex(oy + h - 1 + ry, srcH);
    for (long y = firstRow; y <= lastRow; ++y) {
        const std::uint8_t* row = in + static_cast<std::size_t>(y) * src->rowBytes;
        std::uint64_t* line = sums + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * kChannels;
        std::uint64_t acc[kChannels] = {};
        for (long i = -rx; i <= rx; ++i) {
            const std::uint8_t* p = row + clampIndex(ox + i, srcW) * kChannels;
            for (int c = 0; c < kChannels; ++c) acc[c] += p[c];
        }
        for (long x = 0; x < w; ++x) {
            for (int c = 0; c < kChannels; ++c) line[x * kChannels + c] = acc[c];
            const std::uint8_t* leaving = row + clampIndex(ox + x - rx, srcW) * kChannels;
            const std::uint8_t* entering = row + clampIndex(ox + x + rx + 1, srcW) * kChannels;
            for (int c = 0; c < kChannels; ++c) acc[c] += entering[c] - static_cast<std::uint64_t>(leaving[c]);
        }
    }

    const std::uint64_t area = static_cast<std::uint64_t>(kernel_width) * kernel_height;
    std::vector<std::uint64_t> column(static_cast<std::size_t>(w) * kChannels, 0);
    auto sumRow = [&](long y) { return sums + static_cast<std::size_t>(clampIndex(y, srcH)) * static_cast<std::size_t>(w) * kChannels; };
    for (long j = -ry; j <= ry; ++j) {
        const std::uint64_t* line = sumRow(oy + j);
        for (long k = 0; k < w * kChannels; ++k) column[k] += line[k];
    }
    for (long y = 0; y < h; ++y) {
        std::uint8_t* target = out + static_cast<std::size_t>(y) * dest->rowBytes;
        for (long k = 0; k < w * kChannels; ++k) target[k] = static_cast<std::uint8_t>((column[k] + area / 2) / area);
        if (y + 1 == h) break;
        const std::uint64_t* leaving = sumRow(oy + y - ry);
        const std::uint64_t* entering = sumRow(oy + y + ry + 1);
        for (long k = 0; k < w * kChannels; ++k) column[k] += entering[k] - leaving[k];
    }
    return kvImageNoError;
}
