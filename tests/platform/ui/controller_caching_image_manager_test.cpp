// Sized pictures of library assets: fit and fill sizes, the upright turn, an opportunistic
// request answering twice (degraded first) on the main queue, and a missing file answering none;
// exact thumbnails cut from the middle in the display's layout, kept and given again without the
// file, newest request first, and cancelled requests never answered.
#include <filesystem>
#include <fstream>

#include "controller_test_support.h"
#include "platform/dispatch/queue.h"
#include "platform/image/cg_image.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/ui/controller/ph_caching_image_manager.h"
#include "platform/ui/controller/sized_image_cache.h"
#include "platform/ui/draw/image.h"
#include "tests/support/temp_photo_library.h"

namespace {

struct Answer {
    std::shared_ptr<UIImage> image;
    bool degraded = false, error = false, onMain = false;
};

struct CachingManagerTest : UIHarness {
    TempPhotoLibrary library;
    void SetUp() override {
        UIHarness::SetUp();
        library.open(std::filesystem::temp_directory_path() / ("korva-sized-" + std::to_string(::getpid())));
    }
    void TearDown() override {
        library.close();
        UIHarness::TearDown();
    }
    // A picture whose left half is red and right half blue, stored with an EXIF orientation.
    std::shared_ptr<PHAsset> save(int w, int h, int orientation) {
        RasterRGBA8 r = makeRaster(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                auto* p = &r.pixels[(static_cast<std::size_t>(y) * w + x) * 4];
                p[0] = x < w / 2 ? 255 : 0, p[2] = x < w / 2 ? 0 : 255, p[3] = 255;
            }
        JpegEncodeOptions o;
        o.properties = Value::dictionary({{"Orientation", orientation}});
        auto data = encodeJpeg(r, o);
        EXPECT_TRUE(data);
        return data ? TempPhotoLibrary::add(*data) : nullptr;
    }
    std::vector<Answer> ask(const std::shared_ptr<PHAsset>& asset, CGSize target, PHImageContentMode mode,
                            PHImageRequestOptionsDeliveryMode delivery,
                            PHImageRequestOptionsResizeMode resize = PHImageRequestOptionsResizeMode::Fast) {
        std::vector<Answer> answers;
        PHImageSizedRequestOptions options;
        options.deliveryMode = delivery;
        options.resizeMode = resize;
        PHCachingImageManager::make()->requestImageForAsset(
            asset, target, mode, options, [&](std::shared_ptr<UIImage> image, const ValueDictionary& info) {
                const Value* d = info.find(PHImageResultIsDegradedKey);
                answers.push_back(
                    {image, d && d->boolValue(), info.find(PHImageErrorKey) != nullptr, RunLoop::isMainThread()});
            });
        EXPECT_TRUE(answers.empty());
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        return answers;
    }
};

}  // namespace

TEST(SizedImagePixels, FitsOrFillsWithoutGrowing) {
    EXPECT_EQ(sizedImagePixels({400, 300}, {100, 100}, PHImageContentMode::AspectFit), (CGSize{100, 75}));
    EXPECT_EQ(sizedImagePixels({400, 300}, {100, 100}, PHImageContentMode::AspectFill), (CGSize{133, 100}));
    EXPECT_EQ(sizedImagePixels({40, 30}, {100, 100}, PHImageContentMode::AspectFill), (CGSize{40, 30}));
    EXPECT_EQ(sizedImagePixels({4000, 1}, {10, 10}, PHImageContentMode::AspectFit), (CGSize{10, 1}));
    EXPECT_EQ(sizedImagePixels({400, 300}, {0, 100}, PHImageContentMode::AspectFit), (CGSize{400, 300}));
}

TEST_F(CachingManagerTest, OpportunisticAnswersTwiceUprightAndHighQualityOnce) {
    // Stored 160 x 80 on its side (orientation 6): upright it is 80 x 160 with red on top.
    auto asset = save(160, 80, 6);
    ASSERT_TRUE(asset);
    auto answers =
        ask(asset, {40, 40}, PHImageContentMode::AspectFill, PHImageRequestOptionsDeliveryMode::Opportunistic);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_TRUE(answers[0].degraded);
    EXPECT_FALSE(answers[1].degraded);
    for (const auto& a : answers) {
        EXPECT_TRUE(a.onMain);
        EXPECT_FALSE(a.error);
    }
    auto final = answers[1].image->cgImage();
    EXPECT_EQ(final->width(), 40);
    EXPECT_EQ(final->height(), 80);
    EXPECT_LT(answers[0].image->cgImage()->width(), final->width());
    // Red and blue by the picture's own channel order.
    const bool bgra = final->layout() == CGImagePixelLayout::BGRA8Premultiplied;
    const int r = bgra ? 2 : 0, b = bgra ? 0 : 2;
    const std::uint8_t* top = final->row(5) + 20 * 4;
    const std::uint8_t* bottom = final->row(75) + 20 * 4;
    EXPECT_GT(top[r], 200);
    EXPECT_LT(top[b], 60);
    EXPECT_GT(bottom[b], 200);
    EXPECT_LT(bottom[r], 60);

    answers = ask(asset, {40, 40}, PHImageContentMode::AspectFit, PHImageRequestOptionsDeliveryMode::HighQualityFormat);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].image->cgImage()->width(), 20);
    EXPECT_EQ(answers[0].image->cgImage()->height(), 40);
}

