// JPEG encoding of RGBA8 rasters with libjpeg-turbo, with an optional profile and properties.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/jpeg_support.h"

namespace {

struct Encoder {
    jpeg_compress_struct cinfo{};
    JpegErrorManager errors;
    bool created = false;
    unsigned char* buffer = nullptr;  // owned by us once jpeg_mem_dest has made it
    unsigned long size = 0;
    ~Encoder() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

int libjpegQuality(double quality) {
    if (!std::isfinite(quality)) quality = kDefaultJpegQuality;
    return std::clamp(static_cast<int>(std::lround(quality * 100.0)), 1, 100);
}

struct EncodeParameters {
    int quality;
    bool progressive;
    const std::uint8_t* icc;
    unsigned iccLength;
};

// No C++ object with a destructor lives in this frame (see JpegErrorManager).
bool compress(Encoder& e, const RasterRGBA8& raster, const EncodeParameters& p, const JpegRowsReady* rowsReady,
              bool& gaveUp) {
    if (setjmp(e.errors.jump)) return false;
    jpeg_create_compress(&e.cinfo);
    e.created = true;
    jpeg_mem_dest(&e.cinfo, &e.buffer, &e.size);
    e.cinfo.image_width = static_cast<JDIMENSION>(raster.width);
    e.cinfo.image_height = static_cast<JDIMENSION>(raster.height);
    e.cinfo.input_components = 4;
    e.cinfo.in_color_space = JCS_EXT_RGBA;  // the library skips the fourth byte
    jpeg_set_defaults(&e.cinfo);
    jpeg_set_quality(&e.cinfo, p.quality, TRUE);
    // Near the top of the scale, keep full chroma resolution: fine colour edges would otherwise
    // bound the fidelity whatever the quantisation.
    if (p.quality >= 90) e.cinfo.comp_info[0].h_samp_factor = e.cinfo.comp_info[0].v_samp_factor = 1;
    e.cinfo.density_unit = 1;
    e.cinfo.X_density = 72;
    e.cinfo.Y_density = 72;
    // Standard Huffman tables: an optimising pass costs about a quarter more time on a full photo
    // for a few percent of size, and the shutter waits on this. Progressive files always optimise.
    e.cinfo.optimize_coding = FALSE;
    if (p.progressive) jpeg_simple_progression(&e.cinfo);
    jpeg_start_compress(&e.cinfo, TRUE);
    if (p.icc) jpeg_write_icc_profile(&e.cinfo, p.icc, p.iccLength);
    const std::size_t rowBytes = raster.rowBytes();
    int ready = rowsReady ? 0 : raster.height;
    while (e.cinfo.next_scanline < e.cinfo.image_height) {
        if (static_cast<int>(e.cinfo.next_scanline) >= ready) {
            if (!(*rowsReady)(static_cast<int>(e.cinfo.next_scanline) + 1)) {
                gaveUp = true;
                return false;
            }
            ready = static_cast<int>(e.cinfo.next_scanline) + 1;
        }
        JSAMPROW row = const_cast<JSAMPROW>(raster.pixels.data() + std::size_t(e.cinfo.next_scanline) * rowBytes);
        jpeg_write_scanlines(&e.cinfo, &row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

}  // namespace

Result<Bytes> encodeJpeg(const RasterRGBA8& raster, const JpegEncodeOptions& options) {
    return encodeJpeg(raster, options, JpegRowsReady{});
}

Result<Bytes> encodeJpeg(const RasterRGBA8& raster, const JpegEncodeOptions& options, const JpegRowsReady& rowsReady) {
    if (!raster.isValid()) return fail("JPEG encode: the raster is empty or its buffer does not match its size");
    if (raster.width > JPEG_MAX_DIMENSION || raster.height > JPEG_MAX_DIMENSION)
        return fail("JPEG encode: " + std::to_string(raster.width) + "x" + std::to_string(raster.height) +
                    " is larger than the format allows");
    if (options.iccProfile.size() > 255u * 65519u) return fail("JPEG encode: the ICC profile is too large");
    if (!options.properties.isNull() && !options.properties.isDictionary())
        return fail("JPEG encode: the properties are not a dictionary");

    Encoder e;
    installJpegErrorManager(reinterpret_cast<j_common_ptr>(&e.cinfo), e.errors);
    EncodeParameters p{libjpegQuality(options.quality), options.progressive,
                       options.iccProfile.empty() ? nullptr : options.iccProfile.data(),
                       static_cast<unsigned>(options.iccProfile.size())};
    bool gaveUp = false;
    if (!compress(e, raster, p, rowsReady ? &rowsReady : nullptr, gaveUp))
        return fail(gaveUp ? std::string("JPEG encode: the rows to encode did not arrive")
                           : jpegErrorText(e.errors, "encode"));
    Bytes out(e.buffer, e.buffer + e.size);
    if (options.properties.isNull() || options.properties.count() == 0) return out;
    return replaceImageProperties(out, options.properties);
}
