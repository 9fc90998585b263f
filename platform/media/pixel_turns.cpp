#include "platform/media/pixel_turns.h"

#include <cstring>

CVPixelBufferRef turnPixelBuffer(const CVPixelBufferRef& src, int quarterTurns) {
    int turns = ((quarterTurns % 4) + 4) % 4;
    if (!src || turns == 0) return src;
    std::size_t w = src->width(), h = src->height();
    bool swap = turns % 2 == 1;
    auto dst = CVPixelBuffer::make(swap ? h : w, swap ? w : h);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* in = src->row(y);
        for (std::size_t x = 0; x < w; ++x) {
            std::size_t dx, dy;
            switch (turns) {
                case 1: dx = h - 1 - y, dy = x; break;
                case 2: dx = w - 1 - x, dy = h - 1 - y; break;
                default: dx = y, dy = w - 1 - x; break;
            }
            std::memcpy(dst->row(dy) + dx * 4, in + x * 4, 4);
        }
    }
    return dst;
}
