// Box convolution against a naive per-pixel reference: odd boxes of every shape, boxes wider than
// the image, one-pixel images, padded rows, boxes whose sums need more than 32 bits, small boxes
// summed in 16-bit lanes (their divisions and the brightest pixels), a region inside the source,
// and refused calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "platform/image/box_sum_kernels.h"
#include "platform/image/vimage_convolution.h"

namespace {

struct Bitmap {
    long width, height;
    std::size_t rowBytes;
    std::vector<std::uint8_t> bytes;
    Bitmap(long w, long h, std::size_t padding = 0)
        : width(w),
          height(h),
          rowBytes(static_cast<std::size_t>(w) * 4 + padding),
          bytes(rowBytes * static_cast<std::size_t>(h)) {}
    vImage_Buffer buffer() {
        return {bytes.data(), static_cast<vImagePixelCount>(height), static_cast<vImagePixelCount>(width), rowBytes};
    }
    std::uint8_t& at(long x, long y, int c) { return bytes[static_cast<std::size_t>(y) * rowBytes + x * 4 + c]; }
};

Bitmap noise(long w, long h, unsigned seed, std::size_t padding = 0) {
    Bitmap b(w, h, padding);
    std::mt19937 random(seed);
    for (auto& v : b.bytes) v = static_cast<std::uint8_t>(random() & 0xFF);
    return b;
}

// The rounded mean of the box, every coordinate clamped into the source.
Bitmap reference(Bitmap& src, long ox, long oy, long w, long h, long kh, long kw) {
    Bitmap out(w, h);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                std::uint64_t sum = 0;
                for (long j = -kh / 2; j <= kh / 2; ++j)
                    for (long i = -kw / 2; i <= kw / 2; ++i)
                        sum += src.at(std::clamp(ox + x + i, 0L, src.width - 1),
                                      std::clamp(oy + y + j, 0L, src.height - 1), c);
                out.at(x, y, c) = static_cast<std::uint8_t>((sum + kh * kw / 2) / (kh * kw));
            }
    return out;
}

// Fails with the first differing coordinate.
void expectSame(Bitmap& got, Bitmap& want) {
    for (long y = 0; y < want.height; ++y)
        for (long x = 0; x < want.width; ++x)
            for (int c = 0; c < 4; ++c)
                ASSERT_EQ(got.at(x, y, c), want.at(x, y, c)) << "at " << x << "," << y << " channel " << c;
}

const Pixel_8888 kNoBackground = {0, 0, 0, 0};

TEST(BoxConvolve, MatchesTheReferenceForBoxesOfEveryShape) {
    struct Case {
        long w, h, kh, kw;
        std::size_t padding;
    };
    for (Case k : {Case{17, 11, 5, 5, 0}, Case{17, 11, 1, 9, 12}, Case{8, 13, 7, 3, 4}, Case{6, 4, 21, 31, 0},
                   Case{1, 1, 5, 5, 0}, Case{1, 9, 3, 15, 0}, Case{40, 1, 9, 1, 8},
                   // Sums too large for 32 bits take the other road.
                   Case{1, 1, 4097, 4097, 0}}) {
        SCOPED_TRACE(testing::Message() << k.w << "x" << k.h << " box " << k.kw << "x" << k.kh);
        Bitmap src = noise(k.w, k.h, static_cast<unsigned>(k.w * 31 + k.kh), k.padding);
        Bitmap dst(k.w, k.h, k.padding);
        auto s = src.buffer(), d = dst.buffer();
        vImage_Error size = vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 0, 0, k.kh, k.kw, kNoBackground,
                                                       kvImageEdgeExtend | kvImageGetTempBufferSize);
        ASSERT_GE(size, 0);
        std::vector<std::uint8_t> temp(static_cast<std::size_t>(size));
        ASSERT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, temp.data(), 0, 0, k.kh, k.kw, kNoBackground, kvImageEdgeExtend),
                  kvImageNoError);
        Bitmap want = reference(src, 0, 0, k.w, k.h, k.kh, k.kw);
        expectSame(dst, want);
    }
}

TEST(BoxConvolve, SixteenBitDivisionsGiveTheExactQuotientOfEverySum) {
    int found = 0;
    for (std::uint32_t area = 1; area <= boxsum::kMaxArea; ++area) {
        auto divide = boxsum::reciprocal(area);
        if (!divide) continue;
        ++found;
        for (std::uint32_t x = 0; x <= 255 * area + area / 2; ++x)
            ASSERT_EQ((x * divide->multiplier) >> (16 + divide->shift), x / area) << "area " << area << " sum " << x;
    }
    EXPECT_GE(found, 128) << "most small boxes take the vector road";
    EXPECT_TRUE(boxsum::reciprocal(25)) << "the side menu's 5 x 5 box";
    EXPECT_FALSE(boxsum::reciprocal(257)) << "too large for 16-bit sums";
    EXPECT_FALSE(boxsum::reciprocal(0));
}

