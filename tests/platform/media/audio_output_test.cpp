// Players' sound: the null sink under tests and the headless host, and SDL's output fed from the
// file through the disk driver, which writes what the device would play.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/dispatch/clock.h"
#include "platform/media/av_audio_player.h"
#include "platform/media/sdl_audio_output.h"
#include "tests/platform/media/media_test_support.h"

namespace {

// SDL's disk driver, at the pace of a real device, into a file of the test.
class DiskAudioTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file("out.raw").c_str(), 1);
    }
    void TearDown() override {
        for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE"}) unsetenv(name);
        MediaTest::TearDown();
    }
    // Feeds the file from `seconds` and lets the device play it all out; the sound it played.
    std::vector<std::int16_t> playOut(SDLAudioOutput& out, const std::string& path, double seconds) {
        out.start(path, seconds);
        while (!out.fedToEnd() || out.queuedBytes() > 0) std::this_thread::yield();
        out.stop();  // closing the device closes its file
        std::ifstream raw(file("out.raw"), std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(raw)), std::istreambuf_iterator<char>());
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
};

// The sound without the silence the device plays while its queue is empty: before the feeder
// starts it, after the last block, and wherever a loaded machine kept the feeder from keeping up.
// What remains is what the device was handed, whatever the scheduling.
std::vector<std::int16_t> withoutSilence(const std::vector<std::int16_t>& samples) {
    constexpr std::size_t kRun = 64;  // a tone never holds exactly zero this long
    std::vector<std::int16_t> sound;
    std::size_t i = 0;
    while (i < samples.size()) {
        std::size_t zeros = 0;
        while (i + zeros < samples.size() && samples[i + zeros] == 0) ++zeros;
        if (zeros < kRun) sound.insert(sound.end(), samples.begin() + i, samples.begin() + i + zeros);
        i += zeros;
        while (i < samples.size() && samples[i] != 0) sound.push_back(samples[i++]);
    }
    return sound;
}

}  // namespace

TEST_F(MediaTest, PlayersUnderTestsAndHeadlessKeepTimeOnANullSink) {
    ASSERT_TRUE(writeTone(file("tone.m4a"), 1.0));
    Clock::useVirtual();
    auto player = AVAudioPlayer::playerWithContentsOfURL(NSURL::fileURLWithPath(file("tone.m4a")));
    ASSERT_TRUE(player);
    EXPECT_EQ((*player)->outputKind(), AudioOutput::Kind::Null);
    ASSERT_TRUE((*player)->play());
    Clock::advanceVirtual(0.4);
    EXPECT_NEAR((*player)->currentTime(), 0.4, 1e-9);
    Clock::useReal();
    setenv("KORVA_HOST", "headless", 1);
    EXPECT_EQ(AudioOutput::make()->kind(), AudioOutput::Kind::Null);
    unsetenv("KORVA_HOST");
}

TEST_F(DiskAudioTest, TheDevicePlaysTheFilesSoundFromThePlayersPosition) {
    ASSERT_TRUE(writeTone(file("tone.m4a"), 1.5));
    auto opened = SDLAudioOutput::open();
    if (!opened) GTEST_SKIP() << opened.error();
    auto& out = **opened;

    auto played = playOut(out, file("tone.m4a"), 0);
    EXPECT_NEAR(double(out.fedFrames()), 1.5 * 44100, 1024);
    EXPECT_GE(played.size(), std::size_t(out.fedFrames()));  // the device may pad its last buffer
    auto sound = withoutSilence(played);
    EXPECT_NEAR(double(sound.size()), double(out.fedFrames()), 1024);  // all of it, nothing twice
    EXPECT_NEAR(toneFrequency(sound, 44100), 440, 5);

    // From 1.0 s on: the last half second only.
    playOut(out, file("tone.m4a"), 1.0);
    EXPECT_NEAR(double(out.fedFrames()), 0.5 * 44100, 1024);

    // A file without sound gives none, and a stop with nothing playing is harmless.
    std::ofstream(file("text.m4a")) << "no sound here";
    out.start(file("text.m4a"), 0);
    EXPECT_TRUE(out.fedToEnd());
    EXPECT_EQ(out.fedFrames(), 0);
    out.stop();
    out.stop();
}
