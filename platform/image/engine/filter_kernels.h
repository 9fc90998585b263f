// Vectorised row kernels of the neighbourhood filters (median, convolution), chosen for the
// running CPU at first use.
#pragma once

#include <cstddef>

namespace kernels {

// dst[i] = median of the 3 x 3 values rows[k][i - 1 ... i + 1], k = 0, 1, 2 (index -1 and n of
// every row must be readable).
void median3Row(const float* const rows[3], float* dst, std::size_t n);
// dst[i] = clamp(bias + sum over r < rows, k < columns of w[r columns + k] src[r][i + k], 0, 1):
// a whole kernel (rows x columns at most 81) in one pass, the sums kept in registers.
void convolveClampRow(const float* const* src, std::size_t rows, std::size_t columns, const float* w, float bias,
                      float* dst, std::size_t n);

}  // namespace kernels
