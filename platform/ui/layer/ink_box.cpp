// Finding and clearing the drawn pixels of a bitmap.
#include "platform/ui/layer/ink_box.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int kChunk = 16;  // pixels tested together before one is looked for

std::uint32_t pixel(const unsigned char* row, int x) {
    std::uint32_t p;
    std::memcpy(&p, row + static_cast<std::size_t>(x) * 4, 4);
    return p;
}

// Whether any of the pixels [from, to) of the row is not zero.
bool anySet(const unsigned char* row, int from, int to) {
    std::uint64_t any = 0;
    const unsigned char* p = row + static_cast<std::size_t>(from) * 4;
    const std::size_t bytes = static_cast<std::size_t>(to - from) * 4;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t v;
        std::memcpy(&v, p + i, 8);
        any |= v;
    }
    for (; i < bytes; ++i) any |= p[i];
    return any != 0;
}

// The first pixel of [from, to) that is not zero, else `to`.
int firstSet(const unsigned char* row, int from, int to) {
    int x = from;
    while (x + kChunk <= to && !anySet(row, x, x + kChunk)) x += kChunk;
    for (; x < to; ++x)
        if (pixel(row, x)) return x;
    return to;
}

// One past the last pixel of [from, to) that is not zero, else `from`.
int lastSet(const unsigned char* row, int from, int to) {
    int x = to;
    while (x - kChunk >= from && !anySet(row, x - kChunk, x)) x -= kChunk;
    for (; x > from; --x)
        if (pixel(row, x - 1)) return x;
    return from;
}

}  // namespace

PixelBox inkBox(const unsigned char* data, int stride, int w, int h) {
    if (!data || w <= 0 || h <= 0) return {};
    auto row = [&](int y) { return data + static_cast<std::ptrdiff_t>(y) * stride; };
    int top = 0;
    while (top < h && !anySet(row(top), 0, w)) ++top;
    if (top == h) return {};
    int bottom = h;
    while (bottom > top + 1 && !anySet(row(bottom - 1), 0, w)) --bottom;
    // Each row between only needs looking at outside the columns found so far.
    int left = w, right = 0;
    for (int y = top; y < bottom; ++y) {
        const unsigned char* r = row(y);
        left = firstSet(r, 0, left);
        right = lastSet(r, right, w);
    }
    return {left, top, right, bottom};
}

void clearPixels(unsigned char* data, int stride, const PixelBox& box) {
    if (!data || box.empty()) return;
    for (int y = box.y0; y < box.y1; ++y)
        std::memset(data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(box.x0) * 4, 0,
                    static_cast<std::size_t>(box.x1 - box.x0) * 4);
}
