// Format detection and decoding of encoded images of either supported format.
#include "platform/image/codec/image_data.h"

#include <cstring>
#include <fstream>

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

Result<Bytes> readFileBytes(const std::string& path, std::uint64_t maxBytes) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return fail("cannot open " + path);
    const std::streamoff size = file.tellg();
    if (size < 0) return fail("cannot read " + path);
    if (static_cast<std::uint64_t>(size) > maxBytes) return fail(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    Bytes bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    if (size > 0 && !file.read(reinterpret_cast<char*>(bytes.data()), size)) return fail("cannot read " + path);
    return bytes;
}

Result<DecodedImage> decodeImageFile(const std::string& path, const ImageDecodeOptions& options) {
    auto bytes = readFileBytes(path);
    if (!bytes) return fail(bytes.error());
    auto decoded = decodeImage(*bytes, options);
    if (!decoded) return fail(path + ": " + decoded.error());
    return decoded;
}
