// The vectorised pixel kernels of the renderer, chosen for the running CPU at first use.
//
// Planes are separate float arrays (red, green, blue, alpha); n is a pixel count. Pointers need
// no alignment. Every kernel handles any n, including tails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kernels {

// Interleaved 8-bit (R G B A, or B G R A when bgra) to planes in 0...1.
void loadRGBA8(const std::uint8_t* src, std::size_t n, bool bgra, float* r, float* g, float* b, float* a);
// Planes = w x pixels (first) or planes += w x pixels, from interleaved 8-bit in one pass.
void accumulateRGBA8(const std::uint8_t* src, std::size_t n, bool bgra, bool first, float w, float* r, float* g,
                     float* b, float* a);
// Planes to 8-bit, clamped to 0...1 and rounded to the nearest value.
void storeRGBA8(const float* r, const float* g, const float* b, const float* a, std::size_t n, std::uint8_t* dst,
                bool bgra);
// Planes blended over 8-bit premultiplied pixels: dst = src + dst x (1 - src alpha).
void blendOverRGBA8(const float* r, const float* g, const float* b, const float* a, std::size_t n, std::uint8_t* dst,
                    bool bgra);
void loadRGBAf(const float* src, std::size_t n, float* r, float* g, float* b, float* a);
void storeRGBAf(const float* r, const float* g, const float* b, const float* a, std::size_t n, float* dst);

void premultiply(float* r, float* g, float* b, const float* a, std::size_t n);
// Divides colour by alpha where alpha is above 0; returns whether any alpha differs from 1.
bool unpremultiply(float* r, float* g, float* b, const float* a, std::size_t n);

// x = lut(x) on 0...1 with linear interpolation between size entries; inputs are clamped.
void curve(float* x, std::size_t n, const float* lut, std::size_t size);
// A piecewise cubic in power form: segment k covers [knot[k], knot[k+1]) and gives
// a + b u + c u^2 + d u^3 (u measured from 0). Below knot[0] and from knot[segments] on, the
// values `low` and `high`.
struct CubicSegments {
    static constexpr int kMax = 8;
    int segments = 0;
    float knot[kMax + 1];
    float a[kMax], b[kMax], c[kMax], d[kMax];
    float low = 0, high = 1;
};
// x = max(0, S(sqrt(clamp(x, 0, 1))))^2: a tone curve applied in a gamma-2 encoding.
void gammaTwoCurve(float* x, std::size_t n, const CubicSegments& s);
// (r, g, b) = m (r, g, b) + offset; m is row-major 3x3, offset may be null.
void matrix3(float* r, float* g, float* b, std::size_t n, const float* m, const float* offset);
// Trilinear lookup in a dim^3 table of RGBA floats, red fastest; alpha multiplied by the table's
// alpha when withAlpha.
void colorCube(float* r, float* g, float* b, float* a, std::size_t n, const float* cube, int dim, bool withAlpha);
// Where each byte value falls in a cube of dimension dim: the offset of its lattice cell (in
// floats, per channel: red, green, blue) and the fraction across the cell.
struct CubeByteTables {
    std::int32_t cell[3][256];
    float frac[3][256];
};
CubeByteTables cubeByteTables(int dim);
// Opaque 8-bit pixels through a cube without alpha, to 8-bit pixels: the same bytes as loading,
// colorCube and storeRGBA8 would give. False when some pixel is not opaque: dst may then be
// partly written. src and dst must not overlap.
bool colorCubeRGBA8(const std::uint8_t* src, bool bgraIn, std::uint8_t* dst, bool bgraOut, std::size_t n,
                    const float* cube, int dim, const CubeByteTables& tables);
