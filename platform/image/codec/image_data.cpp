// Format detection and decoding of encoded images of either supported format.
#include "platform/image/codec/image_data.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"

ImageFormat detectImageFormat(std::span<const std::uint8_t> data) {
    static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return ImageFormat::JPEG;
    if (data.size() >= 8 && std::memcmp(data.data(), png, 8) == 0) return ImageFormat::PNG;
    return ImageFormat::Unknown;
}

Result<ImageInfo> readImageInfo(std::span<const std::uint8_t> data) {
    switch (detectImageFormat(data)) {
        case ImageFormat::JPEG: return readJpegInfo(data);
        case ImageFormat::PNG: return readPngInfo(data);
        case ImageFormat::Unknown: break;
    }
    return fail("image data of an unknown format");
}

Result<DecodedImage> decodeImage(std::span<const std::uint8_t> data, const ImageDecodeOptions& options) {
    switch (detectImageFormat(data)) {
        case ImageFormat::JPEG: return decodeJpeg(data, options);
        case ImageFormat::PNG: return decodePng(data, options);
        case ImageFormat::Unknown: break;
    }
    return fail("image data of an unknown format");
}

Result<Bytes> readFileBytes(const std::string& path, std::uint64_t maxBytes, FileLinks links) {
    // Opened without blocking and judged by what was opened: a pipe or device put under the name
    // (even after the caller listed it) must not hold the reader, and a link is refused where the
    // caller asks for the file itself.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (links == FileLinks::Refuse) flags |= O_NOFOLLOW;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return fail("cannot open " + path + ": " + std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail("cannot read " + path + ": " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return fail(path + " is not a regular file");
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > maxBytes) return fail(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    Bytes bytes(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail("cannot read " + path + ": " + std::strerror(errno));
        if (got == 0) return fail("cannot read " + path + ": it became shorter while being read");
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

Result<DecodedImage> decodeImageFile(const std::string& path, const ImageDecodeOptions& options) {
    auto bytes = readFileBytes(path);
    if (!bytes) return fail(bytes.error());
    auto decoded = decodeImage(*bytes, options);
    if (!decoded) return fail(path + ": " + decoded.error());
    return decoded;
}
