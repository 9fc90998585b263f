// The music video host: where the music lies under the movie, the trimmed first segment, the
// music resuming where the finished segments end, the audio session, and one completion per save.
#include <filesystem>

#include "capture/audio_session.h"
#include "capture/camera_video_music_host.h"
#include "capture/capture_services.h"
#include "capture/path_base.h"
#include "foundation/service_factory.h"
#include "foundation/string_custom_paths.h"
#include "tests/capture/capture_engine_test_support.h"
#include "tests/platform/media/media_test_support.h"

class MusicHostTest : public CaptureEngineTest {
protected:
    void SetUp() override {
        CaptureEngineTest::SetUp();
        registerCaptureServices();
        std::filesystem::create_directories(withCachePath(""));
        music = withCachePath("music.m4a");
        ASSERT_TRUE(writeTone(music, 20));
    }
    void TearDown() override {
        if (host) {
            host->stop({});
            settle();
        }
        host.reset();
        (void)AVAudioSession::sharedInstance()->setActive(false);
        ServiceFactory<Path>::registerMaker(nullptr);
        ServiceFactory<AudioSession>::registerMaker(nullptr);
        CaptureEngineTest::TearDown();
    }
    std::shared_ptr<CameraVideoMusicHost> makeHost(double startAt) {
        ValueDictionary m;
        m.set("url", music);
        m.set("startAt", startAt);
        host = CameraVideoMusicHost::make(m);
        host->setPresets({AVCaptureSessionPreset::P352x288});
        return host;
    }
    bool start() {
        bool ok = false;
        host->start([&](bool b) { ok = b; });
        settle();
        return ok;
    }

    std::string music;
    std::shared_ptr<CameraVideoMusicHost> host;
};

TEST_F(MusicHostTest, TheMusicStartsAtStartAtUnlessTooLittleWouldRemain) {
    auto m = musicStretch(10, 60, 30);
    EXPECT_EQ(m.start, 10);
    EXPECT_EQ(m.length, 30);
    m = musicStretch(40, 60, 30);
    EXPECT_EQ(m.start, 30);
    EXPECT_EQ(m.length, 30);
    m = musicStretch(10, 20, 30);
    EXPECT_EQ(m.start, 0);
    EXPECT_EQ(m.length, 20);
}

TEST_F(MusicHostTest, TheFirstSegmentLosesItsFirstFifthOfASecondWithoutLeavingAGap) {
    makeHost(2);
    EXPECT_EQ(host->position(), CameraSide::Front);
    EXPECT_FALSE(host->captureAudio());
    auto first = withCachePath("five.mp4"), second = withCachePath("one.mp4"), tiny = withCachePath("tiny.mp4");
    ASSERT_TRUE(writeMovie(first, {64, 48, 5.0}));
    ASSERT_TRUE(writeMovie(second, {64, 48, 1.0}));
    host->setSegs({first, second});
    auto composition = host->save0();
    auto segments =
        std::dynamic_pointer_cast<AVMutableCompositionTrack>(composition->tracksWithMediaType(AVMediaTypeVideo)[0])
            ->segments();
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_NEAR(CMTimeGetSeconds(segments[0].sourceRange.start), 0.2, 1e-9);
    EXPECT_NEAR(CMTimeGetSeconds(segments[0].sourceRange.duration), 4.8, 1.0 / 30);
    EXPECT_EQ(CMTimeGetSeconds(segments[0].targetStart), 0);
    EXPECT_NEAR(CMTimeGetSeconds(segments[1].targetStart), CMTimeGetSeconds(segments[0].sourceRange.duration), 1e-6);
    auto music = composition->tracksWithMediaType(AVMediaTypeAudio);
    ASSERT_EQ(music.size(), 1u);
    // The music lasts as long as the pictures (about 4.8 + 1.0 s).
    double pictures = CMTimeGetSeconds(composition->tracksWithMediaType(AVMediaTypeVideo)[0]->timeRange().duration);
    EXPECT_NEAR(pictures, 5.8, 0.1);
    EXPECT_NEAR(CMTimeGetSeconds(music[0]->timeRange().duration), pictures, 1.0 / 600);

    // A first segment of 0.2 s or less is left out.
    ASSERT_TRUE(writeMovie(tiny, {64, 48, 0.1}));
    host->setSegs({tiny, second});
    segments =
        std::dynamic_pointer_cast<AVMutableCompositionTrack>(host->save0()->tracksWithMediaType(AVMediaTypeVideo)[0])
            ->segments();
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(CMTimeGetSeconds(segments[0].targetStart), 0);
}

TEST_F(MusicHostTest, RecordingPlaysTheMusicOnFromWhereTheSegmentsEndAndSavesOnce) {
    makeHost(0);
    ASSERT_TRUE(start());
    auto audio = Global::shared()->audioSession();
    for (int segment = 0; segment < 2; ++segment) {
        int recorded = 0, paused = 0;
        bool pausedOk = false;
        host->record([&](bool) { ++recorded; });
        settle();
        ASSERT_EQ(recorded, 1);
        ASSERT_TRUE(host->player());
        EXPECT_TRUE(host->player()->isPlaying());
        EXPECT_NEAR(host->player()->currentTime(), CMTimeGetSeconds(host->durLast()), 1e-6);
        EXPECT_EQ(audio->session()->category(), AVAudioSessionCategoryPlayback);
        advance(1.0);
        host->pause([&](bool ok) { ++paused, pausedOk = ok; });
        ASSERT_TRUE(advanceUntil([&] { return paused == 1; }));
        EXPECT_TRUE(pausedOk);
        EXPECT_FALSE(host->player()->isPlaying());
        EXPECT_EQ(audio->session()->category(), AVAudioSessionCategoryAmbient);
    }
    EXPECT_EQ(host->segs().size(), 2u);
    int saved = 0;
    bool ok = false;
    host->save([&](bool b) { ++saved, ok = b; });
    ASSERT_TRUE(advanceUntil([&] { return saved == 1; }, 30));
    advance(0.5);
    EXPECT_EQ(saved, 1);
    ASSERT_TRUE(ok);
    auto streams = ffprobe(withCachePath("m.mp4"), "stream=codec_name");
    EXPECT_NE(streams.find("h264"), std::string::npos) << streams;
    EXPECT_NE(streams.find("aac"), std::string::npos) << streams;
}

TEST_F(MusicHostTest, AnEarlyPauseKeepsPlaybackAndNothingToExportAnswersNoOnce) {
    makeHost(0);
    ASSERT_TRUE(start());
    int paused = 0;
    bool pausedOk = true;
    host->record({});
    host->pause([&](bool ok) { ++paused, pausedOk = ok; });
    settle();
    EXPECT_EQ(paused, 1);
    EXPECT_FALSE(pausedOk);
    EXPECT_EQ(Global::shared()->audioSession()->session()->category(), AVAudioSessionCategoryPlayback);

    ValueDictionary silent;
    silent.set("url", withCachePath("missing.m4a"));
    host->setMusic(silent);
    int saved = 0;
    bool ok = true;
    host->save([&](bool b) { ++saved, ok = b; });
    ASSERT_TRUE(advanceUntil([&] { return saved == 1; }));
    advance(0.2);
    EXPECT_EQ(saved, 1);
    EXPECT_FALSE(ok);
}
