// Export: presets and compatibility, a turned track coming out upright, sized presets, passthrough,
// metadata as ffprobe shows it, and failures that leave no file.
#include "platform/capture/video_file_decoder.h"
#include "platform/media/av_asset_export_session.h"
#include "platform/media/av_asset_image_generator.h"
#include "platform/media/av_mutable_composition.h"
#include "platform/media/movie_encoder.h"
#include "tests/platform/media/media_test_support.h"

namespace {

// Exports and waits; the final status.
AVAssetExportSessionStatus exportAndWait(const std::shared_ptr<AVAsset>& asset, const std::string& preset,
                                         const std::string& out,
                                         std::shared_ptr<AVMutableVideoComposition> composition = nullptr,
                                         std::vector<std::shared_ptr<AVMetadataItem>> metadata = {}) {
    auto session = AVAssetExportSession::exportSessionWithAsset(asset, preset);
    if (!session) return AVAssetExportSessionStatus::Unknown;
    session->setOutputURL(NSURL::fileURLWithPath(out));
    session->setOutputFileType(AVFileTypeMPEG4);
    session->setShouldOptimizeForNetworkUse(true);
    session->setVideoComposition(std::move(composition));
    session->setMetadata(std::move(metadata));
    std::atomic<bool> done{false};
    int calls = 0;
    session->exportAsynchronouslyWithCompletionHandler([&] { ++calls, done = true; });
    waitFor(done);
    EXPECT_EQ(calls, 1);
    return session->status();
}

std::shared_ptr<AVURLAsset> open(const std::string& path) {
    return AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(path));
}

// A movie whose file says to show it turned a quarter clockwise.
void writeTurned(const std::string& path, int w, int h) {
    MovieEncoderSettings s;
    s.width = w, s.height = h, s.displayRotation = 90;
    auto encoder = MovieEncoder::open(path, s);
    ASSERT_TRUE(encoder);
    auto frame = quarterPicture(std::size_t(w), std::size_t(h));
    for (int i = 0; i < 10; ++i) ASSERT_TRUE((*encoder)->addVideo(*frame, i / 30.0));
    ASSERT_TRUE((*encoder)->finish());
}

}  // namespace

class ExportTest : public MediaTest {};

TEST_F(ExportTest, CompatiblePresetsFollowTheTracks) {
    ASSERT_TRUE(writeMovie(file("a.mp4"), {64, 48, 0.5}));
    auto all = AVAssetExportSession::exportPresetsCompatibleWithAsset(open(file("a.mp4")));
    EXPECT_EQ(all, AVAssetExportSession::allExportPresets());
    auto empty = AVMutableComposition::make();
    empty->addMutableTrackWithMediaType(AVMediaTypeVideo, kCMPersistentTrackID_Invalid);
    EXPECT_TRUE(AVAssetExportSession::exportPresetsCompatibleWithAsset(empty).empty());
    EXPECT_EQ(exportAndWait(empty, AVAssetExportPresetHighestQuality, file("e.mp4")),
              AVAssetExportSessionStatus::Failed);
    EXPECT_FALSE(std::filesystem::exists(file("e.mp4")));
    EXPECT_FALSE(AVAssetExportSession::exportSessionWithAsset(empty, "NoSuchPreset"));

    std::atomic<bool> done{false};
    bool answer = true;
    AVAssetExportSession::determineCompatibilityOfExportPreset(AVAssetExportPresetPassthrough, empty, AVFileTypeMPEG4,
                                                               [&](bool ok) { answer = ok, done = true; });
    waitFor(done);
    EXPECT_FALSE(answer);
}

