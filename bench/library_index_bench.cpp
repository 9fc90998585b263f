// korva_library_index_bench DIR [PHOTOS]: the first index of a folder of new photos (every file
// checked, decoded once to be sure of its pixels, and stamped with its fingerprint) against a
// plain read of the same files, whole, in the same run and in turns. Default 2,000 photos of
// about 100 KB, made in DIR/library on the first run and kept.
//
// Cold where the kernel lets the bench drop its own files from the page cache (posix_fadvise
// DONTNEED, checked with mincore), else warm; the line says which.
//
// korva_library_index_bench DIR [PHOTOS] --once: makes the photos where missing and indexes them
// once, cold where it can, for counting the system calls under strace.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/asset_index.h"

namespace {

constexpr int kPhotos = 2000;
constexpr int kSide = 380;  // noise at this size makes about 100 KB
constexpr int kRuns = 3;

std::vector<std::string> photosIn(const std::filesystem::path& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".JPG") paths.push_back(entry.path().string());
    return paths;
}

// One noisy photo, written under each name with a comment of its own, so that no two are alike.
bool makePhotos(const std::filesystem::path& folder, int count) {
    std::filesystem::create_directories(folder);
    if (static_cast<int>(photosIn(folder).size()) >= count) return true;
    RasterRGBA8 picture = makeRaster(kSide, kSide);
    std::mt19937 noise(1);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = i % 4 == 3 ? 255 : noise() & 0xFF;
    auto jpeg = encodeJpeg(picture);
    if (!jpeg) return false;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%05d.JPG", i);
        Bytes data = *jpeg;
        const std::string comment = std::string("\xFF\xFE\x00\x0A", 4) + std::string(name, 8);
        data.insert(data.begin() + 2, comment.begin(), comment.end());
        FILE* out = std::fopen((folder / name).c_str(), "wb");
        if (!out || std::fwrite(data.data(), 1, data.size(), out) != data.size() || std::fclose(out) != 0) return false;
    }
    return true;
}

// Drops the files from the page cache where the kernel allows; answers whether the first one's
// pages then are all out.
bool dropFromCache(const std::vector<std::string>& paths) {
    for (const auto& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    const int fd = ::open(paths.front().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const auto size = static_cast<std::size_t>(::lseek(fd, 0, SEEK_END));
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (mapped == MAP_FAILED) return false;
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> resident((size + page - 1) / page);
    bool cold = ::mincore(mapped, size, resident.data()) == 0;
    for (unsigned char r : resident) cold = cold && !(r & 1);
    ::munmap(mapped, size);
    return cold;
}

// The first index: the index's files removed, then the folder opened.
std::size_t indexAfresh(const std::filesystem::path& folder) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(folder / (std::string(AssetIndex::kIndexFileName) + suffix));
    auto index = AssetIndex::open(folder.string());
    return index ? (*index)->count() : 0;
}

std::string loadAverage() {
    std::string load;
    if (std::ifstream avg("/proc/loadavg"); avg) std::getline(avg, load);
    return load;
}

std::size_t readWhole(const std::vector<std::string>& paths) {
    std::vector<char> buffer(1 << 20);
    std::size_t total = 0;
    for (const auto& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) total += static_cast<std::size_t>(n);
        ::close(fd);
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [PHOTOS] [--once]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "library";
    const bool once = std::string(argv[argc - 1]) == "--once";
    const int count = argc > 2 && !(once && argc == 3) ? std::atoi(argv[2]) : kPhotos;
    if (!makePhotos(folder, count)) {
        std::fprintf(stderr, "cannot make the photos in %s\n", folder.c_str());
        return 1;
    }
    const auto paths = photosIn(folder);
    if (once) {
        const bool cold = dropFromCache(paths);
        const std::size_t rows = indexAfresh(folder);
        std::printf("indexed %zu of %zu photos (%s)\n", rows, paths.size(), cold ? "cold" : "warm");
        return rows == paths.size() ? 0 : 1;
    }

    std::printf("Korva library index benchmark: %zu photos, load average at start: %s\n", paths.size(),
                loadAverage().c_str());
    double korva = 1e30, plain = 1e30;
    bool cold = true;
    std::size_t rows = 0, bytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        cold = dropFromCache(paths) && cold;
        korva = std::min(korva, seconds([&] { rows = indexAfresh(folder); }));
        cold = dropFromCache(paths) && cold;
        plain = std::min(plain, seconds([&] { bytes = readWhole(paths); }));
    }
    if (rows != paths.size()) {
        std::fprintf(stderr, "indexed %zu of %zu photos\n", rows, paths.size());
        return 1;
    }
    std::printf("first index of %zu photos (%.0f KB each, page cache %s): Korva %.1f ms, plain read %.1f ms\n",
                paths.size(), bytes / 1024.0 / paths.size(), cold ? "dropped: cold" : "kept: warm", korva * 1e3,
                plain * 1e3);
    std::printf("  %-58s %6.3f  (for the record)\n", "Korva first index / plain read of the same files", korva / plain);
    return 0;
}