// A cube without alpha prepared for opaque 8-bit pixels in 16-bit fixed point, in one of two
// layouts of rows (colours in 1/128 levels plus half a level, and a constant that gives alpha 255):
// - planes (dim up to kPlanesMaxDim): per red-green cell and blue value, a 32-byte row of the
//   cell's four corners already interpolated along blue, so a pixel is one row read and one
//   multiply-add by its red-green weights;
// - cells (up to kMaxDim): per lattice cell, a 64-byte row of its eight corners, so a pixel is one
//   row read, one multiply (red-green weights times blue ones) and one multiply-add.
// Tables by green x 256 + red and by blue give the offsets and weights. Results are within one
// level of the float path's.
struct CubeFixed {
    static constexpr int kPlanesMaxDim = 33;  // 8 KiB per red-green cell: 8 MiB at 33
    static constexpr int kMaxDim = 65;        // 64 bytes per cell: 16 MiB at 65
    // What depends only on the dimension (shared by all cubes of that size, 768 KiB).
    struct Places {
        std::vector<std::int32_t> redGreenOffset;  // byte offset of the red-green part of the row
        std::vector<std::uint64_t> redGreen;       // Q15 weights of the four red-green corners
        std::int32_t blueOffset[256];
        std::int16_t blueWeights[256][8];  // cells: Q15, four of 1 - f and four of f
    };
    // Per blue value (cells): its weights and where its plane of cells starts.
    struct alignas(32) Blue {
        std::int16_t weights[8];
        const std::uint8_t* rows;
    };
    bool planes = false;
    std::shared_ptr<const Places> places;
    Blue blue[256];
    const std::int16_t* rows = nullptr;  // 64-byte aligned
    std::size_t bytes = 0;               // of the rows
    std::vector<std::int16_t> storage;
};
// Null when the running CPU has no kernel for it, dim is above CubeFixed::kMaxDim, the cube has
// alpha other than 1 or some colour outside 0...1 (those keep the float path).
std::unique_ptr<const CubeFixed> cubeFixed(const float* cube, int dim);
// How many pixels a cube of dimension dim should have taken the float way before making its
// fixed-point copy pays (making it costs about a millisecond per MiB of rows; it saves about two
// nanoseconds a pixel). SIZE_MAX where there is no fixed-point kernel for it.
std::size_t cubeFixedPaysAfter(int dim);
// As colorCubeRGBA8 but through a fixed-point cube: false when some pixel is not opaque (dst may
// then be partly written). src and dst must not overlap.
bool colorCubeFixedRGBA8(const std::uint8_t* src, bool bgraIn, std::uint8_t* dst, bool bgraOut, std::size_t n,
                         const CubeFixed& cube);
// Saturation about the luma, then brightness added, then contrast about 0.5.
void colorControls(float* r, float* g, float* b, std::size_t n, float saturation, float brightness, float contrast);
// Multiplies colour by 1 - intensity (1 - 1 / (1 + t^2)^2), t^2 = ((x0 + i dx)^2 + (y0 + i dy)^2) k.
void vignette(float* r, float* g, float* b, float* a, std::size_t n, float x0, float y0, float dx, float dy, float k,
              float intensity);
// d = s + d (1 - s alpha), premultiplied.
void sourceOver(float* dr, float* dg, float* db, float* da, const float* sr, const float* sg, const float* sb,
                const float* sa, std::size_t n);
// dst[i] = sum over k of w[k] src[i + k].
void convolveRow(const float* src, float* dst, std::size_t n, const float* w, std::size_t taps);
// dst = w src (first) or dst += w src.
void scaleRow(float* dst, const float* src, float w, std::size_t n);
void addScaledRow(float* dst, const float* src, float w, std::size_t n);
// out[i] = sum over k < taps of line[start[i] + k] x weights[k x stride + i] (weights stored tap by
// tap; unused taps weigh 0 and must still read inside the line).
void resampleRow(const float* line, float* out, std::size_t n, const std::int32_t* start, const float* weights,
                 std::size_t taps, std::size_t stride);
// out[i] = w0[i] line[2i] + w1[i] line[2i + 1]: halving resolution (reads 2n floats).
void pairRow(const float* line, float* out, std::size_t n, const float* w0, const float* w1);
// Bilinear samples of 8-bit premultiplied pixels along a row. Output pixel i, at
// p = base + offset[i] (p + other: the same place one row over), is
//   rowScale x fade[i] x lerp(lerp(P(p), P(p + other), fy), lerp(P(p + 4), P(p + other + 4), fy), fx[i])
// where P reads four bytes as they are (rowScale carries the 1/255; fades below 1 let edge
// samples blend with transparency outside the bitmap). bgra swaps red and blue.
void bilinearRGBA8(const std::uint8_t* base, const std::ptrdiff_t* offset, std::ptrdiff_t other, const float* fx,
                   const float* fade, float fy, float rowScale, std::size_t n, bool bgra, float* r, float* g, float* b,
                   float* a);
// dst[c][r] = src[r][c] for rows x cols floats (strides in floats; the two must not overlap).
void transpose(const float* src, std::size_t srcStride, float* dst, std::size_t dstStride, std::size_t rows,
               std::size_t cols);
// dst[i] = src[n - 1 - i] (the two must not overlap).
void reverseRow(const float* src, float* dst, std::size_t n);
// Luma (Rec. 709 weights) of n pixels.
void luma(const float* r, const float* g, const float* b, float* y, std::size_t n);
// Edge-aware 3x3 smoothing plus sharpening of one row. rows[k] are the planes of rows above,
// at and below (k = 0, 1, 2), each with one pixel of margin on both sides (index -1 is valid);
// lumaRows likewise. Writes n pixels of colour to out.
void noiseReduceRow(const float* const rows[3][3], const float* const lumaRows[3], float* const out[3], std::size_t n,
                    float level, float sharpness);
// Sum of each plane (for reductions), in double precision.
void sumPlanes(const float* r, const float* g, const float* b, const float* a, std::size_t n, double sums[4]);

// The instruction set in use ("AVX3", "AVX2", "SSE4", ...).
const char* targetName();

}  // namespace kernels
