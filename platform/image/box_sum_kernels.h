// Vectorised pieces of exact box sums over interleaved 8-bit pixels, in 16-bit lanes (boxes of at
// most 256 pixels, whose sums of 255 with half the box added fit 16 bits), chosen for the running
// CPU at first use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace boxsum {

// The largest box (in pixels) whose rounded means the 16-bit sums can give.
constexpr std::uint32_t kMaxArea = 256;

// floor(x / area) for every x up to 255 x area + area / 2, as (x x multiplier) >> (16 + shift) with
// a 16-bit multiplier; none when no such pair gives the exact quotient for all of them.
struct Reciprocal {
    std::uint16_t multiplier = 0;
    int shift = 0;
};
std::optional<Reciprocal> reciprocal(std::uint32_t area);

// sums[k] += row[k] for k < n.
void addRow(std::uint16_t* sums, const std::uint8_t* row, std::size_t n);
// sums[k] += entering[k] - leaving[k] for k < n (the sums of a window moved down by one row).
void slideRow(std::uint16_t* sums, const std::uint8_t* entering, const std::uint8_t* leaving, std::size_t n);
// out[k] = (sums[k] + sums[k + stride] + ... + sums[k + (taps - 1) stride] + half) / area for k < n,
// the division done through the reciprocal. sums holds n + (taps - 1) stride values.
void boxMeans(const std::uint16_t* sums, std::size_t n, std::size_t taps, std::size_t stride, std::uint16_t half,
              const Reciprocal& divide, std::uint8_t* out);

}  // namespace boxsum
