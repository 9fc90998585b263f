// The choice of a player's output.
#include "platform/media/audio_output.h"

#include <cstdlib>
#include <cstring>

#include "platform/dispatch/clock.h"
#include "platform/media/sdl_audio_output.h"
#include "platform/runtime/log.h"

namespace {

class NullAudioOutput : public AudioOutput {
public:
    Kind kind() const override { return Kind::Null; }
    void start(const std::string&, double) override {}
    void stop() override {}
};

bool headless() {
    const char* host = std::getenv("KORVA_HOST");
    return host && std::strcmp(host, "headless") == 0;
}

}  // namespace

std::unique_ptr<AudioOutput> AudioOutput::makeNull() {
    return std::make_unique<NullAudioOutput>();
}

Result<std::unique_ptr<AudioOutput>> AudioOutput::openDevice() {
    auto device = SDLAudioOutput::open();
    if (!device) return fail(device.error());
    return std::unique_ptr<AudioOutput>(std::move(device.value()));
}

std::unique_ptr<AudioOutput> AudioOutput::make() {
    // Sound that does not follow the clock it is timed on would run away from the player.
    if (headless() || Clock::isVirtual()) return makeNull();
    auto device = openDevice();
    if (!device) {
        Log::info("media", device.error() + "; players stay silent");
        return makeNull();
    }
    return std::move(device.value());
}
