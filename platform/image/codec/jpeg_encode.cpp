// JPEG encoding of whole RGBA8 rasters: the strip encoder fed every row at once.
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/jpeg_strip_encoder.h"

Result<Bytes> encodeJpeg(const RasterRGBA8& raster, const JpegEncodeOptions& options) {
    if (!raster.isValid()) return fail("JPEG encode: the raster is empty or its buffer does not match its size");
    auto encoder = JpegStripEncoder::start(raster.width, raster.height, options);
    if (!encoder) return fail(encoder.error());
    if (auto written = (*encoder)->write(raster.pixels.data(), raster.rowBytes(), raster.height); !written)
        return fail(written.error());
    return (*encoder)->finish();
}
