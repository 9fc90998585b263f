// JPEG encoding with libjpeg-turbo, a strip of rows at a time.
#include "platform/image/codec/jpeg_strip_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/jpeg_support.h"

namespace {

// Rows handed to the library per call.
constexpr int kRowsPerCall = 16;

int libjpegQuality(double quality) {
    if (!std::isfinite(quality)) quality = kDefaultJpegQuality;
    return std::clamp(static_cast<int>(std::lround(quality * 100.0)), 1, 100);
}

struct EncodeParameters {
    int width, height;
    J_COLOR_SPACE order;
    int quality;
    bool progressive;
    const std::uint8_t* icc;
    unsigned iccLength;
};

}  // namespace

struct JpegStripEncoder::State {
    jpeg_compress_struct cinfo{};
    JpegErrorManager errors;
    bool created = false;
    bool failed = false;
    unsigned char* buffer = nullptr;  // owned by us once jpeg_mem_dest has made it
    unsigned long size = 0;
    Value properties;
    ~State() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

namespace {

// The stages below hold no C++ object with a destructor in their frames (see JpegErrorManager).
bool startCompress(jpeg_compress_struct& cinfo, JpegErrorManager& errors, bool& created, unsigned char** buffer,
                   unsigned long* size, const EncodeParameters& p) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_compress(&cinfo);
    created = true;
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(p.width);
    cinfo.image_height = static_cast<JDIMENSION>(p.height);
    cinfo.input_components = 4;
    cinfo.in_color_space = p.order;  // the library skips the fourth byte
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, p.quality, TRUE);
    // Near the top of the scale, keep full chroma resolution: fine colour edges would otherwise
    // bound the fidelity whatever the quantisation.
    if (p.quality >= 90) cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    cinfo.density_unit = 1;
    cinfo.X_density = 72;
    cinfo.Y_density = 72;
    // Standard Huffman tables: an optimising pass costs about a quarter more time on a full photo
    // for a few percent of size, and the shutter waits on this. Progressive files always optimise.
    cinfo.optimize_coding = FALSE;
    if (p.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    if (p.icc) jpeg_write_icc_profile(&cinfo, p.icc, p.iccLength);
    return true;
}

bool writeRows(jpeg_compress_struct& cinfo, JpegErrorManager& errors, const std::uint8_t* rows, std::size_t rowBytes,
               int count) {
    if (setjmp(errors.jump)) return false;
    JSAMPROW batch[kRowsPerCall];
    for (int done = 0; done < count;) {
        int n = std::min(kRowsPerCall, count - done);
        for (int i = 0; i < n; ++i) batch[i] = const_cast<JSAMPROW>(rows + std::size_t(done + i) * rowBytes);
        done += static_cast<int>(jpeg_write_scanlines(&cinfo, batch, static_cast<JDIMENSION>(n)));
    }
    return true;
}

bool finishCompress(jpeg_compress_struct& cinfo, JpegErrorManager& errors) {
    if (setjmp(errors.jump)) return false;
    jpeg_finish_compress(&cinfo);
    return true;
}

}  // namespace

JpegStripEncoder::JpegStripEncoder(std::unique_ptr<State> state) : state_(std::move(state)) {}
JpegStripEncoder::~JpegStripEncoder() = default;

Result<std::unique_ptr<JpegStripEncoder>> JpegStripEncoder::start(int width, int height,
                                                                  const JpegEncodeOptions& options, PixelOrder order) {
    if (width <= 0 || height <= 0) return fail("JPEG encode: the picture is empty");
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        return fail("JPEG encode: " + std::to_string(width) + "x" + std::to_string(height) +
                    " is larger than the format allows");
    if (options.iccProfile.size() > 255u * 65519u) return fail("JPEG encode: the ICC profile is too large");
    if (!options.properties.isNull() && !options.properties.isDictionary())
        return fail("JPEG encode: the properties are not a dictionary");

    auto state = std::make_unique<State>();
    state->properties = options.properties;
    installJpegErrorManager(reinterpret_cast<j_common_ptr>(&state->cinfo), state->errors);
    EncodeParameters p{width,
                       height,
                       order == PixelOrder::BGRA ? JCS_EXT_BGRA : JCS_EXT_RGBA,
                       libjpegQuality(options.quality),
                       options.progressive,
                       options.iccProfile.empty() ? nullptr : options.iccProfile.data(),
                       static_cast<unsigned>(options.iccProfile.size())};
    if (!startCompress(state->cinfo, state->errors, state->created, &state->buffer, &state->size, p))
        return fail(jpegErrorText(state->errors, "encode"));
    return std::unique_ptr<JpegStripEncoder>(new JpegStripEncoder(std::move(state)));
}

int JpegStripEncoder::rowsWritten() const {
    return static_cast<int>(state_->cinfo.next_scanline);
}

Result<void> JpegStripEncoder::write(const std::uint8_t* rows, std::size_t rowBytes, int count) {
    State& s = *state_;
    if (s.failed) return fail("JPEG encode: an earlier strip failed");
    if (!rows || count < 0 || rowBytes < std::size_t(s.cinfo.image_width) * 4)
        return fail("JPEG encode: a strip without rows or with short rows");
    if (count > int(s.cinfo.image_height - s.cinfo.next_scanline))
        return fail("JPEG encode: more rows than the picture has");
    if (!writeRows(s.cinfo, s.errors, rows, rowBytes, count)) {
        s.failed = true;
        return fail(jpegErrorText(s.errors, "encode"));
    }
    return {};
}

Result<Bytes> JpegStripEncoder::finish() {
    State& s = *state_;
    if (s.failed) return fail("JPEG encode: an earlier strip failed");
    if (s.cinfo.next_scanline < s.cinfo.image_height)
        return fail("JPEG encode: " + std::to_string(s.cinfo.image_height - s.cinfo.next_scanline) +
                    " rows were never written");
    if (!finishCompress(s.cinfo, s.errors)) {
        s.failed = true;
        return fail(jpegErrorText(s.errors, "encode"));
    }
    s.failed = true;  // a file is finished once
    Bytes out(s.buffer, s.buffer + s.size);
    std::free(s.buffer);
    s.buffer = nullptr;
    if (s.properties.isNull() || s.properties.count() == 0) return out;
    return replaceImageProperties(out, s.properties);
}
