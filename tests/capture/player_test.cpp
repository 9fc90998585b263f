// Players made for files and other URLs, timed on the virtual clock.
#include "capture/av_player_custom.h"
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
