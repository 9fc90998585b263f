// JPEG decoding to RGBA8 with libjpeg-turbo: guarded against damaged data and oversized images.
#include <algorithm>
#include <cstdlib>
#include <new>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/jpeg_support.h"

namespace {

constexpr int kMaxProgressiveScans = 1000;

// Owns the decompressor; destroyed on every path out, after the stage that failed has returned.
struct Decoder {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager errors;
    bool created = false;
    ~Decoder() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
};

bool isCmyk(J_COLOR_SPACE space) {
    return space == JCS_CMYK || space == JCS_YCCK;
}

// Stage 1: headers only. No C++ object with a destructor lives in this frame.
bool readHeaders(Decoder& d, const std::uint8_t* data, std::size_t size) {
    if (setjmp(d.errors.jump)) return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    d.cinfo.progress = &d.errors.progress;
    jpeg_mem_src(&d.cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&d.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&d.cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

// Stage 2: the output layout and size.
bool configureOutput(Decoder& d, bool cmyk, int scaleNumerator, long maxMemory) {
    if (setjmp(d.errors.jump)) return false;
    d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    d.cinfo.scale_num = static_cast<unsigned>(scaleNumerator);
    d.cinfo.scale_denom = 8;
    d.cinfo.mem->max_memory_to_use = maxMemory;
    jpeg_calc_output_dimensions(&d.cinfo);
    return true;
}

// Stage 3: pixels into rows the caller allocated, four bytes per pixel.
bool readPixels(Decoder& d, std::uint8_t* out, std::size_t rowBytes) {
    if (setjmp(d.errors.jump)) return false;
    jpeg_start_decompress(&d.cinfo);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = out + static_cast<std::size_t>(d.cinfo.output_scanline) * rowBytes;
        jpeg_read_scanlines(&d.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

bool readIcc(Decoder& d, JOCTET** profile, unsigned* length) {
    if (setjmp(d.errors.jump)) return false;
    return jpeg_read_icc_profile(&d.cinfo, profile, length);
}

ImageInfo infoOf(Decoder& d) {
    ImageInfo info;
    info.format = ImageFormat::JPEG;
    info.width = static_cast<int>(d.cinfo.image_width);
    info.height = static_cast<int>(d.cinfo.image_height);
    info.components = d.cinfo.num_components;
    info.bitsPerComponent = d.cinfo.data_precision;
    info.orientation = exifOrientationOfApp1(findExifApp1(&d.cinfo));
    for (jpeg_saved_marker_ptr m = d.cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 2 && m->data_length >= 12 && std::equal(m->data, m->data + 12, "ICC_PROFILE"))
            info.hasIccProfile = true;
    return info;
}

// CMYK as written by most programs (Adobe marker present) is stored inverted: 255 means no ink.
void cmykToRgba(std::uint8_t* pixels, std::size_t count, bool inverted) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = pixels + i * 4;
        unsigned c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        p[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        p[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        p[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        p[3] = 255;
    }
}

}  // namespace

JpegScale jpegDecodeScale(int storedWidth, int storedHeight, int minWidth, int minHeight) {
    auto scaled = [](int size, int num) { return (size * num + 7) / 8; };  // libjpeg rounds up
    JpegScale best{8, storedWidth, storedHeight};
    if (minWidth <= 0 && minHeight <= 0) return best;
    for (int num = 7; num >= 1; --num) {
        int w = scaled(storedWidth, num), h = scaled(storedHeight, num);
        if (w < minWidth || h < minHeight) break;
        best = {num, w, h};
    }
    return best;
}

Result<ImageInfo> readJpegInfo(std::span<const std::uint8_t> data) {
    if (data.size() < 4) return fail("JPEG header: data too short");
    Decoder d;
    installJpegErrorManager(reinterpret_cast<j_common_ptr>(&d.cinfo), d.errors);
    if (!readHeaders(d, data.data(), data.size())) return fail(jpegErrorText(d.errors, "header"));
    return infoOf(d);
}

Result<DecodedImage> decodeJpeg(std::span<const std::uint8_t> data, const ImageDecodeOptions& options) {
    if (data.size() < 4) return fail("JPEG decode: data too short");
    Decoder d;
    installJpegErrorManager(reinterpret_cast<j_common_ptr>(&d.cinfo), d.errors);
    d.errors.maxScans = kMaxProgressiveScans;
    if (!readHeaders(d, data.data(), data.size())) return fail(jpegErrorText(d.errors, "header"));

    DecodedImage result;
    result.info = infoOf(d);
    const std::int64_t pixels = std::int64_t(result.info.width) * result.info.height;
    if (pixels <= 0) return fail("JPEG decode: empty image");
    if (pixels > options.maxPixels)
        return fail("JPEG decode: " + std::to_string(result.info.width) + "x" + std::to_string(result.info.height) +
                    " exceeds the limit of " + std::to_string(options.maxPixels) + " pixels");

    // Saved markers live until the decode finishes: take the profile now.
    JOCTET* profile = nullptr;
    unsigned length = 0;
    if (readIcc(d, &profile, &length) && profile) {
        result.iccProfile.assign(profile, profile + length);
        result.info.hasIccProfile = true;
    }
    std::free(profile);

    const bool cmyk = isCmyk(d.cinfo.jpeg_color_space);
    const JpegScale scale = jpegDecodeScale(result.info.width, result.info.height, options.minWidth, options.minHeight);
    // Coefficient buffers of progressive files scale with the stored size: bound the library's
    // own allocations by what an image within the pixel limit can need.
    const long maxMemory = static_cast<long>(std::min<std::int64_t>(pixels * 16 + (64 << 20), 1ll << 40));
    if (!configureOutput(d, cmyk, scale.numerator, maxMemory)) return fail(jpegErrorText(d.errors, "decode"));
    if (d.cinfo.output_components != 4) return fail("JPEG decode: unsupported colour layout");

    try {
        result.raster = makeRaster(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height));
    } catch (const std::bad_alloc&) {
        return fail("JPEG decode: out of memory for the pixels");
    }
    if (!readPixels(d, result.raster.pixels.data(), result.raster.rowBytes()))
        return fail(jpegErrorText(d.errors, "decode"));
    if (cmyk) {
        // RGBA cannot carry CMYK values, so CMYK is always converted: through the file's profile
        // when it has one, else by the plain ink formula.
        std::uint8_t* samples = result.raster.pixels.data();
        const std::size_t count = result.raster.pixels.size() / 4;
        const bool inverted = d.cinfo.saw_Adobe_marker;
        if (!result.iccProfile.empty() && convertCmykToSRGB(result.iccProfile, samples, count, inverted))
            result.convertedToSRGB = true;
        else
            cmykToRgba(samples, count, inverted);
    }

    if (options.convertToSRGB && !result.iccProfile.empty() && !cmyk) {
        if (auto conversion = colorConversionFromProfile(result.iccProfile, "kCGColorSpaceSRGB")) {
            conversion->convert(result.raster);
            result.convertedToSRGB = true;
        }
    }
    result.orientation = result.info.orientation;
    if (options.applyOrientation && result.orientation != 1) {
        result.raster = orientRaster(result.raster, result.orientation);
        result.orientation = 1;
    }
    return result;
}
