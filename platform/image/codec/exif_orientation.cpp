// The orientation tag of an EXIF block, read without a metadata library (decoders need only this).
#include "platform/image/codec/exif_orientation.h"

#include <cstring>

namespace {

std::uint32_t readU32(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3]
                     : (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

std::uint16_t readU16(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? std::uint16_t((p[0] << 8) | p[1]) : std::uint16_t((p[1] << 8) | p[0]);
}

}  // namespace

int exifOrientationOfApp1(std::span<const std::uint8_t> payload) {
    static const std::uint8_t header[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (payload.size() < 6 || std::memcmp(payload.data(), header, 6) != 0) return 1;
    return exifOrientationOfTiff(payload.subspan(6));
}

int exifOrientationOfTiff(std::span<const std::uint8_t> block) {
    if (block.size() < 8) return 1;
    const std::uint8_t* tiff = block.data();
    const std::size_t size = block.size();
    bool big;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        big = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I')
        big = false;
    else
        return 1;
    if (readU16(tiff + 2, big) != 42) return 1;
    const std::uint32_t ifd = readU32(tiff + 4, big);
    if (ifd > size || size - ifd < 2) return 1;
    const std::uint16_t count = readU16(tiff + ifd, big);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = ifd + 2 + std::size_t(i) * 12;
        if (at + 12 > size) return 1;
        if (readU16(tiff + at, big) != 0x0112) continue;
        const std::uint16_t type = readU16(tiff + at + 2, big);
        std::uint32_t value = 0;
        if (type == 3)
            value = readU16(tiff + at + 8, big);  // SHORT
        else if (type == 4)
            value = readU32(tiff + at + 8, big);  // LONG
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}
