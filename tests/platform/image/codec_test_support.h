// Helpers for the codec tests: synthetic pictures, error measures, and files in layouts the
// codec itself never writes (grey, CMYK, palette, 16-bit), made with the libraries directly.
#pragma once

#include <jpeglib.h>
#include <png.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/codec/raster.h"
#include "platform/runtime/value.h"

namespace codec_test {

// A smooth picture with a few hard edges: the kind of content a photo has.
inline RasterRGBA8 photoLike(int width, int height) {
    RasterRGBA8 r = makeRaster(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = r.pixels.data() + (std::size_t(y) * width + x) * 4;
            double fx = double(x) / width, fy = double(y) / height;
            p[0] = std::uint8_t(40 + 180 * fx);
            p[1] = std::uint8_t(60 + 120 * fy + 30 * std::sin(fx * 6.0));
            p[2] = (x / 16 + y / 16) % 3 == 0 ? 200 : std::uint8_t(90 + 60 * fx * fy);
            p[3] = 255;
        }
    return r;
}

inline RasterRGBA8 solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    RasterRGBA8 out = makeRaster(width, height);
    for (std::size_t i = 0; i < out.pixels.size(); i += 4) {
        out.pixels[i] = r;
        out.pixels[i + 1] = g;
        out.pixels[i + 2] = b;
        out.pixels[i + 3] = a;
    }
    return out;
}

inline const std::uint8_t* pixelAt(const RasterRGBA8& r, int x, int y) {
    return r.pixels.data() + (std::size_t(y) * r.width + x) * 4;
}

struct ErrorStats {
    double psnr = 0;
    int maxError = 0;
};

// Over the colour channels only.
inline ErrorStats compareRGB(const RasterRGBA8& a, const RasterRGBA8& b) {
    double squared = 0;
    int maxError = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
        if (i % 4 == 3) continue;
        int d = std::abs(int(a.pixels[i]) - int(b.pixels[i]));
        squared += double(d) * d;
        maxError = std::max(maxError, d);
        ++n;
    }
    double mse = n ? squared / double(n) : 0;
    return {mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse), maxError};
}

// A JPEG of `components` channels (1 grey, 4 CMYK with an Adobe marker) from raw samples.
inline Bytes writeRawJpeg(int width, int height, int components, const std::vector<std::uint8_t>& samples,
                          bool progressive = false, const std::vector<jpeg_scan_info>& script = {},
                          const Bytes& iccProfile = {}) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    if (!script.empty()) {
        cinfo.scan_info = script.data();
        cinfo.num_scans = int(script.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    if (!iccProfile.empty()) jpeg_write_icc_profile(&cinfo, iccProfile.data(), unsigned(iccProfile.size()));
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + std::size_t(cinfo.next_scanline) * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// A PNG of any colour type and depth from packed rows (the caller packs them for the depth).
struct RawPng {
    int width = 0, height = 0, colorType = PNG_COLOR_TYPE_RGB, bitDepth = 8;
    bool interlaced = false;
    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> paletteAlpha;  // tRNS for palettes
    std::vector<std::uint8_t> exif;          // an eXIf chunk (a bare TIFF block)
};

inline RawPng rawPng(int width, int height, int colorType, int bitDepth, bool interlaced = false) {
    RawPng layout;
    layout.width = width;
    layout.height = height;
    layout.colorType = colorType;
    layout.bitDepth = bitDepth;
    layout.interlaced = interlaced;
    return layout;
}

inline void appendPngData(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

inline Bytes writeRawPng(const RawPng& layout) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPngData, nullptr);
    png_set_IHDR(png, info, png_uint_32(layout.width), png_uint_32(layout.height), layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty()) png_set_PLTE(png, info, layout.palette.data(), int(layout.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), int(layout.paletteAlpha.size()), nullptr);
    if (!layout.exif.empty())
        png_set_eXIf_1(png, info, png_uint_32(layout.exif.size()), const_cast<png_bytep>(layout.exif.data()));
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : layout.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// What a still photo carries: the TIFF additions, camera Exif and a geotag.
inline Value photoProperties() {
    return Value::dictionary({
        {"Orientation", 6},
        {"{TIFF}", Value::dictionary({{"Make", "Quillon"},
                                      {"Model", "Test Body"},
                                      {"Software", "Korva Sepia"},
                                      {"DateTime", "2026:12:06 14:03:07"}})},
        {"{Exif}", Value::dictionary({{"DateTimeOriginal", "2026:12:06 14:03:07"},
                                      {"DateTimeDigitized", "2026:12:06 14:03:08"},
                                      {"ExposureTime", 1.0 / 60},
                                      {"FNumber", 1.8},
                                      {"ISOSpeedRatings", Value::array({400})},
                                      {"ExposureBiasValue", -0.5},
                                      {"Flash", 16},
                                      {"LensModel", "back camera 4.2mm f/1.8"},
                                      {"LensSpecification", Value::array({4.2, 4.2, 1.8, 1.8})},
                                      {"SubjectArea", Value::array({2015, 1511, 2217, 1330})},
                                      {"SceneType", 1},
                                      {"PixelXDimension", 9999},
                                      {"UserComment", "Grüße aus Kapstadt"}})},
        {"{GPS}", Value::dictionary({{"Latitude", 33.9},
                                     {"LatitudeRef", "S"},
                                     {"Longitude", 18.4},
                                     {"LongitudeRef", "E"},
                                     {"Altitude", 5.0},
                                     {"AltitudeRef", 1},
                                     {"TimeStamp", "12:03:07.25"},
                                     {"DateStamp", "2026:12:06"},
                                     {"Speed", 3.5},
                                     {"ImgDirection", 271.25}})},
    });
}

// The standard output of a shell command.
inline std::string runCommand(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) out.append(buffer.data(), n);
    return out;
}

// A fresh folder under the system's temporary directory, removed with the object.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        char pattern[] = "/tmp/korva-codec-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

inline bool writeFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace codec_test