TEST(BoxConvolve, SmallBoxesMatchTheReferenceOnBrightDarkAndNoisyPixels) {
    // Widths that leave a tail after the last full vector, the brightest sums a box can hold, boxes
    // with and without a 16-bit reciprocal, and the side menu's five passes one after another.
    struct Case {
        long w, h, kh, kw;
    };
    for (Case k : {Case{37, 9, 5, 5}, Case{3, 20, 3, 15}, Case{70, 6, 15, 15}, Case{19, 19, 13, 13}, Case{33, 4, 1, 7},
                   Case{5, 300, 255, 1}}) {
        SCOPED_TRACE(testing::Message() << k.w << "x" << k.h << " box " << k.kw << "x" << k.kh);
        for (int fill : {0, 255, -1}) {
            Bitmap src = noise(k.w, k.h, static_cast<unsigned>(k.w + k.kw), 4);
            if (fill >= 0)
                for (long y = 0; y < k.h; ++y)
                    for (long x = 0; x < k.w; ++x)
                        for (int c = 0; c < 4; ++c) src.at(x, y, c) = static_cast<std::uint8_t>(fill);
            Bitmap dst(k.w, k.h);
            auto s = src.buffer(), d = dst.buffer();
            ASSERT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 0, 0, k.kh, k.kw, kNoBackground, kvImageEdgeExtend),
                      kvImageNoError);
            Bitmap want = reference(src, 0, 0, k.w, k.h, k.kh, k.kw);
            expectSame(dst, want);
        }
    }
    Bitmap picture = noise(61, 90, 5), other(61, 90), want = picture;
    for (int pass = 0; pass < 5; ++pass) {
        auto s = picture.buffer(), d = other.buffer();
        ASSERT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 0, 0, 5, 5, kNoBackground, kvImageEdgeExtend),
                  kvImageNoError);
        std::swap(picture.bytes, other.bytes);
        want = reference(want, 0, 0, 61, 90, 5, 5);
    }
    expectSame(picture, want);
}

TEST(BoxConvolve, ARegionInsideTheSourceSeesTheWholeSourceAround) {
    Bitmap src = noise(20, 16, 7);
    Bitmap dst(6, 5);
    auto s = src.buffer(), d = dst.buffer();
    ASSERT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 12, 9, 9, 5, kNoBackground, kvImageEdgeExtend),
              kvImageNoError);
    Bitmap want = reference(src, 12, 9, 6, 5, 9, 5);
    expectSame(dst, want);
}

TEST(BoxConvolve, ALargeImageCutIntoBandsMatchesTheReferenceAcrossTheBandEdges) {
    // Bands run on the render pool's threads; four of them even where this runs on one processor
    // (unless the pool was made earlier in this run).
    setenv("KORVA_IMAGE_THREADS", "4", 0);
    Bitmap src = noise(420, 372, 11, 8);
    Bitmap dst(400, 340, 4);
    auto s = src.buffer(), d = dst.buffer();
    ASSERT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 10, 12, 7, 5, kNoBackground, kvImageEdgeExtend),
              kvImageNoError);
    Bitmap want = reference(src, 10, 12, 400, 340, 7, 5);
    expectSame(dst, want);
    // Again over the whole source, whose first and last rows repeat at the top and bottom bands.
    Bitmap whole(420, 372);
    auto w = whole.buffer();
    ASSERT_EQ(vImageBoxConvolve_ARGB8888(&s, &w, nullptr, 0, 0, 9, 3, kNoBackground, kvImageEdgeExtend),
              kvImageNoError);
    Bitmap wantWhole = reference(src, 0, 0, 420, 372, 9, 3);
    expectSame(whole, wantWhole);
}

TEST(BoxConvolve, RefusesEvenBoxesUnknownFlagsAndRegionsOutsideTheSource) {
    Bitmap src = noise(4, 4, 1), dst(4, 4), big(5, 4);
    auto s = src.buffer(), d = dst.buffer(), b = big.buffer();
    EXPECT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 0, 0, 4, 3, kNoBackground, kvImageEdgeExtend),
              kvImageInvalidKernelSize);
    EXPECT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 0, 0, 3, 3, kNoBackground, kvImageNoFlags),
              kvImageInvalidEdgeStyle);
    EXPECT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 0, 0, 3, 3, kNoBackground, kvImageEdgeExtend | 0x4000),
              kvImageUnknownFlagsBit);
    EXPECT_EQ(vImageBoxConvolve_ARGB8888(&s, &b, nullptr, 0, 0, 3, 3, kNoBackground, kvImageEdgeExtend),
              kvImageRoiLargerThanInputBuffer);
    EXPECT_EQ(vImageBoxConvolve_ARGB8888(&s, &d, nullptr, 1, 0, 3, 3, kNoBackground, kvImageEdgeExtend),
              kvImageRoiLargerThanInputBuffer);
    EXPECT_EQ(vImageBoxConvolve_ARGB8888(nullptr, &d, nullptr, 0, 0, 3, 3, kNoBackground, kvImageEdgeExtend),
              kvImageNullPointerArgument);
    EXPECT_EQ(src.bytes, noise(4, 4, 1).bytes);
}

}  // namespace
