// The video recording host: segments recorded from the synthetic camera and microphone on the
// virtual clock, their numbering and bookkeeping, refusals and failures, the merge into one movie.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "capture/camera_video_general_host.h"
#include "capture/capture_services.h"
#include "capture/media_item_custom.h"
#include "capture/path_base.h"
#include "foundation/service_factory.h"
#include "foundation/string_custom_paths.h"
#include "platform/dispatch/run_loop.h"
#include "platform/media/av_asset.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_photo_library.h"
#include "tests/capture/capture_engine_test_support.h"
#include "tests/platform/media/media_test_support.h"

namespace {

class VideoDelegate : public CameraVideoHostDelegate {
public:
    void onCameraVideoHostRecordingStarted(const std::shared_ptr<CameraVideoHost>&) override { events.add("started"); }
    void onCameraVideoHostRecordingStopped(const std::shared_ptr<CameraVideoHost>&) override { events.add("stopped"); }
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef& s) override {
        ++frames;
        width = int(s->imageBuffer()->width()), height = int(s->imageBuffer()->height());
    }
    void onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>&) override { events.add("didStart"); }
    Recorder<std::string> events;
    std::atomic<int> frames{0};
    std::atomic<int> width{0}, height{0};
};

std::size_t countOf(const Recorder<std::string>& r, const std::string& e) {
    auto items = r.items();
    return std::size_t(std::count(items.begin(), items.end(), e));
}

// A host that notes where its first recording step ran.
class HookedHost : public CameraVideoGeneralHost {
public:
    KORVA_MAKE(HookedHost)
    std::atomic<int> willStartOnMain{-1};

protected:
    void recordWillStart() override { willStartOnMain = RunLoop::isMainThread(); }
};

// A completion's calls and last answer.
struct Answer {
    int calls = 0;
    bool ok = false;
    std::function<void(bool)> callback() {
        return [this](bool b) { ++calls, ok = b; };
    }
};

}  // namespace

class VideoHostTest : public CaptureEngineTest {
protected:
    void SetUp() override {
        CaptureEngineTest::SetUp();
        registerCaptureServices();
        hooked = HookedHost::make();
        host = hooked;
        host->setPresets({AVCaptureSessionPreset::P352x288});
        host->setDelegate(delegate);
        Answer started;
        host->start(started.callback());
        settle();
        ASSERT_TRUE(started.ok);
    }
    void TearDown() override {
        host->stop({});
        settle();
        host.reset();
        hooked.reset();
        ServiceFactory<Path>::registerMaker(nullptr);
        CaptureEngineTest::TearDown();
    }
    // Records one segment of about `seconds` of clock time; the pause's answer.
    bool recordSegment(double seconds) {
        Answer rec, paused;
        host->record(rec.callback());
        settle();
        EXPECT_EQ(rec.calls, 1);
        advance(seconds);
        host->pause(paused.callback());
        EXPECT_TRUE(advanceUntil([&] { return paused.calls == 1; }));
        return paused.ok;
    }

    std::shared_ptr<VideoDelegate> delegate = std::make_shared<VideoDelegate>();
    std::shared_ptr<CameraVideoGeneralHost> host;
    std::shared_ptr<HookedHost> hooked;
};

TEST_F(VideoHostTest, TwoSegmentsMergeIntoOneMovieAsLongAsBoth) {
    EXPECT_EQ(host->duration(), 0.0);
    ASSERT_TRUE(recordSegment(1.0));
    ASSERT_TRUE(recordSegment(1.0));
    auto segs = host->segs();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[1], withCachePath("segs/s-1.mp4"));
    double first = ffprobeDuration(segs[0]), second = ffprobeDuration(segs[1]);
    int pictures = countPictures(segs[0]) + countPictures(segs[1]);
    EXPECT_GT(pictures, 50);
    EXPECT_NEAR(first, 1.0, 0.1);
    EXPECT_NEAR(host->duration(), CMTimeGetSeconds(host->durLast()), 1e-9);  // nothing counted twice
    EXPECT_NEAR(host->duration(), first + second, 0.05);
    EXPECT_EQ(countOf(delegate->events, "started"), 2u);
    EXPECT_GT(delegate->frames.load(), 40);  // frames are forwarded while recording

    Answer saved;
    host->save(saved.callback());
    ASSERT_TRUE(advanceUntil([&] { return saved.calls == 1; }, 30));
    ASSERT_TRUE(saved.ok);
    auto merged = withCachePath("m.mp4");
    // Every picture of both segments, and the length of both to within a frame.
    EXPECT_EQ(countPictures(merged), pictures);
    EXPECT_NEAR(ffprobeDuration(merged), first + second, 1.0 / 30);
    auto streams = ffprobe(merged, "stream=codec_name,width,height,duration");
    // The movie has the camera's frame size (the connection delivers them upright).
    auto size =
        "codec_name=h264\nwidth=" + std::to_string(delegate->width) + "\nheight=" + std::to_string(delegate->height);
    EXPECT_NE(streams.find(size), std::string::npos) << streams;
    EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << streams;
    EXPECT_NEAR(toneFrequency(merged), 440, 10);  // the microphone's tone, heard to the end

    // The merged movie saved to the photo library lands there as a video file of its own.
    Answer kept;
    saveVideoToPhotos(NSURL::fileURLWithPath(merged), kept.callback());
    ASSERT_TRUE(advanceUntil([&] { return kept.calls == 1; }));
    EXPECT_TRUE(kept.ok);
    auto videos = PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Video);
    ASSERT_EQ(videos->count(), 1u);
    auto video = videos->firstObject();
    EXPECT_EQ(std::filesystem::path(video->filePath()).parent_path(), PHPhotoLibrary::libraryDirectory());
    EXPECT_NEAR(video->duration(), first + second, 1.0 / 30 + 0.05);
    EXPECT_EQ(video->pixelWidth(), delegate->width.load());
    EXPECT_NE(ffprobe(video->filePath(), "stream=codec_name,width,height").find(size), std::string::npos);
    EXPECT_NEAR(ffprobeDuration(video->filePath()), ffprobeDuration(merged), 1e-3);
    // A segment that is gone saves nothing.
    Answer missing;
    saveVideoToPhotos(NSURL::fileURLWithPath(withCachePath("gone.mp4")), missing.callback());
    ASSERT_TRUE(advanceUntil([&] { return missing.calls == 1; }));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Video)->count(), 1u);
    // The segments stay; a new recording starts over at number 0 and clears them.
    EXPECT_TRUE(std::filesystem::exists(segs[0]));
    ASSERT_EQ(recordingPaths()->segment(0), segs[0]);
    EXPECT_FALSE(std::filesystem::exists(segs[1]));
    EXPECT_FALSE(std::filesystem::exists(merged));
}

