// The head-and-tail check of library image files.
#include "platform/photos/image_file_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/image/codec/image_data.h"
#include "platform/storage/owned_descriptor.h"

namespace {

// Enough for the headers before the first scan of any photo a camera writes (metadata, thumbnail);
// a head that does not hold them is read again, larger, up to kLargestHead.
constexpr std::size_t kHeadBytes = 256 * 1024;
constexpr std::size_t kLargestHead = 16 << 20;
// The end marker is looked for this far from the end first; a file with more after its picture
// (padding, a movie kept after the photo) is walked from its first scan to the marker.
constexpr std::size_t kTailBytes = 4096;
constexpr std::size_t kWalkChunk = 1 << 20;
// The fingerprint is taken from the first head and the tail read, so they hold all it covers: a
// photo's fingerprint from its check is then the one its save or a movie's own read gives.
static_assert(kHeadBytes >= kFingerprintHead && kTailBytes >= kFingerprintTail,
              "the check's first reads must cover the content fingerprint");
// The largest picture file the library reads whole.
constexpr std::uint64_t kLargestLibraryFile = 512ull << 20;

constexpr std::string_view kJpegEnd("\xFF\xD9", 2);
constexpr std::string_view kPngEnd("IEND\xAE\x42\x60\x82", 8);

// Reads `length` bytes at `offset`. A read that fails is the file's unreadability; one that ends early
// (the file shrank under the check) is its content's.
enum class ReadOutcome { Done, Failed, Short };
ReadOutcome readAt(int fd, Bytes& out, std::size_t length, off_t offset) {
    out.resize(length);
    std::size_t done = 0;
    while (done < length) {
        ssize_t got = ::pread(fd, out.data() + done, length - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ReadOutcome::Failed;
        if (got == 0) return ReadOutcome::Short;
        done += static_cast<std::size_t>(got);
    }
    return ReadOutcome::Done;
}

Failure readFailure(ReadOutcome outcome, const std::string& what, FileCheckFault* fault) {
    const int error = errno;
    if (fault) *fault = outcome == ReadOutcome::Failed ? FileCheckFault::Unreadable : FileCheckFault::NotWhole;
    return fail(outcome == ReadOutcome::Failed ? "cannot read " + what + ": " + std::strerror(error)
                                               : "cut short while read");
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

// Walks a JPEG's compressed data from the marker that starts its first scan to its end-of-image
// marker, in pieces: entropy-coded bytes with their stuffed and restart markers, and the segments
// and further scans of a progressive picture. What follows the end (a trailer) is never read.
class JpegEndFinder {
public:
    // Bytes from the start-of-scan marker on, in order; answers true once the end is found.
    bool feed(std::span<const std::uint8_t> bytes) {
        std::size_t i = 0;
        while (i < bytes.size() && state_ != State::Found) {
            const std::uint8_t b = bytes[i];
            switch (state_) {
                case State::Data: {
                    const void* ff = std::memchr(bytes.data() + i, 0xFF, bytes.size() - i);
                    if (!ff) return false;
                    i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(ff) - bytes.data()) + 1;
                    state_ = State::Marker;
                    continue;
                }
                case State::Marker:
                    if (b == 0xD9)
                        state_ = State::Found;
                    else if (b == 0x00 || (b >= 0xD0 && b <= 0xD7) || b == 0x01)
                        state_ = State::Data;
                    else if (b != 0xFF)
                        state_ = State::LengthHigh;
                    break;
                case State::LengthHigh:
                    length_ = std::size_t{b} << 8;
                    state_ = State::LengthLow;
                    break;
                case State::LengthLow:
                    length_ |= b;
                    // The length counts its own two bytes.
                    skip_ = length_ >= 2 ? length_ - 2 : 0;
                    state_ = skip_ ? State::Skip : State::Data;
                    break;
                case State::Skip: {
                    const std::size_t n = std::min(skip_, bytes.size() - i);
                    skip_ -= n;
                    i += n;
                    if (skip_ == 0) state_ = State::Data;
                    continue;
                }
                case State::Found: break;
            }
            ++i;
        }
        return state_ == State::Found;
    }

private:
    enum class State { Data, Marker, LengthHigh, LengthLow, Skip, Found };
    // The first byte fed is the 0xFF of the start-of-scan marker.
    State state_ = State::Data;
    std::size_t length_ = 0, skip_ = 0;
};

// Whether an end-of-image marker follows the scan that starts at the offset; fails when the bytes
// cannot be read.
using EndSearch = std::function<Result<bool>(std::size_t scanOffset)>;

// The checks on a head (from the file's start) and a tail (up to its end) of a file of `size`
// bytes. False from `headIsEnough` asks for a longer head.
Result<ImageInfo> judge(std::span<const std::uint8_t> head, std::span<const std::uint8_t> tail, std::size_t size,
                        bool& headIsEnough, const EndSearch& endFollowsScan) {
    headIsEnough = true;
    const bool wholeHead = head.size() >= size;
    auto header = readImageInfo(head);
    if (!header) {
        headIsEnough = wholeHead;
        return fail("unreadable header: " + header.error());
    }
    if (!isOpenablePhotoSize(header->width, header->height)) {
        return fail("a picture size no decoder takes: " + std::to_string(header->width) + "x" +
                    std::to_string(header->height));
    }
    if (header->format == ImageFormat::PNG) {
        if (textOf(tail).find(kPngEnd) == std::string_view::npos) return fail("cut off before its end marker");
        return *header;
    }
    ScanStart scan = jpegScanStart(head, size);
    if (scan.search == ScanSearch::HeadTooShort) {
        headIsEnough = false;
        return fail("its header is longer than " + std::to_string(kLargestHead) + " bytes");
    }
    if (scan.search == ScanSearch::Damaged) return fail("cut off inside its header");
    // The end marker must follow the scan: an embedded thumbnail ends with one of its own.
    const std::size_t end = textOf(tail).rfind(kJpegEnd);
    if (end != std::string_view::npos && size - tail.size() + end > scan.offset) return *header;
    // Data may follow the picture (a movie kept after the photo): the end is then found by walking
    // the compressed data from the first scan on.
    auto found = endFollowsScan(scan.offset);
    if (!found) return fail(found.error());
    if (!*found) return fail("cut off before its end marker");
    return *header;
}

// A 64-bit hash of bytes (multiply and shift over little-endian words, after one widely used
// for hash tables), the same on every machine.
std::uint64_t hashBytes(std::span<const std::uint8_t> bytes, std::uint64_t seed) {
    constexpr std::uint64_t m = 0xc6a4a7935bd1e995ull;
    constexpr int r = 47;
    std::uint64_t h = seed ^ (bytes.size() * m);
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t k;
        std::memcpy(&k, bytes.data() + at, sizeof k);
        if constexpr (std::endian::native == std::endian::big) k = __builtin_bswap64(k);
        k *= m;
        k ^= k >> r;
        h = (h ^ (k * m)) * m;
    }
    if (at < bytes.size()) {
        std::uint64_t rest = 0;
        for (std::size_t i = at; i < bytes.size(); ++i) rest |= std::uint64_t{bytes[i]} << (8 * (i - at));
        h = (h ^ rest) * m;
    }
    h ^= h >> r;
    h *= m;
    return h ^ (h >> r);
}

}  // namespace

