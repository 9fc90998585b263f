// JPEG and PNG files: headers, pixels, metadata and the embedded colour profile.
#include "fuzz/fuzz_input.h"
#include "platform/image/codec/icc.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    // Keep decoded pictures small: a header may announce any size.
    ImageDecodeOptions options;
    if (auto info = readJpegInfo(bytes); info && std::int64_t(info->width) * info->height <= 4096 * 4096)
        (void)decodeJpeg(bytes, options);
    if (auto info = readPngInfo(bytes); info && std::int64_t(info->width) * info->height <= 4096 * 4096)
        (void)decodePng(bytes, options);
    (void)readImageProperties(bytes);
    (void)iccProfileDescription(bytes);
    (void)colorConversionFromProfile(bytes, "sRGB");
    return 0;
}
