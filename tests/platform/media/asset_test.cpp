// Assets: facts of a file's tracks, a turned track's transform, compositions' edits, bad files.
#include <fstream>

#include "platform/media/av_asset.h"
#include "platform/media/av_mutable_composition.h"
#include "platform/media/cm_format_description.h"
#include "platform/runtime/log.h"
#include "tests/platform/media/media_test_support.h"

class AssetTest : public MediaTest {};

TEST_F(AssetTest, UnreadableFilesGiveNoAsset) {
    std::ofstream(file("text.mp4")) << "not a movie";
    ASSERT_TRUE(writeMovie(file("good.mp4"), {64, 48, 1.0}));
    auto size = std::filesystem::file_size(file("good.mp4"));
    std::filesystem::copy_file(file("good.mp4"), file("cut.mp4"));
    std::filesystem::resize_file(file("cut.mp4"), size / 3);
    LogCapture log;
    for (auto name : {"text.mp4", "missing.mp4"})
        EXPECT_FALSE(AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(file(name)))) << name;
    // A cut file either is refused or shows what is left of it; it never crashes.
    auto cut = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(file("cut.mp4")));
    if (cut) {
        EXPECT_LE(CMTimeGetSeconds(cut->duration()), 1.1);
    }
    EXPECT_FALSE(AVURLAsset::URLAssetWithURL(NSURL::URLWithString("korva-library://item?id=1")));
}

TEST_F(AssetTest, CompositionInsertsBackToBackAndRefusesRangesOutsideTheSource) {
    ASSERT_TRUE(writeMovie(file("a.mp4"), {64, 48, 1.0}));
    auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(file("a.mp4")));
    ASSERT_TRUE(asset);
    auto source = asset->tracksWithMediaType(AVMediaTypeVideo).front();
    auto composition = AVMutableComposition::make();
    auto track = composition->addMutableTrackWithMediaType(AVMediaTypeVideo, kCMPersistentTrackID_Invalid);
    auto sound = composition->addMutableTrackWithMediaType(AVMediaTypeAudio, kCMPersistentTrackID_Invalid);
    EXPECT_NE(track->trackID(), sound->trackID());
    CMTimeRange whole = CMTimeRangeMake(kCMTimeZero, source->timeRange().duration);
    ASSERT_TRUE(track->insertTimeRange(whole, source, kCMTimeZero));
    ASSERT_TRUE(track->insertTimeRange(whole, source, source->timeRange().duration));
    auto segments = track->segments();
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(CMTimeCompare(segments[1].targetStart, source->timeRange().duration), 0);
    EXPECT_NEAR(CMTimeGetSeconds(composition->duration()), 2 * CMTimeGetSeconds(source->timeRange().duration), 1e-6);

    CMTimeRange beyond = CMTimeRangeMake(CMTimeMake(1, 2), source->timeRange().duration);
    EXPECT_FALSE(track->insertTimeRange(beyond, source, kCMTimeZero));
    EXPECT_FALSE(sound->insertTimeRange(whole, source, kCMTimeZero));  // a picture track into a sound track
    EXPECT_EQ(track->segments().size(), 2u);
    composition->removeTrack(sound);
    EXPECT_EQ(composition->tracks().size(), 1u);
}

TEST_F(AssetTest, FormatDescriptionsAndRetimedCopies) {
    auto picture = CMSampleBuffer::withImageBuffer(quarterPicture(64, 48),
                                                   {CMTimeMake(1, 30), CMTimeMake(90, 30), kCMTimeInvalid});
    EXPECT_EQ(CMVideoFormatDescriptionGetDimensions(CMSampleBufferGetFormatDescription(picture)).width, 64);
    EXPECT_FALSE(CMAudioFormatDescriptionGetStreamBasicDescription(CMSampleBufferGetFormatDescription(picture)));
    auto sound = CMSampleBuffer::withAudio(toneBlock(0, 48000), {});
    auto asbd = CMAudioFormatDescriptionGetStreamBasicDescription(CMSampleBufferGetFormatDescription(sound));
    ASSERT_TRUE(asbd);
    EXPECT_EQ(asbd->mSampleRate, 48000);
    EXPECT_EQ(asbd->mChannelsPerFrame, 1u);

    picture->setAttachment("k", Value(1), CMAttachmentMode::ShouldPropagate);
    auto timing = CMSampleBufferGetSampleTimingInfoArray(picture);
    timing[0].presentationTimeStamp = CMTimeSubtract(timing[0].presentationTimeStamp, CMTimeMake(3, 1));
    auto copy = CMSampleBufferCreateCopyWithNewTiming(picture, timing);
    EXPECT_EQ(CMTimeGetSeconds(copy->presentationTimeStamp()), 0);
    EXPECT_EQ(CMTimeCompare(copy->duration(), CMTimeMake(1, 30)), 0);
    EXPECT_EQ(copy->imageBuffer(), picture->imageBuffer());
    EXPECT_EQ(copy->attachment("k").integerValue(), 1);
}
