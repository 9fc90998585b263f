// The writer: a file ffprobe reads as H.264 and AAC in MPEG-4 at the right size and length, with
// the tone in its sound; the session start; a full encode queue; an unwritable folder.
#include "platform/media/av_asset.h"
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
