// The audio device output: a feeder thread decodes the file ahead of the device into SDL's queue,
// keeping about half a second queued, so the device never waits on the decoder and a stop never
// waits on more than one block. Owner thread: start, stop and the destructor; the counters may be
// read from any thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/media/audio_output.h"

class AudioFileDecoder;

class SDLAudioOutput : public AudioOutput {
public:
    static constexpr double kQueueAhead = 0.5;  // seconds of sound kept queued

    ~SDLAudioOutput() override;
    static Result<std::unique_ptr<SDLAudioOutput>> open();

    Kind kind() const override { return Kind::Device; }
    void start(const std::string& path, double seconds) override;
    void stop() override;

    // Frames handed to the device since the last start, and whether the feeder has reached the
    // end of the file (or failed).
    std::int64_t fedFrames() const { return fed_; }
    bool fedToEnd() const { return fedToEnd_; }
    // Bytes still waiting in the device's queue.
    std::uint32_t queuedBytes() const;

private:
    SDLAudioOutput() = default;
    void feed(std::unique_ptr<AudioFileDecoder> decoder, double seconds, std::uint32_t bytesAhead);

    std::uint32_t device_ = 0;
    std::thread feeder_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::atomic<std::int64_t> fed_{0};
    std::atomic<bool> fedToEnd_{false};
};