TEST_F(VideoHostTest, RecordIsRefusedWhileAWriterExistsAndAnEarlyPauseReportsNo) {
    Answer first, second, paused;
    host->record(first.callback());
    host->record(second.callback());  // queued before the first made its writer
    settle();
    EXPECT_EQ(first.calls, 1);
    EXPECT_TRUE(first.ok);
    EXPECT_TRUE(host->isRecording());
    host->record(second.callback());
    settle();
    EXPECT_EQ(second.calls, 0);
    // Paused before any sample arrived: nothing was written.
    host->pause(paused.callback());
    settle();
    EXPECT_EQ(paused.calls, 1);
    EXPECT_FALSE(paused.ok);
    EXPECT_FALSE(host->writer());
    EXPECT_FALSE(host->isRecording());
    EXPECT_TRUE(host->segs().empty());
    EXPECT_EQ(countOf(delegate->events, "stopped"), 1u);
}

TEST_F(VideoHostTest, RecordMayBeCalledFromAnyThread) {
    Answer rec, paused;
    std::thread([&] { host->record(rec.callback()); }).join();
    settle();
    EXPECT_EQ(rec.calls, 1);
    EXPECT_TRUE(rec.ok);
    EXPECT_EQ(hooked->willStartOnMain.load(), 1);
    advance(0.5);
    host->pause(paused.callback());
    ASSERT_TRUE(advanceUntil([&] { return paused.calls == 1; }));
    EXPECT_TRUE(paused.ok);
    EXPECT_EQ(host->segs().size(), 1u);
}

TEST_F(VideoHostTest, AFailedSegmentReportsNoAndItsNumberIsReused) {
    ASSERT_TRUE(recordSegment(0.5));
    // The segment folder becomes a file: the next writer cannot be made.
    auto folder = withCachePath("segs");
    std::filesystem::remove_all(folder);
    { std::ofstream(folder) << "x"; }
    Answer rec;
    host->record(rec.callback());
    settle();
    EXPECT_EQ(rec.calls, 1);
    EXPECT_FALSE(rec.ok);
    EXPECT_FALSE(host->recording());
    std::filesystem::remove(folder);
    EXPECT_TRUE(recordSegment(0.5));
    auto segs = host->segs();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[1], withCachePath("segs/s-1.mp4"));
}

TEST_F(VideoHostTest, SaveWithNoSegmentsReportsNoAndRetimingShiftsStamps) {
    Answer saved;
    host->save(saved.callback());
    ASSERT_TRUE(advanceUntil([&] { return saved.calls == 1; }));
    EXPECT_FALSE(saved.ok);

    auto buffer = CMSampleBuffer::withImageBuffer(quarterPicture(8, 8),
                                                  {CMTimeMake(1, 30), CMTimeMake(95, 30), CMTimeMake(95, 30)});
    auto shifted = host->adjustTime(buffer, CMTimeMake(95, 30), false);
    EXPECT_EQ(CMTimeGetSeconds(shifted->presentationTimeStamp()), 0);
    EXPECT_EQ(CMTimeGetSeconds(shifted->timing().decodeTimeStamp), 0);
    EXPECT_EQ(CMTimeCompare(shifted->duration(), CMTimeMake(1, 30)), 0);
    auto back = host->adjustTime(shifted, CMTimeMake(1, 1), true);
    EXPECT_EQ(CMTimeGetSeconds(back->presentationTimeStamp()), 1);
    EXPECT_EQ(host->lastTimingCount(), 1);
}
