// Box convolution as two sliding sums, divided once at the end so that the result is exactly the
// rounded mean of the box. Boxes whose sums fit 32 bits (every box up to 4096 x 4096) keep one
// row of column sums that slides down the image, and slide across it for each output row; larger
// boxes keep a horizontal sum per source row in the work buffer, then slide down the columns.
// Small boxes (up to 256 pixels, a few columns wide) keep their column sums in 16 bits and add
// the box's columns for every output value in vector lanes, dividing by a multiplication that
// gives the same quotient.
#include "platform/image/vimage_convolution.h"

#include <algorithm>
#include <vector>

#include "platform/image/box_sum_kernels.h"
#include "platform/image/engine/render_pool.h"

namespace {

constexpr int kChannels = 4;
// Boxes up to this many pixels turn sums into means through a table (at most about 1 MB).
constexpr std::uint32_t kMeanTableLimit = 4096;
// Images of at least this many pixels are convolved in bands of at least this many rows at once.
constexpr long kBandedPixels = 1L << 17;
constexpr long kMinBandRows = 64;
// Boxes at most this wide add their columns for each output value rather than sliding across.
constexpr std::uint32_t kMaxAddedColumns = 15;

long clampIndex(long i, long n) {
    return std::clamp(i, 0L, n - 1);
}

// Sums of 255 over the whole box fit 32 bits.
bool fitsSmallSums(std::uint32_t kh, std::uint32_t kw) {
    return static_cast<std::uint64_t>(kh) * kw * 255u < (std::uint64_t{1} << 32);
}

// floor(x / d) for x below 2^32 by a multiplication, corrected to the exact quotient.
struct Divider {
    std::uint32_t d;
    double inverse;
    explicit Divider(std::uint32_t divisor) : d(divisor), inverse(1.0 / divisor) {}
    std::uint32_t operator()(std::uint32_t x) const {
        auto q = static_cast<std::uint32_t>(x * inverse);
        if (static_cast<std::uint64_t>(q) * d > x)
            --q;
        else if (static_cast<std::uint64_t>(q + 1) * d <= x)
            ++q;
        return q;
    }
};

// The small-sum path: a column sum over the box's height for each source column the output
// reaches (edge columns repeated), slid down one row at a time; each output row slides across
// them, and a table turns each box sum into its rounded mean.
void convolveSmall(const std::uint8_t* in, std::size_t inRow, long srcW, long srcH, std::uint8_t* out,
                   std::size_t outRow, long w, long h, long ox, long oy, long rx, long ry, std::uint32_t* columns) {
    const long cols = w + 2 * rx;
    const auto area = static_cast<std::uint32_t>((2 * rx + 1) * (2 * ry + 1));
    std::vector<long> source(static_cast<std::size_t>(cols));
    for (long c = 0; c < cols; ++c) source[static_cast<std::size_t>(c)] = clampIndex(ox - rx + c, srcW) * kChannels;
    // The columns [inner0, inner1) read the source without repeating an edge.
    const long inner0 = std::clamp(rx - ox, 0L, cols), inner1 = std::clamp(srcW + rx - ox, inner0, cols);
    // Rounded means of every possible sum, when the table stays small; else a division.
    std::vector<std::uint8_t> mean;
    if (area <= kMeanTableLimit) {
        mean.resize(static_cast<std::size_t>(area) * 255 + 1);
        for (std::uint32_t x = 0; x < mean.size(); ++x) mean[x] = static_cast<std::uint8_t>((x + area / 2) / area);
    }
    const Divider divide(area);
    auto row = [&](long y) { return in + static_cast<std::size_t>(clampIndex(y, srcH)) * inRow; };

    for (long k = 0; k < cols * kChannels; ++k) columns[k] = 0;
    for (long j = -ry; j <= ry; ++j) {
        const std::uint8_t* r = row(oy + j);
        for (long c = 0; c < cols; ++c)
            for (int ch = 0; ch < kChannels; ++ch) columns[c * kChannels + ch] += r[source[c] + ch];
    }
    for (long y = 0; y < h; ++y) {
        std::uint8_t* target = out + static_cast<std::size_t>(y) * outRow;
        std::uint32_t acc[kChannels] = {};
        for (long c = 0; c < 2 * rx + 1; ++c)
            for (int ch = 0; ch < kChannels; ++ch) acc[ch] += columns[c * kChannels + ch];
        const std::uint32_t* leaving = columns;
        const std::uint32_t* entering = columns + (2 * rx + 1) * kChannels;
        auto put = [&](long x) {
            for (int ch = 0; ch < kChannels; ++ch)
                target[x * kChannels + ch] =
                    mean.empty() ? static_cast<std::uint8_t>(divide(acc[ch] + area / 2)) : mean[acc[ch]];
        };
        for (long x = 0; x + 1 < w; ++x) {
            put(x);
            for (int ch = 0; ch < kChannels; ++ch)
                acc[ch] += entering[x * kChannels + ch] - leaving[x * kChannels + ch];
        }
        put(w - 1);
        if (y + 1 == h) break;
        const std::uint8_t* up = row(oy + y - ry);
        const std::uint8_t* down = row(oy + y + ry + 1);
        // Inside the source the columns lie side by side; only the repeated edges need the map.
        for (long c = 0; c < cols; ++c) {
            if (c == inner0 && inner1 > inner0) {
                const std::uint8_t* u = up + source[c];
                const std::uint8_t* d = down + source[c];
                std::uint32_t* col = columns + c * kChannels;
                for (long k = 0; k < (inner1 - inner0) * kChannels; ++k)
                    col[k] += static_cast<std::uint32_t>(d[k]) - u[k];
                c = inner1 - 1;
                continue;
            }
            for (int ch = 0; ch < kChannels; ++ch)
                columns[c * kChannels + ch] += static_cast<std::uint32_t>(down[source[c] + ch]) - up[source[c] + ch];
        }
    }
}

// The 16-bit path for boxes whose rounded means the vector kernels give (same pixels as
// convolveSmall): column sums over the box's height slid down one row at a time, and for each
// output value the sum of the box's columns, divided through the reciprocal.
void convolveSmall16(const std::uint8_t* in, std::size_t inRow, long srcW, long srcH, std::uint8_t* out,
                     std::size_t outRow, long w, long h, long ox, long oy, long rx, long ry,
                     const boxsum::Reciprocal& divide, std::uint16_t* columns) {
    const long cols = w + 2 * rx;
    const auto area = static_cast<std::uint32_t>((2 * rx + 1) * (2 * ry + 1));
    const auto half = static_cast<std::uint16_t>(area / 2);
    // The columns [inner0, inner1) read the source side by side; those outside repeat an edge.
    const long inner0 = std::clamp(rx - ox, 0L, cols), inner1 = std::clamp(srcW + rx - ox, inner0, cols);
    const std::size_t innerValues = static_cast<std::size_t>(inner1 - inner0) * kChannels;
    const long firstSource = ox - rx + inner0;
    auto row = [&](long y) { return in + static_cast<std::size_t>(clampIndex(y, srcH)) * inRow; };
    // The repeated edge columns take the sums of the source's first and last columns.
    auto repeatEdges = [&] {
        for (long c = 0; c < inner0; ++c) std::copy_n(columns + inner0 * kChannels, kChannels, columns + c * kChannels);
        for (long c = inner1; c < cols; ++c)
            std::copy_n(columns + (inner1 - 1) * kChannels, kChannels, columns + c * kChannels);
    };

    std::fill(columns, columns + cols * kChannels, std::uint16_t{0});
    for (long j = -ry; j <= ry; ++j)
        boxsum::addRow(columns + inner0 * kChannels, row(oy + j) + firstSource * kChannels, innerValues);
    repeatEdges();
    for (long y = 0; y < h; ++y) {
        boxsum::boxMeans(columns, static_cast<std::size_t>(w) * kChannels, static_cast<std::size_t>(2 * rx + 1),
                         kChannels, half, divide, out + static_cast<std::size_t>(y) * outRow);
        if (y + 1 == h) break;
        boxsum::slideRow(columns + inner0 * kChannels, row(oy + y + ry + 1) + firstSource * kChannels,
                         row(oy + y - ry) + firstSource * kChannels, innerValues);
        repeatEdges();
    }
}

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
    // Small sums: one column sum per source column and channel. Large: one horizontal sum per
    // channel, per output column, per source row.
    const bool small = fitsSmallSums(kernel_height, kernel_width);
    const std::size_t tempSize =
        small ? static_cast<std::size_t>(w + 2 * (kernel_width / 2)) * kChannels * sizeof(std::uint32_t)
              : static_cast<std::size_t>(srcH) * static_cast<std::size_t>(w) * kChannels * sizeof(std::uint64_t);
    if (flags & kvImageGetTempBufferSize) return static_cast<vImage_Error>(tempSize);
    if (!(flags & kvImageEdgeExtend)) return kvImageInvalidEdgeStyle;
    if (!src->data || !dest->data) return kvImageNullPointerArgument;
    if (src->rowBytes < static_cast<std::size_t>(srcW) * kChannels ||
        dest->rowBytes < static_cast<std::size_t>(w) * kChannels)
        return kvImageBufferSizeMismatch;
    if (srcOffsetToROI_X + dest->width > src->width || srcOffsetToROI_Y + dest->height > src->height)
        return kvImageRoiLargerThanInputBuffer;
    if (w == 0 || h == 0) return kvImageNoError;

