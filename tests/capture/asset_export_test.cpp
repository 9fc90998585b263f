// Exports with the application's metadata, the quality preset fallback and the resize plan.
#include <filesystem>

#include "capture/av_asset_custom.h"
#include "capture/media_item_custom.h"
#include "capture/path_base.h"
#include "foundation/string_custom_paths.h"
#include "platform/image/codec/jpeg.h"
#include "platform/media/av_mutable_composition.h"
#include "platform/photos/ph_asset.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/view/ui_view.h"
#include "tests/capture/capture_engine_test_support.h"
#include "tests/platform/media/media_test_support.h"

class AssetExportTest : public CaptureEngineTest {};

TEST_F(AssetExportTest, ResizePlansFitTheShorterSideAfterTheTurn) {
    auto plan = resizePlanFor({1920, 1080}, CGAffineTransformIdentity, 720);
    ASSERT_TRUE(plan);
    EXPECT_DOUBLE_EQ(plan->scale, 2.0 / 3);
    EXPECT_EQ(plan->renderSize, (CGSize{1280, 720}));
    EXPECT_FALSE(resizePlanFor({1920, 1080}, CGAffineTransformIdentity, 1080));
    plan = resizePlanFor({1000, 1000}, CGAffineTransformIdentity, 500);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->renderSize, (CGSize{500, 500}));
    // A portrait recording stored turned: the render size is upright.
    plan = resizePlanFor({1920, 1080}, transformForQuarterTurns(1, {1920, 1080}), 720);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->renderSize, (CGSize{720, 1280}));
}

TEST_F(AssetExportTest, QualityPresetFallsBackInOrderAndNoneFitsReportsNoOnMain) {
    EXPECT_EQ(qualityPresetAmong({AVAssetExportPresetLowQuality, AVAssetExportPresetMediumQuality}),
              std::string(AVAssetExportPresetMediumQuality));
    EXPECT_FALSE(qualityPresetAmong({AVAssetExportPresetPassthrough}));

    int calls = 0;
    bool ok = true;
    exportToURL(AVMutableComposition::make(), NSURL::fileURLWithPath(withCachePath("x.mp4")), nullptr, nullptr,
                [&](bool b) { ++calls, ok = b; });
    EXPECT_EQ(calls, 0);  // on the main queue, not at once
    settle();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(ok);
}

TEST_F(AssetExportTest, CreationDatesCarryTheZoneInExtendedForm) {
    // 2026-12-06 23:10:00 UTC.
    double date = 1796598600.0 - 978307200.0;
    EXPECT_EQ(creationDateString(date, "UTC"), "2026-12-06T23:10:00Z");
    EXPECT_EQ(creationDateString(date, "Asia/Tokyo"), "2026-12-07T08:10:00+09:00");
}

TEST_F(AssetExportTest, ExportsStampTheNameAndDateAndResizeReplacesTheMergedMovie) {
    auto source = withCachePath("wide.mp4");
    std::filesystem::create_directories(std::filesystem::path(source).parent_path());
    ASSERT_TRUE(writeMovie(source, {640, 480, 0.5}));
    auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(source));
    ASSERT_TRUE(asset);
    int calls = 0;
    bool ok = false;
    exportToURL(asset, NSURL::fileURLWithPath(withCachePath("out.mp4")), nullptr, nullptr,
                [&](bool b) { ++calls, ok = b; });
    ASSERT_TRUE(advanceUntil([&] { return calls == 1; }, 30));
    ASSERT_TRUE(ok);
    auto tags = ffprobe(withCachePath("out.mp4"), "format_tags");
    EXPECT_NE(tags.find("software=Korva"), std::string::npos) << tags;
    EXPECT_NE(tags.find("date=20"), std::string::npos) << tags;

    // Already small enough: YES at once, nothing written.
    calls = 0;
    resizeToLimit(asset, 480, [&](bool b) { ++calls, ok = b; });
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(std::filesystem::exists(recordingPaths()->make()));

    calls = 0;
    resizeToLimit(asset, 240, [&](bool b) { ++calls, ok = b; });
    ASSERT_TRUE(advanceUntil([&] { return calls == 1; }, 30));
    EXPECT_TRUE(ok);
    auto size = ffprobe(recordingPaths()->make(), "stream=width,height");
    EXPECT_NE(size.find("width=320\nheight=240"), std::string::npos) << size;
    EXPECT_FALSE(std::filesystem::exists(recordingPaths()->temp()));

    // The merged movie cannot be replaced (here a folder holds its place): NO, and it stays.
    auto merged = recordingPaths()->make();
    std::filesystem::remove(merged);
    std::filesystem::create_directories(merged + "/kept");
    calls = 0;
    resizeToLimit(asset, 240, [&](bool b) { ++calls, ok = b; });
    ASSERT_TRUE(advanceUntil([&] { return calls == 1; }, 30));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(std::filesystem::exists(merged + "/kept"));
    EXPECT_FALSE(std::filesystem::exists(recordingPaths()->temp()));
}

