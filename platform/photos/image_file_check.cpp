// The head-and-tail check of library image files.
#include "platform/photos/image_file_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/image/codec/image_data.h"

namespace {

// Enough for the headers before the first scan of any photo a camera writes (metadata, thumbnail).
constexpr std::size_t kHeadBytes = 256 * 1024;
// Some writers pad a file after its end marker; the marker is looked for this far from the end.
constexpr std::size_t kTailBytes = 4096;

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

bool holds(const Bytes& tail, std::string_view marker) {
    std::string_view text(reinterpret_cast<const char*>(tail.data()), tail.size());
    return text.find(marker) != std::string_view::npos;
}

}  // namespace

Result<void> checkImageFileIsWhole(const std::string& path) {
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return fail(std::string("cannot open: ") + std::strerror(errno));
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return fail("not a regular file");
    const auto size = static_cast<std::size_t>(info.st_size);
    Bytes head, tail;
    if (!readAt(file.fd, head, std::min(size, kHeadBytes), 0)) return fail("cannot read the header");
    auto header = readImageInfo(head);
    if (!header) return fail("unreadable header: " + header.error());
    const std::size_t tailLength = std::min(size, kTailBytes);
    if (!readAt(file.fd, tail, tailLength, static_cast<off_t>(size - tailLength))) return fail("cannot read the end");
    const bool whole = header->format == ImageFormat::PNG ? holds(tail, kPngEnd) : holds(tail, kJpegEnd);
    if (!whole) return fail("cut off before its end marker");
    return {};
}