std::uint64_t contentFingerprint(std::span<const std::uint8_t> head, std::span<const std::uint8_t> tail,
                                 std::uint64_t size) {
    return hashBytes(tail.last(std::min(tail.size(), kFingerprintTail)),
                     hashBytes(head.first(std::min(head.size(), kFingerprintHead)), size));
}

Result<ImageInfo> checkImageFileIsWhole(const std::string& path, FileCheckFault* fault, ImageFileReading* reading) {
    if (fault) *fault = FileCheckFault::NotWhole;
    // Without blocking: a pipe or device under a photo's name must not hold the caller.
    OwnedDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) {
        if (fault) *fault = FileCheckFault::Unreadable;
        return fail(std::string("cannot open: ") + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return fail("not a regular file");
    if (reading) reading->info = info;
    const auto size = static_cast<std::size_t>(info.st_size);
    Bytes tail;
    const std::size_t tailLength = std::min(size, kTailBytes);
    if (auto read = readAt(file.fd, tail, tailLength, static_cast<off_t>(size - tailLength)); read != ReadOutcome::Done)
        return readFailure(read, "the end", fault);
    auto walk = [&](std::size_t from) -> Result<bool> {
        JpegEndFinder finder;
        Bytes chunk;
        for (std::size_t at = from; at < size; at += kWalkChunk) {
            const std::size_t length = std::min(kWalkChunk, size - at);
            if (auto read = readAt(file.fd, chunk, length, static_cast<off_t>(at)); read != ReadOutcome::Done)
                return readFailure(read, "the picture", fault);
            if (finder.feed(chunk)) return true;
        }
        return false;
    };
    Bytes head;
    const std::size_t largest = std::min(size, kLargestHead);
    for (std::size_t headLength = std::min(size, kHeadBytes);; headLength = std::min(largest, 4 * headLength)) {
        if (auto read = readAt(file.fd, head, headLength, 0); read != ReadOutcome::Done)
            return readFailure(read, "the header", fault);
        // The head read first holds the fingerprint's whole head.
        if (reading && !reading->fingerprint) reading->fingerprint = contentFingerprint(head, tail, size);
        bool headIsEnough = true;
        Result<ImageInfo> verdict = judge(head, tail, size, headIsEnough, walk);
        if (verdict || headIsEnough || headLength >= largest) return verdict;
    }
}

Result<ImageInfo> checkImageDataIsWhole(std::span<const std::uint8_t> data) {
    bool headIsEnough = true;
    auto walk = [&](std::size_t from) -> Result<bool> { return JpegEndFinder().feed(data.subspan(from)); };
    return judge(data.first(std::min(data.size(), kLargestHead)), data.last(std::min(data.size(), kTailBytes)),
                 data.size(), headIsEnough, walk);
}

Result<Bytes> readLibraryFile(const std::string& path) {
    return readFileBytes(path, kLargestLibraryFile, FileLinks::Refuse);
}
