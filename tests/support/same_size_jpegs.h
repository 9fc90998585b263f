// Two JPEGs brought to one byte length, as another picture of the same size that replaces a photo
// in place is: each gets a comment segment after its start marker, so that both stay whole JPEGs
// that decode as before.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace testsupport {

inline void padToOneLength(std::vector<std::uint8_t>& a, std::vector<std::uint8_t>& b) {
    // Each gets at least an empty comment (four bytes: marker and length).
    const std::size_t length = std::max(a.size(), b.size()) + 4;
    for (auto* jpeg : {&a, &b}) {
        const std::size_t segment = length - jpeg->size();
        std::vector<std::uint8_t> comment(segment, ' ');
        comment[0] = 0xFF, comment[1] = 0xFE;
        comment[2] = static_cast<std::uint8_t>((segment - 2) >> 8);
        comment[3] = static_cast<std::uint8_t>(segment - 2);
        jpeg->insert(jpeg->begin() + 2, comment.begin(), comment.end());
    }
}

}  // namespace testsupport
