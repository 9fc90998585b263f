// MovieEncoder: H.264 pictures and AAC sound into an MPEG-4 or QuickTime file. The writer and the
// export both encode through it. Pictures of another size than the file's are scaled to it.
// One user at a time (not thread-safe).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/capture/cm_sample_buffer.h"
#include "platform/runtime/result.h"

struct MovieEncoderSettings {
    std::string container = "mp4";     // "mp4" or "mov"
    int width = 0, height = 0;         // 0: no picture track
    int sampleRate = 0, channels = 0;  // 0: no sound track
    int crf = 23;
    std::string speed = "veryfast";
    int audioBitRate = 128000;
    bool fastStart = false;  // the index before the media
    // File-level tags ("encoder", "date", ...).
    std::vector<std::pair<std::string, std::string>> metadata;
    // The rotation the file says to show the picture with, in degrees clockwise.
    int displayRotation = 0;
    // Seconds each picture lasts; 0: the spacing of the pictures given (1/30 s for a lone one).
    double frameDuration = 0;
};

// A decoded picture in planar YUV 4:2:0, borrowed for the call.
struct PlanarPicture {
    const std::uint8_t* planes[3] = {};
    int strides[3] = {};
    int width = 0, height = 0;
};

// The container's flags for these settings: the index first when asked, and the tags under their
// own names (the muxer would otherwise put its own name where the software goes).
std::string movFlags(const MovieEncoderSettings& settings);

class MovieEncoder {
public:
    ~MovieEncoder();
    static Result<std::unique_ptr<MovieEncoder>> open(const std::string& path, MovieEncoderSettings settings);

    // seconds: the picture's time in the file. Pictures at or before the last one are dropped.
    // The last picture lasts as long as the one before it (or the frame duration), so the track
    // ends where that picture ends.
    Result<void> addVideo(const CVPixelBuffer& pixels, double seconds);
    Result<void> addVideo(const PlanarPicture& picture, double seconds);
    // Every block lands at its time: a gap before it is filled with silence, and the part of it
    // that overlaps sound already written is left out. Drift under 10 ms is let pass.
    Result<void> addAudio(const CMAudioBlock& block, double seconds);
    // Flushes the encoders and writes the index. After a failure the file is removed.
    Result<void> finish();

private:
    struct State;
    explicit MovieEncoder(std::unique_ptr<State> s);
    std::unique_ptr<State> s_;
};
