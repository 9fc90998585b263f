// The head-and-tail check of library image files.
#include "platform/photos/image_file_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/image/codec/image_data.h"

namespace {

// Enough for the headers before the first scan of any photo a camera writes (metadata, thumbnail);
// a head that does not hold them is read again, larger, up to kLargestHead.
constexpr std::size_t kHeadBytes = 256 * 1024;
constexpr std::size_t kLargestHead = 16 << 20;
// Some writers pad a file after its end marker; the marker is looked for this far from the end.
constexpr std::size_t kTailBytes = 4096;
// The largest picture file the library reads whole.
constexpr std::uint64_t kLargestLibraryFile = 512ull << 20;

constexpr std::string_view kJpegEnd("\xFF\xD9", 2);
constexpr std::string_view kPngEnd("IEND\xAE\x42\x60\x82", 8);

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool readAt(int fd, Bytes& out, std::size_t length, off_t offset) {
    out.resize(length);
    std::size_t done = 0;
    while (done < length) {
        ssize_t got = ::pread(fd, out.data() + done, length - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::string_view textOf(std::span<const std::uint8_t> bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Where a JPEG's first scan starts, found by walking its segments from the start of the image.
enum class ScanSearch { Found, HeadTooShort, Damaged };
struct ScanStart {
    ScanSearch search;
    std::size_t offset = 0;
};

ScanStart jpegScanStart(std::span<const std::uint8_t> head, std::size_t fileSize) {
    if (head.size() < 2 || head[0] != 0xFF || head[1] != 0xD8) return {ScanSearch::Damaged};
    std::size_t pos = 2;
    while (true) {
        if (pos + 4 > head.size()) return {pos + 4 > fileSize ? ScanSearch::Damaged : ScanSearch::HeadTooShort};
        if (head[pos] != 0xFF) return {ScanSearch::Damaged};
        const std::uint8_t marker = head[pos + 1];
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xDA) return {ScanSearch::Found, pos};
        if (marker == 0xD9) return {ScanSearch::Damaged};  // ends before any scan
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        const std::size_t length = (std::size_t{head[pos + 2]} << 8) | head[pos + 3];
        if (length < 2) return {ScanSearch::Damaged};
        pos += 2 + length;
    }
}

// The checks on a head (from the file's start) and a tail (up to its end) of a file of `size`
// bytes. False from `headIsEnough` asks for a longer head.
Result<void> judge(std::span<const std::uint8_t> head, std::span<const std::uint8_t> tail, std::size_t size,
                   bool& headIsEnough) {
    headIsEnough = true;
    const bool wholeHead = head.size() >= size;
    auto header = readImageInfo(head);
    if (!header) {
        headIsEnough = wholeHead;
        return fail("unreadable header: " + header.error());
    }
    if (header->width <= 0 || header->height <= 0 ||
        std::int64_t{header->width} * header->height > kDefaultMaxDecodePixels) {
        return fail("a picture size no decoder takes: " + std::to_string(header->width) + "x" +
                    std::to_string(header->height));
    }
    if (header->format == ImageFormat::PNG) {
        if (textOf(tail).find(kPngEnd) == std::string_view::npos) return fail("cut off before its end marker");
        return {};
    }
    ScanStart scan = jpegScanStart(head, size);
    if (scan.search == ScanSearch::HeadTooShort) {
        headIsEnough = false;
        return fail("its header is longer than " + std::to_string(kLargestHead) + " bytes");
    }
    if (scan.search == ScanSearch::Damaged) return fail("cut off inside its header");
    // The end marker must follow the scan: an embedded thumbnail ends with one of its own.
    const std::size_t end = textOf(tail).rfind(kJpegEnd);
    if (end == std::string_view::npos || size - tail.size() + end <= scan.offset)
        return fail("cut off before its end marker");
    return {};
}

}  // namespace

Result<void> checkImageFileIsWhole(const std::string& path) {
    // Without blocking: a pipe or device under a photo's name must not hold the caller.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return fail(std::string("cannot open: ") + std::strerror(errno));
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return fail("not a regular file");
    const auto size = static_cast<std::size_t>(info.st_size);
    Bytes tail;
    const std::size_t tailLength = std::min(size, kTailBytes);
    if (!readAt(file.fd, tail, tailLength, static_cast<off_t>(size - tailLength))) return fail("cannot read the end");
    Bytes head;
    const std::size_t largest = std::min(size, kLargestHead);
    for (std::size_t headLength = std::min(size, kHeadBytes);; headLength = std::min(largest, 4 * headLength)) {
        if (!readAt(file.fd, head, headLength, 0)) return fail("cannot read the header");
        bool headIsEnough = true;
        Result<void> verdict = judge(head, tail, size, headIsEnough);
        if (verdict || headIsEnough || headLength >= largest) return verdict;
    }
}

Result<void> checkImageDataIsWhole(std::span<const std::uint8_t> data) {
    bool headIsEnough = true;
    return judge(data.first(std::min(data.size(), kLargestHead)), data.last(std::min(data.size(), kTailBytes)),
                 data.size(), headIsEnough);
}

Result<Bytes> readLibraryFile(const std::string& path) {
    return readFileBytes(path, kLargestLibraryFile, FileLinks::Refuse);
}
