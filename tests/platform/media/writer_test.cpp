// The writer: a file ffprobe reads as H.264 and AAC in MPEG-4 at the right size and length, with
// the tone in its sound; the session start; a full encode queue; an unwritable folder.
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/capture/video_file_decoder.h"
#include "platform/media/av_asset.h"
#include "platform/media/movie_encoder.h"
#include "tests/platform/media/media_test_support.h"

class WriterTest : public MediaTest {};

TEST_F(WriterTest, WritesH264AndAacThatReadBackWithSizeLengthAndTone) {
    auto path = file("a.mp4");
    ASSERT_TRUE(writeMovie(path, {352, 288, 2.0}));
    auto streams = ffprobe(path, "stream=codec_name,width,height,sample_rate");
    EXPECT_NE(streams.find("codec_name=h264"), std::string::npos) << streams;
    EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << streams;
    EXPECT_NE(streams.find("width=352"), std::string::npos) << streams;
    EXPECT_NE(streams.find("height=288"), std::string::npos) << streams;
    EXPECT_NEAR(ffprobeDuration(path), 2.0, 1.0 / 30 + 0.03);
    EXPECT_NEAR(toneFrequency(path), 440, 5);

    auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(path));
    ASSERT_TRUE(asset);
    EXPECT_NEAR(CMTimeGetSeconds(asset->duration()), 2.0, 1.0 / 30 + 0.03);
    auto video = asset->tracksWithMediaType(AVMediaTypeVideo);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0]->naturalSize().width, 352);
    EXPECT_EQ(video[0]->formatSubtypes(), std::vector<FourCharCode>{0x61766331});  // avc1
    EXPECT_EQ(asset->tracksWithMediaType(AVMediaTypeAudio).size(), 1u);
}

TEST_F(WriterTest, SamplesBeforeTheSessionStartAreLeftOut) {
    auto path = file("late.mp4");
    // Samples from 0.5 s, the session from 1.5 s for one second: the file holds one second.
    ASSERT_TRUE(writeMovie(path, {352, 288, 1.0, 30, 1.5, 0.5}));
    EXPECT_NEAR(ffprobeDuration(path), 1.0, 1.0 / 30 + 0.03);
    auto frames = ffprobe(path, "stream=nb_frames");
    EXPECT_NE(frames.find("nb_frames=30"), std::string::npos) << frames;
}

TEST_F(WriterTest, AFullEncodeQueueRefusesAppendsUntilItDrains) {
    auto path = file("full.mp4");
    auto writer = AVAssetWriter::assetWriterWithURL(NSURL::fileURLWithPath(path), AVFileTypeMPEG4);
    ASSERT_TRUE(writer);
    ValueDictionary vs;
    vs.set(AVVideoWidthKey, 64.0);
    vs.set(AVVideoHeightKey, 48.0);
    auto v = AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeVideo, vs);
    EXPECT_FALSE(v->isReadyForMoreMediaData());  // not added yet
    (*writer)->addInput(v);
    EXPECT_FALSE((*writer)->canAddInput(AVAssetWriterInput::assetWriterInputWithMediaType(AVMediaTypeVideo, vs)));
    ASSERT_TRUE((*writer)->startWriting());
    (*writer)->startSessionAtSourceTime(kCMTimeZero);
    (*writer)->suspendEncodingForTesting();
    auto frame = quarterPicture(64, 48);
    int accepted = 0;
    for (int i = 0; i < AVAssetWriter::kEncodeQueueCapacity + 5; ++i)
        accepted += v->appendSampleBuffer(
            CMSampleBuffer::withImageBuffer(frame, {CMTimeMake(1, 30), CMTimeMake(i, 30), kCMTimeInvalid}));
    EXPECT_EQ(accepted, AVAssetWriter::kEncodeQueueCapacity);
    EXPECT_FALSE(v->isReadyForMoreMediaData());
    (*writer)->resumeEncodingForTesting();
    std::atomic<bool> done{false};
    (*writer)->finishWritingWithCompletionHandler([&] { done = true; });
    waitFor(done);
    EXPECT_EQ((*writer)->status(), AVAssetWriterStatus::Completed);
    EXPECT_FALSE(v->appendSampleBuffer(CMSampleBuffer::withImageBuffer(frame, {})));
}

