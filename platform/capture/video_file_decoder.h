// Decoding a video file's picture track into BGRA frames, in order, with rewinding for loops.
// One user at a time (not thread-safe).
#pragma once

#include <memory>
#include <string>

#include "platform/capture/cv_pixel_buffer.h"
#include "platform/runtime/result.h"

class VideoFileDecoder {
public:
    ~VideoFileDecoder();
    static Result<std::unique_ptr<VideoFileDecoder>> open(const std::string& path);

    int width() const;
    int height() const;
    // Seconds of the picture track (0 when the file does not say).
    double duration() const;

    struct Frame {
        CVPixelBufferRef pixels;
        double time = 0;  // presentation time in seconds from the start
    };
    // The next frame; a failure at the end of the file (rewind() starts over) or on damage.
    Result<Frame> next();
    Result<void> rewind();

private:
    struct State;
    explicit VideoFileDecoder(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};
