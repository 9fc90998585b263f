// Row hashes of drawn frames.
#include "platform/host/picture_change.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint64_t hashRow(const std::uint8_t* p, std::size_t n) {
    // Four independent lanes of multiply and rotate, eight bytes a step each, then mixed.
    std::uint64_t h[4] = {0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu, 0x165667B19E3779F9u, 0x27D4EB2F165667C5u};
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32)
        for (int k = 0; k < 4; ++k) {
            std::uint64_t w;
            std::memcpy(&w, p + i + 8 * k, 8);
            h[k] = ((h[k] ^ w) * 0xFF51AFD7ED558CCDu);
            h[k] = (h[k] << 29) | (h[k] >> 35);
        }
    std::uint64_t tail = 0;
    for (int shift = 0; i < n; ++i, shift = (shift + 8) % 64) tail ^= std::uint64_t(p[i]) << shift;
    std::uint64_t r = h[0] ^ (h[1] * 3) ^ (h[2] * 5) ^ (h[3] * 7) ^ (tail * 0xC4CEB9FE1A85EC53u) ^ n;
    r ^= r >> 33;
    r *= 0xFF51AFD7ED558CCDu;
    return r ^ (r >> 33);
}

}  // namespace

bool PictureChange::redrawn(const std::uint8_t* pixels, std::size_t stride, std::size_t rowBytes, int height,
                            const std::vector<Rows>& rows) {
    if (!pixels || height <= 0) return false;
    bool whole = rowBytes != rowBytes_ || hashes_.size() != std::size_t(height);
    if (whole) {
        hashes_.assign(std::size_t(height), 0);
        rowBytes_ = rowBytes;
    }
    bool changed = whole;
    auto rehash = [&](int y) {
        std::uint64_t h = hashRow(pixels + std::size_t(y) * stride, rowBytes);
        changed = changed || h != hashes_[std::size_t(y)];
        hashes_[std::size_t(y)] = h;
    };
    if (whole) {
        for (int y = 0; y < height; ++y) rehash(y);
        return true;
    }
    for (const Rows& r : rows)
        for (int y = std::max(0, r.first); y < std::min(height, r.last); ++y) rehash(y);
    return changed;
}