    std::vector<std::uint64_t> own;
    if (!tempBuffer) {
        own.resize((tempSize + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
        tempBuffer = own.data();
    }
    const long rx = kernel_width / 2, ry = kernel_height / 2;
    const long ox = static_cast<long>(srcOffsetToROI_X), oy = static_cast<long>(srcOffsetToROI_Y);
    const auto* in = static_cast<const std::uint8_t*>(src->data);
    auto* out = static_cast<std::uint8_t*>(dest->data);
    if (small) {
        const std::uint32_t area = kernel_width * kernel_height;
        const auto reciprocal = kernel_width <= kMaxAddedColumns ? boxsum::reciprocal(area) : std::nullopt;
        const std::size_t columnValues = static_cast<std::size_t>(w + 2 * rx) * kChannels;
        // Rows [y0, y1) of the output, from column sums of their own in `columns` (or a buffer
        // made for them).
        auto convolveRows = [&](long y0, long y1, void* columns) {
            std::vector<std::uint32_t> own;
            if (!columns) {
                own.resize(columnValues);
                columns = own.data();
            }
            std::uint8_t* target = out + static_cast<std::size_t>(y0) * dest->rowBytes;
            if (reciprocal)
                convolveSmall16(in, src->rowBytes, srcW, srcH, target, dest->rowBytes, w, y1 - y0, ox, oy + y0, rx, ry,
                                *reciprocal, static_cast<std::uint16_t*>(columns));
            else
                convolveSmall(in, src->rowBytes, srcW, srcH, target, dest->rowBytes, w, y1 - y0, ox, oy + y0, rx, ry,
                              static_cast<std::uint32_t*>(columns));
        };
        // A large image is cut into bands of rows that the render pool's threads convolve side by
        // side, each from its own column sums (the sums, and so the pixels, are the same).
        const std::size_t bands =
            static_cast<std::size_t>(std::min<long>(h / kMinBandRows, static_cast<long>(RenderPool::shared().size())));
        if (w * h >= kBandedPixels && bands > 1) {
            const long rows = (h + static_cast<long>(bands) - 1) / static_cast<long>(bands);
            auto band = [&](std::size_t i, RenderArena&) {
                const long y0 = static_cast<long>(i) * rows, y1 = std::min(h, y0 + rows);
                if (y1 > y0) convolveRows(y0, y1, nullptr);
            };
            if (RenderPool::shared().tryRun(bands, 0, band)) return kvImageNoError;
        }
        convolveRows(0, h, tempBuffer);
        return kvImageNoError;
    }
    auto* sums = static_cast<std::uint64_t*>(tempBuffer);

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
    auto sumRow = [&](long y) {
        return sums + static_cast<std::size_t>(clampIndex(y, srcH)) * static_cast<std::size_t>(w) * kChannels;
    };
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
