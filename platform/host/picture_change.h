// Whether a drawn frame shows a new picture or the same pixels again: keeps a hash of every row of
// the frame and, after each drawing, hashes again the rows that were redrawn. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class PictureChange {
public:
    // Rows [first, last) of a frame of `height` rows of `rowBytes` bytes (at `stride`) were
    // redrawn; true when any of their pixels differ from the last time they were seen. A frame of
    // another size counts as new and is taken whole.
    struct Rows {
        int first = 0, last = 0;
    };
    bool redrawn(const std::uint8_t* pixels, std::size_t stride, std::size_t rowBytes, int height,
                 const std::vector<Rows>& rows);

private:
    std::vector<std::uint64_t> hashes_;
    std::size_t rowBytes_ = 0;
};
