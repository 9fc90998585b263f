// Decoding a video file's picture track into BGRA frames, in order, with rewinding for loops.
// One user at a time (not thread-safe).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/capture/cv_pixel_buffer.h"
#include "platform/runtime/result.h"

struct AVStream;

// Quarter turns clockwise that show a stream's pictures upright: its display matrix, or else its
// "rotate" tag (degrees clockwise); 0 to 3.
int streamQuarterTurns(const AVStream& stream);

class VideoFileDecoder {
public:
    ~VideoFileDecoder();
    // threads: decoding threads, 0 for as many as the machine offers (frames then come out a few
    // packets later, which suits a whole-file pass better than a live source).
    static Result<std::unique_ptr<VideoFileDecoder>> open(const std::string& path, int threads = 1);

    int width() const;
    int height() const;
    // Seconds of the picture track (0 when the file does not say).
    double duration() const;
    // Quarter turns clockwise that show the pictures upright (streamQuarterTurns); frames come as
    // the file stores them, unturned.
    int quarterTurns() const;

    struct Frame {
        CVPixelBufferRef pixels;
        double time = 0;  // presentation time in seconds from the start
    };
    // The next frame; a failure at the end of the file (rewind() starts over) or on damage.
    Result<Frame> next();

    // A frame in planar YUV 4:2:0 (converted only when the file holds another format). The planes
    // belong to the decoder and stay valid until the next call.
    struct PlanarFrame {
        const std::uint8_t* planes[3] = {};
        int strides[3] = {};
        int width = 0, height = 0;
        double time = 0;
    };
    Result<PlanarFrame> nextPlanar();
    Result<void> rewind();

private:
    struct State;
    explicit VideoFileDecoder(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};