TEST_F(WriterTest, AnUnwritableFolderOrAFinishBeforeStartFails) {
    EXPECT_FALSE(AVAssetWriter::assetWriterWithURL(NSURL::fileURLWithPath(file("missing/x.mp4")), AVFileTypeMPEG4));
    EXPECT_FALSE(AVAssetWriter::assetWriterWithURL(NSURL::fileURLWithPath(file("x.avi")), "avi"));

    auto path = file("never.mp4");
    auto writer = AVAssetWriter::assetWriterWithURL(NSURL::fileURLWithPath(path), AVFileTypeMPEG4);
    ASSERT_TRUE(writer);
    std::atomic<bool> done{false};
    (*writer)->finishWritingWithCompletionHandler([&] { done = true; });
    waitFor(done);
    EXPECT_EQ((*writer)->status(), AVAssetWriterStatus::Failed);
    ASSERT_TRUE((*writer)->error());
    writer->reset();
    EXPECT_FALSE(std::filesystem::exists(path));
}

namespace {

// Forty frames of a busy moving pattern, encoded on the calling thread's processors.
void encodeBusyClip(const std::string& path) {
    MovieEncoderSettings settings;
    settings.width = 320, settings.height = 240;
    auto encoder = MovieEncoder::open(path, settings);
    ASSERT_TRUE(encoder) << encoder.error();
    auto frame = CVPixelBuffer::make(320, 240);
    std::uint32_t noise = 1;
    for (int i = 0; i < 40; ++i) {
        for (std::size_t y = 0; y < 240; ++y)
            for (std::size_t x = 0; x < 320; ++x) {
                noise = noise * 1664525u + 1013904223u;
                std::uint8_t* p = frame->row(y) + x * 4;
                p[0] = std::uint8_t((x + 3 * i) ^ y), p[1] = std::uint8_t(y * 2 + i + (noise >> 29)),
                p[2] = std::uint8_t((x * y + 5 * i) >> 3), p[3] = 255;
            }
        ASSERT_TRUE((*encoder)->addVideo(*frame, i / 30.0));
    }
    ASSERT_TRUE((*encoder)->finish());
}

std::vector<std::vector<std::uint8_t>> decodedFrames(const std::string& path) {
    std::vector<std::vector<std::uint8_t>> frames;
    auto decoder = VideoFileDecoder::open(path);
    if (!decoder) return frames;
    while (auto f = (*decoder)->next())
        frames.emplace_back(f->pixels->baseAddress(), f->pixels->baseAddress() + f->pixels->dataSize());
    return frames;
}

}  // namespace

// A movie's pictures depend on its input only, not on how many processors the machine lends the
// encoder (it once split its work by the processors it found, and coded each share differently).
TEST_F(WriterTest, TheSamePicturesGiveTheSameMovieOnAnyNumberOfProcessors) {
    cpu_set_t all;
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof all, &all), 0);
    if (CPU_COUNT(&all) < 2) GTEST_SKIP() << "one processor: nothing to compare";
    encodeBusyClip(file("all.mp4"));
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int c = 0; c < CPU_SETSIZE; ++c)
        if (CPU_ISSET(c, &all)) {
            CPU_SET(c, &one);
            break;
        }
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof one, &one), 0);
    encodeBusyClip(file("one.mp4"));
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof all, &all), 0);

    auto a = decodedFrames(file("all.mp4")), b = decodedFrames(file("one.mp4"));
    ASSERT_EQ(a.size(), 40u);
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].size(), b[i].size());
        int worst = 0;
        for (std::size_t k = 0; k < a[i].size(); ++k) worst = std::max(worst, std::abs(int(a[i][k]) - int(b[i][k])));
        EXPECT_EQ(worst, 0) << "frame " << i;
    }
}
