// PNG decoding to RGBA8 and encoding from it with libpng.
#include <png.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/image/codec/exif_orientation.h"
#include "platform/image/codec/icc.h"
#include "platform/image/codec/png.h"

namespace {

constexpr std::uint32_t kMaxDimension = 1u << 20;
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;  // bounds zTXt, iCCP and friends when inflated

// libpng's error callback must not return: it records the text and longjmps back to the stage's
// setjmp. Stages keep no C++ objects with destructors in their own frames.
struct PngErrors {
    char message[256] = {};
};

extern "C" void pngError(png_structp png, png_const_charp text) {
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    std::snprintf(errors->message, sizeof errors->message, "%s", text ? text : "unknown error");
    png_longjmp(png, 1);
}

extern "C" void pngWarning(png_structp, png_const_charp) {}

struct Reader {
    std::span<const std::uint8_t> data;
    std::size_t offset = 0;
};

extern "C" void pngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (reader->data.size() - reader->offset < length) png_error(png, "truncated data");
    std::memcpy(out, reader->data.data() + reader->offset, length);
    reader->offset += length;
}

struct Decoder {
    PngErrors errors;
    Reader reader;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Decoder() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

bool readHeader(Decoder& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_set_read_fn(d.png, &d.reader, pngRead);
    png_set_user_limits(d.png, kMaxDimension, kMaxDimension);
    png_set_chunk_malloc_max(d.png, kMaxChunkBytes);
    png_read_info(d.png, d.info);
    return true;
}

// Asks libpng for 8-bit RGBA whatever the stored layout.
bool setTransforms(Decoder& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    const int colorType = png_get_color_type(d.png, d.info);
    png_set_expand(d.png);  // palette to RGB, low-depth grey to 8 bits, tRNS to alpha
    png_set_scale_16(d.png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(d.png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(d.png, d.info, PNG_INFO_tRNS))
        png_set_filler(d.png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    return true;
}

bool readRows(Decoder& d, png_bytepp rows) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_read_image(d.png, rows);
    png_read_end(d.png, nullptr);
    return true;
}

ImageInfo infoOf(const Decoder& d) {
    ImageInfo info;
    info.format = ImageFormat::PNG;
    info.width = static_cast<int>(png_get_image_width(d.png, d.info));
    info.height = static_cast<int>(png_get_image_height(d.png, d.info));
    info.bitsPerComponent = png_get_bit_depth(d.png, d.info);
    const int colorType = png_get_color_type(d.png, d.info);
    info.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(d.png, d.info, PNG_INFO_tRNS);
    info.components = (colorType & PNG_COLOR_MASK_COLOR) ? 3 : 1;
    if (colorType & PNG_COLOR_MASK_ALPHA) info.components += 1;
    info.hasIccProfile = png_get_valid(d.png, d.info, PNG_INFO_iCCP);
    png_uint_32 exifLength = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(d.png, d.info, &exifLength, &exif) && exif)
        info.orientation = exifOrientationOfTiff({exif, exifLength});
    return info;
}

Result<bool> open(Decoder& d, std::span<const std::uint8_t> data) {
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return fail("PNG: not PNG data");
    d.reader.data = data;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &d.errors, pngError, pngWarning);
    if (d.png) d.info = png_create_info_struct(d.png);
    if (!d.png || !d.info) return fail("PNG: out of memory");
    if (!readHeader(d)) return fail(std::string("PNG header: ") + d.errors.message);
    return true;
}

}  // namespace

Result<ImageInfo> readPngInfo(std::span<const std::uint8_t> data) {
    Decoder d;
    if (auto opened = open(d, data); !opened) return fail(opened.error());
    return infoOf(d);
}