TEST_F(AssetExportTest, AnAssetWithoutPictureTrackIsResizedAtOnceAndLeavesTheMergedMovie) {
    auto sound = withCachePath("tone.m4a");
    std::filesystem::create_directories(std::filesystem::path(sound).parent_path());
    ASSERT_TRUE(writeTone(sound, 0.5));
    auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(sound));
    ASSERT_TRUE(asset);
    ASSERT_TRUE(asset->tracksWithMediaType(AVMediaTypeVideo).empty());
    ASSERT_FALSE(asset->tracksWithMediaType(AVMediaTypeAudio).empty());
    auto merged = recordingPaths()->make();
    ASSERT_TRUE(writeFileAtomically(merged, std::string_view("the merged movie")));

    for (const std::shared_ptr<AVAsset>& source :
         {std::shared_ptr<AVAsset>(asset), std::shared_ptr<AVAsset>(AVMutableComposition::make())}) {
        int calls = 0;
        bool ok = false;
        resizeToLimit(source, 16, [&](bool b) { ++calls, ok = b; });
        EXPECT_EQ(calls, 1) << "answered before returning";
        EXPECT_TRUE(ok);
        settle();
        EXPECT_EQ(calls, 1);
        EXPECT_FALSE(std::filesystem::exists(recordingPaths()->temp())) << "nothing exported";
        auto kept = readFileData(merged);
        ASSERT_TRUE(kept);
        EXPECT_EQ(std::string(kept->begin(), kept->end()), "the merged movie");
    }
}

TEST_F(AssetExportTest, AnImageFileSavedToPhotosBecomesAnImageAssetAndNoSubtitleLoads) {
    RasterRGBA8 raster{32, 24, std::vector<std::uint8_t>(32 * 24 * 4, 200)};
    auto jpeg = encodeJpeg(raster);
    ASSERT_TRUE(jpeg);
    auto path = withCachePath("photo.jpg");
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(writeFileAtomically(path, *jpeg));
    int calls = 0;
    bool ok = false;
    saveImageToPhotos(NSURL::fileURLWithPath(path), [&](bool b) { ++calls, ok = b; });
    ASSERT_TRUE(advanceUntil([&] { return calls == 1; }));
    EXPECT_TRUE(ok);
    auto images = PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image);
    ASSERT_EQ(images->count(), 1u);
    EXPECT_EQ(images->firstObject()->pixelWidth(), 32);
    // A file that is no image adds nothing and answers NO.
    ASSERT_TRUE(writeFileAtomically(withCachePath("note.jpg"), std::string_view("not a picture")));
    calls = 0;
    saveImageToPhotos(NSURL::fileURLWithPath(withCachePath("note.jpg")), [&](bool b) { ++calls, ok = b; });
    ASSERT_TRUE(advanceUntil([&] { return calls == 1; }));
    EXPECT_FALSE(ok);
    EXPECT_EQ(PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image)->count(), 1u);

    EXPECT_FALSE(loadSubtitle_AV(NSURL::fileURLWithPath(path), 0, UIView::make()));
}
