// Players made for files and other URLs, timed on the virtual clock: their pictures in a layer and
// their sound started in step.
#include <cstdio>

#include "capture/av_player_custom.h"
#include "platform/media/av_player_layer.h"
#include "platform/media/movie_encoder.h"
#include "tests/capture/capture_engine_test_support.h"
#include "tests/platform/media/media_test_support.h"

class PlayerTest : public CaptureEngineTest {};

TEST_F(PlayerTest, AFilePlaysItsChosenTracksUntilItsEnd) {
    auto path = (root_ / "clip.mp4").string();
    ASSERT_TRUE(writeMovie(path, {64, 48, 1.0}));
    auto player = playerWithURL2(NSURL::fileURLWithPath(path), 0, std::nullopt);
    ASSERT_TRUE(player->currentItem()->asset());
    EXPECT_EQ(player->currentItem()->asset()->tracks().size(), 1u);  // the picture alone
    EXPECT_FALSE(isPlaying(*player));
    player->play();
    EXPECT_TRUE(isPlaying(*player));
    advance(0.5);
    EXPECT_NEAR(CMTimeGetSeconds(player->currentTime()), 0.5, 0.01);
    player->pause();
    advance(0.5);
    EXPECT_NEAR(CMTimeGetSeconds(player->currentTime()), 0.5, 0.01);
    player->play();
    advance(1.0);
    EXPECT_FALSE(isPlaying(*player));  // the end stops it
    EXPECT_NEAR(CMTimeGetSeconds(player->currentTime()), CMTimeGetSeconds(player->currentItem()->duration()), 0.01);

    // A remote URL is handed over as it is; nothing can be read from it here.
    auto remote = playerWithURL2(NSURL::URLWithString("https://example.org/a.mp4"));
    EXPECT_FALSE(remote->currentItem()->asset());
    EXPECT_EQ(CMTimeGetSeconds(remote->currentItem()->duration()), 0);
}

namespace {

// An output that notes what it was asked to sound.
class NotedOutput : public AudioOutput {
public:
    explicit NotedOutput(std::vector<std::string>& calls) : calls_(calls) {}
    Kind kind() const override { return Kind::Device; }
    void start(const std::string& path, double seconds) override {
        char text[32];
        std::snprintf(text, sizeof text, "start %.2f", seconds);
        calls_.push_back(text);
        path_ = path;
    }
    void stop() override { calls_.push_back("stop"); }
    std::string path_;

private:
    std::vector<std::string>& calls_;
};

// The colour at the middle of the layer's picture: 'r', 'g', 'b' or '?'.
char colourOf(const std::shared_ptr<CGImage>& image) {
    if (!image) return '-';
    const std::uint8_t* p = image->row(image->height() / 2) + std::size_t(image->width() / 2) * 4;
    int b = p[0], g = p[1], r = p[2];
    if (r > 150 && g < 90 && b < 90) return 'r';
    if (g > 150 && r < 90 && b < 90) return 'g';
    if (b > 150 && r < 90 && g < 90) return 'b';
    return '?';
}

}  // namespace

TEST_F(PlayerTest, APlayingFileShowsItsPicturesInItsLayerAndSoundsInStepWithItsClock) {
    // One second: red for the first third, then green, then blue; a tone throughout.
    std::vector<std::string> calls;  // outlives the player, which silences its output when it goes
    auto path = (root_ / "colours.mp4").string();
    {
        MovieEncoderSettings s;
        s.width = 64, s.height = 48, s.sampleRate = 44100, s.channels = 1;
        auto encoder = MovieEncoder::open(path, s);
        ASSERT_TRUE(encoder);
        for (int i = 0; i < 30; ++i) {
            auto frame = CVPixelBuffer::make(64, 48);
            for (std::size_t y = 0; y < 48; ++y)
                for (std::size_t x = 0; x < 64; ++x) {
                    std::uint8_t* px = frame->row(y) + x * 4;
                    px[0] = i >= 20 ? 230 : 0, px[1] = i >= 10 && i < 20 ? 230 : 0, px[2] = i < 10 ? 230 : 0;
                    px[3] = 255;
                }
            ASSERT_TRUE((*encoder)->addVideo(*frame, i / 30.0));
        }
        for (std::int64_t sample = 0; sample + 1024 <= 44100; sample += 1024)
            ASSERT_TRUE((*encoder)->addAudio(toneBlock(sample), double(sample) / 44100));
        ASSERT_TRUE((*encoder)->finish());
    }
    auto player = playerWithURL2(NSURL::fileURLWithPath(path));
    EXPECT_EQ(player->audioOutputKind(), AudioOutput::Kind::Null);  // silent on the virtual clock
    auto output = std::make_unique<NotedOutput>(calls);
    auto* noted = output.get();
    player->setAudioOutput(std::move(output));
    auto layer = AVPlayerLayer::playerLayerWithPlayer(player);
    EXPECT_EQ(colourOf(layer->contents()), 'r');  // the first picture before playing

    player->play();
    advance(0.4);
    EXPECT_EQ(colourOf(layer->contents()), 'g');
    advance(0.35);
    EXPECT_EQ(colourOf(layer->contents()), 'b');
    player->pause();
    player->seekToTime(CMTimeMakeWithSeconds(0.1, 600));  // paused: nothing sounds
    advance(0.1);
    EXPECT_EQ(colourOf(layer->contents()), 'r');  // time went back: decoded again from the start
    player->play();
    player->seekToTime(CMTimeMakeWithSeconds(0.5, 600));
    advance(1.0);
    EXPECT_FALSE(isPlaying(*player));
    EXPECT_EQ(colourOf(layer->contents()), 'b');  // the last picture stays at the end
    EXPECT_EQ(calls, (std::vector<std::string>{"start 0.00", "stop", "start 0.10", "start 0.50"}));
    EXPECT_EQ(noted->path_, path);
    EXPECT_NEAR(toneFrequency(noted->path_), 440, 5);
}