TEST_F(ExportTest, ATurnedTrackComesOutUprightAndSizedPresetsNeverEnlarge) {
    writeTurned(file("turned.mp4"), 320, 240);
    auto asset = open(file("turned.mp4"));
    ASSERT_TRUE(asset);
    auto track = asset->tracksWithMediaType(AVMediaTypeVideo).front();
    EXPECT_EQ(quarterTurnsOf(track->preferredTransform()), 1);

    ASSERT_EQ(exportAndWait(asset, AVAssetExportPresetHighestQuality, file("up.mp4")),
              AVAssetExportSessionStatus::Completed);
    auto decoder = VideoFileDecoder::open(file("up.mp4"));
    ASSERT_TRUE(decoder);
    EXPECT_EQ((*decoder)->width(), 240);
    EXPECT_EQ((*decoder)->height(), 320);
    auto frame = (*decoder)->next();
    ASSERT_TRUE(frame);
    // The red top-left quarter, turned clockwise, sits at the top right.
    EXPECT_GT(pixelAt(*frame->pixels, 180, 80)[2], 150);
    EXPECT_LT(pixelAt(*frame->pixels, 60, 80)[2], 80);

    ASSERT_EQ(exportAndWait(asset, AVAssetExportPreset1280x720, file("same.mp4")),
              AVAssetExportSessionStatus::Completed);
    EXPECT_NE(ffprobe(file("same.mp4"), "stream=width,height").find("width=240\nheight=320"), std::string::npos);
    ASSERT_TRUE(writeMovie(file("wide.mp4"), {1280, 720, 0.3}));
    ASSERT_EQ(exportAndWait(open(file("wide.mp4")), AVAssetExportPreset640x480, file("small.mp4")),
              AVAssetExportSessionStatus::Completed);
    EXPECT_NE(ffprobe(file("small.mp4"), "stream=width,height").find("width=640\nheight=360"), std::string::npos);
}

// An older file says its turn only in a "rotate" tag (degrees clockwise): pictures taken from it
// and its export come out upright as well.
TEST_F(ExportTest, ARotateTagTurnsPicturesAndExportsUpright) {
    ASSERT_TRUE(writeMovie(file("plain.mp4"), {320, 240, 0.3}));
    const std::string tagged = file("tagged.mkv");
    ASSERT_EQ(std::system(("ffmpeg -v error -y -i '" + file("plain.mp4") + "' -c copy -metadata:s:v:0 ROTATE=90 '" +
                           tagged + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    auto asset = open(tagged);
    ASSERT_TRUE(asset);
    EXPECT_EQ(quarterTurnsOf(asset->tracksWithMediaType(AVMediaTypeVideo).front()->preferredTransform()), 1);
    auto generator = AVAssetImageGenerator::assetImageGeneratorWithAsset(asset);
    generator->setAppliesPreferredTrackTransform(true);
    auto picture = generator->copyCGImageAtTime(kCMTimeZero);
    ASSERT_TRUE(picture) << picture.error();
    ASSERT_EQ((*picture)->width(), 240);
    ASSERT_EQ((*picture)->height(), 320);
    // The red top-left quarter, turned clockwise, sits at the top right.
    EXPECT_GT((*picture)->row(80)[180 * 4 + 2], 150);
    EXPECT_LT((*picture)->row(80)[60 * 4 + 2], 80);

    ASSERT_EQ(exportAndWait(asset, AVAssetExportPresetHighestQuality, file("up.mp4")),
              AVAssetExportSessionStatus::Completed);
    EXPECT_NE(ffprobe(file("up.mp4"), "stream=width,height").find("width=240\nheight=320"), std::string::npos);
}

TEST_F(ExportTest, PassthroughCopiesStreamsAndRefusesAVideoComposition) {
    ASSERT_TRUE(writeMovie(file("a.mp4"), {64, 48, 1.0}));
    ASSERT_EQ(
        exportAndWait(open(file("a.mp4")), AVAssetExportPresetPassthrough, file("copy.mp4"), nullptr,
                      {AVMetadataItem::make(AVMetadataKeySpaceCommon, AVMetadataCommonKeySoftware, Value("Korva")),
                       AVMetadataItem::make(AVMetadataKeySpaceCommon, AVMetadataCommonKeyCreationDate,
                                            Value("2026-12-07T08:10:00+09:00"))}),
        AVAssetExportSessionStatus::Completed);
    EXPECT_NEAR(ffprobeDuration(file("copy.mp4")), ffprobeDuration(file("a.mp4")), 0.01);
    auto tags = ffprobe(file("copy.mp4"), "format_tags");
    EXPECT_NE(tags.find("software=Korva"), std::string::npos) << tags;
    EXPECT_NE(tags.find("date=2026-12-07T08:10:00+09:00"), std::string::npos) << tags;
    auto back = open(file("copy.mp4"));
    ASSERT_TRUE(back);
    int found = 0;
    for (auto& item : back->commonMetadata())
        found += item->commonKey() == AVMetadataCommonKeySoftware && item->stringValue() == "Korva";
    EXPECT_EQ(found, 1);

    auto composition = AVMutableVideoComposition::make();
    EXPECT_EQ(exportAndWait(open(file("a.mp4")), AVAssetExportPresetPassthrough, file("no.mp4"), composition),
              AVAssetExportSessionStatus::Failed);
    EXPECT_FALSE(std::filesystem::exists(file("no.mp4")));
}