TEST_F(CachingManagerTest, AFileGoneOrBrokenAnswersNoneWithAnError) {
    auto asset = save(32, 32, 1);
    ASSERT_TRUE(asset);
    std::filesystem::remove(asset->filePath());
    auto answers =
        ask(asset, {10, 10}, PHImageContentMode::AspectFill, PHImageRequestOptionsDeliveryMode::Opportunistic);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0].image);
    EXPECT_TRUE(answers[0].error);

    auto broken = save(32, 32, 1);
    ASSERT_TRUE(broken);
    {
        std::ofstream out(broken->filePath(), std::ios::binary | std::ios::trunc);
        out << "\xFF\xD8\xFF\xE0 not a picture";
    }
    answers = ask(broken, {10, 10}, PHImageContentMode::AspectFill, PHImageRequestOptionsDeliveryMode::Opportunistic);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0].image);
    answers = ask(nullptr, {10, 10}, PHImageContentMode::AspectFill, PHImageRequestOptionsDeliveryMode::Opportunistic);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_TRUE(answers[0].error);
}

TEST_F(CachingManagerTest, ExactThumbnailsAreCutFromTheMiddleKeptAndGivenAgainWithoutTheFile) {
    SizedImageCache::shared().removeAll();
    // 160 x 80, red on the left half and blue on the right: a square from the middle is half each.
    auto asset = save(160, 80, 1);
    ASSERT_TRUE(asset);
    auto answers = ask(asset, {20, 20}, PHImageContentMode::AspectFill,
                       PHImageRequestOptionsDeliveryMode::HighQualityFormat, PHImageRequestOptionsResizeMode::Exact);
    ASSERT_EQ(answers.size(), 1u);
    auto thumb = answers[0].image->cgImage();
    ASSERT_EQ(thumb->width(), 20);
    ASSERT_EQ(thumb->height(), 20);
    // The display's own order: nothing is converted when it is drawn.
    EXPECT_EQ(thumb->layout(), CGImagePixelLayout::BGRA8Premultiplied);
    EXPECT_GT(thumb->row(10)[2 * 4 + 2], 200) << "red at the left";
    EXPECT_GT(thumb->row(10)[17 * 4 + 0], 200) << "blue at the right";

    // Kept: found at once, and asked again it comes without the file.
    auto manager = PHCachingImageManager::make();
    PHImageSizedRequestOptions exact;
    exact.deliveryMode = PHImageRequestOptionsDeliveryMode::HighQualityFormat;
    exact.resizeMode = PHImageRequestOptionsResizeMode::Exact;
    auto kept = manager->cachedImageForAsset(asset, {20, 20}, PHImageContentMode::AspectFill, exact);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->cgImage(), thumb);
    EXPECT_FALSE(manager->cachedImageForAsset(asset, {30, 30}, PHImageContentMode::AspectFill, exact));
    std::filesystem::remove(asset->filePath());
    answers = ask(asset, {20, 20}, PHImageContentMode::AspectFill, PHImageRequestOptionsDeliveryMode::HighQualityFormat,
                  PHImageRequestOptionsResizeMode::Exact);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].image->cgImage(), thumb);
}

TEST_F(CachingManagerTest, ACancelledRequestNeverAnswers) {
    SizedImageCache::shared().removeAll();
    std::vector<std::shared_ptr<PHAsset>> assets;
    for (int i = 0; i < 4; ++i) assets.push_back(save(64 + 8 * i, 48, 1));
    auto manager = PHCachingImageManager::make();
    std::vector<int> answered;
    std::vector<PHImageRequestID> ids;
    for (int i = 0; i < 4; ++i)
        ids.push_back(manager->requestImageForAsset(
            assets[i], {16, 16}, PHImageContentMode::AspectFill, PHImageSizedRequestOptions{},
            [&answered, i](std::shared_ptr<UIImage> image, const ValueDictionary& info) {
                const Value* d = info.find(PHImageResultIsDegradedKey);
                if (image && !(d && d->boolValue())) answered.push_back(i);
            }));
    manager->cancelImageRequest(ids[1]);
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    std::sort(answered.begin(), answered.end());
    EXPECT_EQ(answered, (std::vector<int>{0, 2, 3}));
    // Cancelled after the picture is made, before it is handed over: still never answered.
    answered.clear();
    SizedImageCache::shared().removeAll();
    auto late = manager->requestImageForAsset(
        assets[2], {16, 16}, PHImageContentMode::AspectFill, PHImageSizedRequestOptions{},
        [&answered](std::shared_ptr<UIImage>, const ValueDictionary&) { answered.push_back(2); });
    DispatchQueue::waitUntilBackgroundIdle();
    manager->cancelImageRequest(late);
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(answered.empty());
}

TEST(SizedImageCacheTest, DropsTheLeastRecentlyUsedBeyondItsBudget) {
    auto picture = [](int side) {
        return CGImage::create(side, side, side * 4, std::vector<std::uint8_t>(side * side * 4, 9));
    };
    SizedImageCache cache(3 * 10 * 10 * 4);
    cache.insert("a", picture(10));
    cache.insert("b", picture(10));
    cache.insert("c", picture(10));
    EXPECT_TRUE(cache.find("a")) << "a is now the most recent";
    cache.insert("d", picture(10));
    EXPECT_FALSE(cache.find("b"));
    EXPECT_TRUE(cache.find("a") && cache.find("c") && cache.find("d"));
    EXPECT_EQ(cache.bytes(), 1200u);
    cache.insert("huge", picture(20));
    EXPECT_FALSE(cache.find("huge")) << "larger than the whole budget";
    EXPECT_EQ(cache.count(), 3u);
    cache.setBudget(400);
    EXPECT_EQ(cache.count(), 1u);
}
