// JpegStripEncoder: a JPEG written a strip of rows at a time, top to bottom, so that a large
// picture can be encoded as it is rendered without ever being held whole. encodeJpeg is this
// encoder fed a whole raster. One encoder per file; not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/image/codec/jpeg.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

class JpegStripEncoder {
public:
    // The order of the four bytes of a pixel; the fourth (alpha) is skipped, so premultiplied
    // pixels come out as over black.
    enum class PixelOrder { RGBA, BGRA };

    // Fails with the reason for a size the format cannot hold or options it cannot write.
    static Result<std::unique_ptr<JpegStripEncoder>> start(int width, int height, const JpegEncodeOptions& options = {},
                                                           PixelOrder order = PixelOrder::RGBA);
    ~JpegStripEncoder();
    JpegStripEncoder(const JpegStripEncoder&) = delete;
    JpegStripEncoder& operator=(const JpegStripEncoder&) = delete;

    // Appends `count` rows of `width` pixels, `rowBytes` apart; fails past the last row, and
    // after any failure.
    Result<void> write(const std::uint8_t* rows, std::size_t rowBytes, int count);
    // The file, once every row has been written (with the options' properties).
    Result<Bytes> finish();

    int rowsWritten() const;

private:
    struct State;
    explicit JpegStripEncoder(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};