Result<DecodedImage> decodePng(std::span<const std::uint8_t> data, const ImageDecodeOptions& options) {
    Decoder d;
    if (auto opened = open(d, data); !opened) return fail(opened.error());
    DecodedImage result;
    result.info = infoOf(d);
    const std::int64_t pixels = std::int64_t(result.info.width) * result.info.height;
    if (pixels <= 0) return fail("PNG decode: empty image");
    if (pixels > options.maxPixels)
        return fail("PNG decode: " + std::to_string(result.info.width) + "x" + std::to_string(result.info.height) +
                    " exceeds the limit of " + std::to_string(options.maxPixels) + " pixels");

    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(d.png, d.info, &name, &compression, &profile, &length) && profile)
        result.iccProfile.assign(profile, profile + length);

    if (!setTransforms(d)) return fail(std::string("PNG decode: ") + d.errors.message);
    if (png_get_rowbytes(d.png, d.info) != std::size_t(result.info.width) * 4)
        return fail("PNG decode: unsupported pixel layout");
    std::vector<png_bytep> rows;
    try {
        result.raster = makeRaster(result.info.width, result.info.height);
        rows.resize(static_cast<std::size_t>(result.info.height));
    } catch (const std::bad_alloc&) {
        return fail("PNG decode: out of memory for the pixels");
    }
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = result.raster.pixels.data() + y * result.raster.rowBytes();
    if (!readRows(d, rows.data())) return fail(std::string("PNG decode: ") + d.errors.message);
    result.orientation = result.info.orientation;

    if (options.convertToSRGB && !result.iccProfile.empty()) {
        if (auto conversion = colorConversionFromProfile(result.iccProfile, "kCGColorSpaceSRGB")) {
            conversion->convert(result.raster);
            result.convertedToSRGB = true;
        }
    }
    if (options.applyOrientation && result.orientation != 1) {
        result.raster = orientRaster(result.raster, result.orientation);
        result.orientation = 1;
    }
    return result;
}

namespace {

struct Writer {
    Bytes* out = nullptr;
    bool failed = false;
};

extern "C" void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* writer = static_cast<Writer*>(png_get_io_ptr(png));
    try {
        writer->out->insert(writer->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        writer->failed = true;
    }
    if (writer->failed) png_error(png, "out of memory");
}

extern "C" void pngFlush(png_structp) {}

struct Encoder {
    PngErrors errors;
    Writer writer;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Encoder() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

bool writeAll(Encoder& e, const RasterRGBA8& raster, const PngEncodeOptions& options, png_bytepp rows) {
    if (setjmp(png_jmpbuf(e.png))) return false;
    png_set_write_fn(e.png, &e.writer, pngWrite, pngFlush);
    png_set_compression_level(e.png, std::clamp(options.compressionLevel, 0, 9));
    png_set_IHDR(e.png, e.info, static_cast<png_uint_32>(raster.width), static_cast<png_uint_32>(raster.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!options.iccProfile.empty())
        png_set_iCCP(e.png, e.info, "ICC Profile", PNG_COMPRESSION_TYPE_BASE, options.iccProfile.data(),
                     static_cast<png_uint_32>(options.iccProfile.size()));
    png_write_info(e.png, e.info);
    png_write_image(e.png, rows);
    png_write_end(e.png, e.info);
    return true;
}

}  // namespace

Result<Bytes> encodePng(const RasterRGBA8& raster, const PngEncodeOptions& options) {
    if (!raster.isValid()) return fail("PNG encode: the raster is empty or its buffer does not match its size");
    if (std::uint32_t(raster.width) > kMaxDimension || std::uint32_t(raster.height) > kMaxDimension)
        return fail("PNG encode: the raster is too large");
    RasterRGBA8 straight;
    const RasterRGBA8* source = &raster;
    if (raster.alpha == AlphaMode::Premultiplied) {
        straight = raster;
        unpremultiplyAlpha(straight);
        source = &straight;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(source->height));
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(source->pixels.data() + y * source->rowBytes());

    Bytes out;
    Encoder e;
    e.writer.out = &out;
    e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &e.errors, pngError, pngWarning);
    if (e.png) e.info = png_create_info_struct(e.png);
    if (!e.png || !e.info) return fail("PNG encode: out of memory");
    if (!writeAll(e, *source, options, rows.data())) return fail(std::string("PNG encode: ") + e.errors.message);
    return out;
}
