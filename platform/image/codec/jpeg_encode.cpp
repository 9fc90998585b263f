// JPEG encoding of RGBA8 rasters: the strip encoder fed the rows as they are ready.
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/jpeg_strip_encoder.h"

Result<Bytes> encodeJpeg(const RasterRGBA8& raster, const JpegEncodeOptions& options) {
    return encodeJpeg(raster, options, JpegRowsReady{});
}

Result<Bytes> encodeJpeg(const RasterRGBA8& raster, const JpegEncodeOptions& options, const JpegRowsReady& rowsReady) {
    if (!raster.isValid()) return fail("JPEG encode: the raster is empty or its buffer does not match its size");
    auto encoder = JpegStripEncoder::start(raster.width, raster.height, options);
    if (!encoder) return fail(encoder.error());
    const std::size_t rowBytes = raster.rowBytes();
    if (!rowsReady) {
        if (auto written = (*encoder)->write(raster.pixels.data(), rowBytes, raster.height); !written)
            return fail(written.error());
        return (*encoder)->finish();
    }
    for (int row = 0; row < raster.height; ++row) {
        if (!rowsReady(row + 1)) return fail("JPEG encode: the rows to encode did not arrive");
        if (auto written = (*encoder)->write(raster.pixels.data() + std::size_t(row) * rowBytes, rowBytes, 1); !written)
            return fail(written.error());
    }
    return (*encoder)->finish();
}
