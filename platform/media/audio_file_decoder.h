// Decoding a file's first sound track into blocks of interleaved 16-bit samples at the track's
// own rate and channel count, in order. One user at a time (not thread-safe).
#pragma once

#include <memory>
#include <string>

#include "platform/capture/cm_sample_buffer.h"
#include "platform/runtime/result.h"

class AudioFileDecoder {
public:
    ~AudioFileDecoder();
    static Result<std::unique_ptr<AudioFileDecoder>> open(const std::string& path);

    int sampleRate() const;
    int channels() const;

    struct Block {
        CMAudioBlock audio;
        double time = 0;  // seconds of the first sample from the start of the file
    };
    // The next block; a failure at the end of the file or on damage.
    Result<Block> next();

private:
    struct State;
    explicit AudioFileDecoder(std::unique_ptr<State> s);
    std::unique_ptr<State> s_;
};
