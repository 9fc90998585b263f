// What a photo's pictures leave in the process once freed on a worker thread, as the program's
// pool workers decode them: pictures of photos of a few sizes, the largest first, each outlived by
// a thumbnail made after it (so that the arena's end cannot simply be cut off). The allocator of the
// C library raises its bound for blocks mapped on their own to the largest one freed, so that
// without a bound fixed at the start (or with one above a photo's picture) the smaller pictures
// after it stay in the worker's arena, where no trim reaches them. Shared by the host's test and
// the plain check the CI builds (scripts/memory-check.sh). The C library's own allocator only.
#pragma once

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <thread>
#include <vector>

struct PictureLeft {
    int width = 0, height = 0;
    std::size_t bytes = 0;           // the picture's own size
    std::size_t residentGrowth = 0;  // the process's resident memory after it was freed, against before
    std::size_t arenaGrowth = 0;     // what the arenas hold of the system, in use or free, likewise
    // Whether the picture stayed: a quarter of it still in the process, well above a thumbnail.
    bool stayed() const { return std::max(residentGrowth, arenaGrowth) > bytes / 4; }
};

inline std::size_t residentBytes() {
    std::size_t size = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Pictures of 2160x2880, 1536x2048 and 1280x960 photos (24.9, 12.6 and 4.9 MB), three of each.
inline std::vector<PictureLeft> freePhotoPicturesOnAWorker() {
    using Pixels = std::vector<std::uint8_t>;
    std::vector<PictureLeft> left;
    std::vector<Pixels> thumbnails;
    std::thread worker([&] {
        const std::pair<int, int> sizes[] = {{2160, 2880}, {1536, 2048}, {1280, 960}};
        for (const auto& [width, height] : sizes)
            for (int i = 0; i < 3; ++i) {
                const std::size_t resident = residentBytes();
                const std::size_t arena = mallinfo2().arena;
                PictureLeft picture{width, height, std::size_t(width) * std::size_t(height) * 4};
                {
                    Pixels pixels(picture.bytes, std::uint8_t(i + 1));
                    thumbnails.emplace_back(picture.bytes / 64, pixels[pixels.size() / 2]);
                }
                const std::size_t residentAfter = residentBytes(), arenaAfter = mallinfo2().arena;
                picture.residentGrowth = residentAfter > resident ? residentAfter - resident : 0;
                picture.arenaGrowth = arenaAfter > arena ? arenaAfter - arena : 0;
                left.push_back(picture);
            }
    });
    worker.join();
    return left;
}
