// Where a player's sound goes: SDL2's audio output when this process may make sound, else a null
// sink. A player keeps its time on the Clock either way; the output only sounds the file, so a
// null sink (headless, the virtual clock, no audio device) changes nothing but the silence.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/runtime/result.h"

class AudioOutput {
public:
    enum class Kind { Null, Device };

    virtual ~AudioOutput() = default;
    virtual Kind kind() const = 0;
    // Sounds the file's first sound track from `seconds` on, replacing what was sounding.
    virtual void start(const std::string& path, double seconds) = 0;
    // Silences at once.
    virtual void stop() = 0;

    // The output for a new player: the audio device, unless the host is headless, the clock is
    // virtual or no device opens (then a null sink).
    static std::unique_ptr<AudioOutput> make();
    static std::unique_ptr<AudioOutput> makeNull();
    // The audio device whatever the host and clock (SDL's driver choice applies).
    static Result<std::unique_ptr<AudioOutput>> openDevice();
};
