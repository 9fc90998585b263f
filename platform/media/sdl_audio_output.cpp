// SDL2's queued audio output, fed from the file decoder on a thread of its own.
#include "platform/media/sdl_audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/media/audio_file_decoder.h"
#include "platform/runtime/log.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr const char* kLog = "media";
// How long the feeder rests while the queue is full; well under the queue's length.
constexpr auto kFeedRest = std::chrono::milliseconds(20);

}  // namespace

Result<std::unique_ptr<SDLAudioOutput>> SDLAudioOutput::open() {
#if defined(__SANITIZE_ADDRESS__)
    // The sound server's connection lives as long as the audio system; it is not a leak of ours.
    __lsan_disable();
#endif
    int status = SDL_InitSubSystem(SDL_INIT_AUDIO);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    if (status != 0) return fail(std::string("no audio output: ") + SDL_GetError());
    return std::unique_ptr<SDLAudioOutput>(new SDLAudioOutput());
}

SDLAudioOutput::~SDLAudioOutput() {
    stop();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::uint32_t SDLAudioOutput::queuedBytes() const {
    return device_ ? SDL_GetQueuedAudioSize(device_) : 0;
}

void SDLAudioOutput::start(const std::string& path, double seconds) {
    stop();
    fed_ = 0;
    fedToEnd_ = false;
    auto decoder = AudioFileDecoder::open(path);
    if (!decoder) {
        Log::warning(kLog, "no sound for " + path + ": " + decoder.error());
        fedToEnd_ = true;
        return;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = (*decoder)->sampleRate();
    want.channels = Uint8((*decoder)->channels());
    want.format = AUDIO_S16SYS;
    want.samples = 1024;
    // No changes allowed: SDL converts to whatever the device plays.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device_) {
        Log::warning(kLog, std::string("cannot open the audio device: ") + SDL_GetError());
        fedToEnd_ = true;
        return;
    }
    const auto bytesAhead = std::uint32_t(kQueueAhead * want.freq) * want.channels * sizeof(std::int16_t);
    {
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }
    feeder_ = std::thread(&SDLAudioOutput::feed, this, std::move(decoder.value()), seconds, bytesAhead);
}

void SDLAudioOutput::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (feeder_.joinable()) feeder_.join();
    if (device_) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
}

void SDLAudioOutput::feed(std::unique_ptr<AudioFileDecoder> decoder, double seconds, std::uint32_t bytesAhead) {
    const int channels = decoder->channels();
    const double rate = decoder->sampleRate();
    // The device starts once the queue is full (or the file is all queued), so it does not begin
    // with a gap while the decoder gets going.
    bool sounding = false;
    auto sound = [&] {
        if (!sounding) SDL_PauseAudioDevice(device_, 0);
        sounding = true;
    };
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (wake_.wait_for(lock, kFeedRest,
                               [&] { return stopping_ || SDL_GetQueuedAudioSize(device_) < bytesAhead; });
                stopping_)
                return;
            if (SDL_GetQueuedAudioSize(device_) >= bytesAhead) {
                sound();
                continue;
            }
        }
        auto block = decoder->next();
        if (!block) break;  // the end of the file, or damage past which nothing sounds
        auto& samples = block->audio.samples;
        // Blocks before the start are skipped, the one holding it is cut there.
        const auto skip = std::clamp<std::int64_t>(std::llround((seconds - block->time) * rate), 0,
                                                   std::int64_t(block->audio.frameCount()));
        const auto offset = std::size_t(skip) * std::size_t(channels);
        if (offset >= samples.size()) continue;
        const auto bytes = std::uint32_t((samples.size() - offset) * sizeof(std::int16_t));
        if (SDL_QueueAudio(device_, samples.data() + offset, bytes) != 0) {
            Log::warning(kLog, std::string("the audio device refused sound: ") + SDL_GetError());
            break;
        }
        fed_ += std::int64_t(block->audio.frameCount()) - skip;
    }
    sound();
    fedToEnd_ = true;
}
