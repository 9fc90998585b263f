// Compositing straight on a bitmap's pixels where Cairo takes a slower road to the same bytes: a
// solid colour laid over a run of pixels, a picture laid over them with a colour over that in one
// pass (a dimmed backdrop), and a row of a picture resampled at a fractional offset. Pixels are
// premultiplied native-endian ARGB words (Cairo's ARGB32). The arithmetic is Cairo's image
// compositing: over(s, d) = s + d * (255 - alpha(s)) per channel, the product rounded as
// (t + (t >> 8)) >> 8 with t = x * y + 128 and the sum saturated at 255.
#pragma once

#include <cstdint>

namespace pixel_compose {

// Whether the wide kernels run on this machine; without them the callers leave the work to Cairo
// (a plain loop would be slower than its own).
bool available();

// row[i] = over(colour, row[i]) for n pixels.
void overSolid(std::uint32_t* row, int n, std::uint32_t colour);
// row[i] = over(colour, over(picture[i], row[i])) for n pixels; a colour of 0 lays the picture alone.
void overPictureThenSolid(std::uint32_t* row, const std::uint32_t* picture, int n, std::uint32_t colour);
// row[i] = over(sample(i), row[i]) for n pixels, where sample(i) mixes the picture's rows `top` and
// `bottom` (`width` pixels each) with the weights wTop + wBottom = 128, then the columns x and x + 1
// around vx + i * ux (16.16 fixed point, columns clamped to the row) with the weights 128 - f and f,
// f the position's 7 fraction bits; the sum is cut to a byte by a shift of 14, as Cairo's image
// compositor resamples a picture through a near-unit scale. ux must lie within (0.5, 1.5) pixels.
void overResampledRow(std::uint32_t* row, int n, const std::uint32_t* top, const std::uint32_t* bottom, int width,
                      int wTop, int wBottom, std::int32_t vx, std::int32_t ux);

}  // namespace pixel_compose
