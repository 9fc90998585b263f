// Encoded photos: saving as a new library asset (once, on the main queue, refused when not
// allowed) and reading and replacing image properties without touching the pixels.
#include "foundation/data_custom_photos.h"

#include <filesystem>
#include <random>

#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "tests/platform/dispatch/virtual_clock.h"

namespace {

Bytes photo(int w, int h, Value properties = {}) {
    RasterRGBA8 r = makeRaster(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* p = &r.pixels[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(x * 255 / w), p[1] = std::uint8_t(y * 255 / h), p[2] = 90, p[3] = 255;
        }
    JpegEncodeOptions o;
    o.properties = std::move(properties);
    auto data = encodeJpeg(r, o);
    return data ? *data : Bytes{};
}

class ChangeCounter : public PHPhotoLibraryChangeObserver {
public:
    void photoLibraryDidChange(const std::shared_ptr<PHChange>& change) override {
        ++changes;
        inserted += int(change->insertedIdentifiers().size());
    }
    int changes = 0, inserted = 0;
};

}  // namespace

class PhotoSaveTest : public VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        PhotoLibraryAuthorization::reset();
        folder_ =
            std::filesystem::temp_directory_path() / ("korva-photo-save-" + std::to_string(std::random_device()()));
        PHPhotoLibrary::setLibraryDirectory(folder_.string());
    }
    void TearDown() override {
        settle();
        PHPhotoLibrary::setLibraryDirectory("");
        std::filesystem::remove_all(folder_);
        VirtualClockTest::TearDown();
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            RunLoop::main().runUntilIdle();
        }
    }
    // Saves and returns the answers the handler got.
    std::vector<bool> save(const Bytes& data) {
        std::vector<bool> answers;
        saveToPhotos(data, [&](bool ok) {
            EXPECT_TRUE(RunLoop::isMainThread());
            answers.push_back(ok);
        });
        settle();
        return answers;
    }
    std::filesystem::path folder_;
};

TEST_F(PhotoSaveTest, SavesANewAssetWithTheBytesAndNotifiesObserversOnce) {
    auto counter = std::make_shared<ChangeCounter>();
    PHPhotoLibrary::sharedPhotoLibrary()->registerChangeObserver(counter);
    Bytes data = photo(40, 30);
    EXPECT_EQ(save(data), (std::vector<bool>{true}));
    auto assets = PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image);
    ASSERT_EQ(assets->count(), 1u);
    auto asset = assets->firstObject();
    EXPECT_EQ(asset->pixelWidth(), 40);
    EXPECT_EQ(asset->pixelHeight(), 30);
    auto stored = readFileBytes(asset->filePath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, data);
    EXPECT_EQ(counter->changes, 1);
    EXPECT_EQ(counter->inserted, 1);

    EXPECT_EQ(save(photo(8, 8)), (std::vector<bool>{true}));
    EXPECT_EQ(PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image)->count(), 2u);
    EXPECT_EQ(counter->changes, 2);
    // A nil handler is allowed.
    saveToPhotos(photo(4, 4), nullptr);
    settle();
    EXPECT_EQ(PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image)->count(), 3u);
}

TEST_F(PhotoSaveTest, RefusedPermissionAndBytesThatAreNoImageReportNoAndLeaveNothing) {
    auto counter = std::make_shared<ChangeCounter>();
    PHPhotoLibrary::sharedPhotoLibrary()->registerChangeObserver(counter);
    EXPECT_EQ(save(Bytes{'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}), (std::vector<bool>{false}));
    EXPECT_EQ(save(Bytes{}), (std::vector<bool>{false}));
    Bytes truncated = photo(16, 16);
    truncated.resize(truncated.size() / 2);
    EXPECT_EQ(save(truncated), (std::vector<bool>{false}));
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    EXPECT_EQ(save(photo(16, 16)), (std::vector<bool>{false}));
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    EXPECT_EQ(PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image)->count(), 0u);
    EXPECT_EQ(counter->changes, 0);
    for (auto& entry : std::filesystem::directory_iterator(folder_))
        EXPECT_EQ(entry.path().filename().string()[0], '.') << entry.path();
}

TEST_F(PhotoSaveTest, ALibraryLeftByAKilledSaveStillSavesAndListsOnlyWholePhotos) {
    ASSERT_EQ(save(photo(10, 10)), (std::vector<bool>{true}));
    // A crash left a row whose file never arrived and a file cut off half-way.
    PHPhotoLibrary::setLibraryDirectory("");
    {
        auto index = AssetIndex::open(folder_.string());
        ASSERT_TRUE(index);
        AssetRecord stray;
        stray.identifier = "STRAY-ROW/L0/001";
        stray.file = "stray.jpg";
        stray.pixelWidth = stray.pixelHeight = 10;
        ASSERT_TRUE((*index)->apply({stray}, {}));
    }
    Bytes half = photo(64, 64);
    half.resize(half.size() / 2);
    {
        std::FILE* f = std::fopen((folder_ / "half.jpg").string().c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(half.data(), 1, half.size(), f);
        std::fclose(f);
    }
    PHPhotoLibrary::setLibraryDirectory(folder_.string());
    auto counter = std::make_shared<ChangeCounter>();
    PHPhotoLibrary::sharedPhotoLibrary()->registerChangeObserver(counter);
    ASSERT_EQ(save(photo(12, 12)), (std::vector<bool>{true}));
    EXPECT_EQ(counter->changes, 1);
    auto assets = PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image);
    ASSERT_EQ(assets->count(), 2u);
    for (auto& a : assets->assets()) {
        EXPECT_TRUE(std::filesystem::exists(a->filePath())) << a->filePath();
        EXPECT_TRUE(decodeImageFile(a->filePath())) << a->filePath();
    }
}

TEST(PhotoImageProperties, ReadAndReplaceKeepThePixels) {
    Bytes data = photo(24, 16, Value::dictionary({{"{TIFF}", Value::dictionary({{"Make", Value("Maker")}})}}));
    Value read = getMetadata(data);
    ASSERT_TRUE(read.isDictionary());
    EXPECT_EQ(read["PixelWidth"].integerValue(), 24);
    EXPECT_EQ(read["{TIFF}"]["Make"].stringValue(), "Maker");

    Value changes =
        Value::dictionary({{"Orientation", Value(6)},
                           {"{TIFF}", Value::dictionary({{"Software", Value("Korva")}})},
                           {"{GPS}", Value::dictionary({{"Latitude", Value(12.5)}, {"LatitudeRef", Value("S")}})}});
    auto replaced = setMetadata(data, changes);
    ASSERT_TRUE(replaced);
    Value after = getMetadata(*replaced);
    EXPECT_EQ(after["Orientation"].integerValue(), 6);
    EXPECT_EQ(after["{TIFF}"]["Software"].stringValue(), "Korva");
    EXPECT_EQ(after["{TIFF}"]["Make"].stringValue(), "Maker");
    EXPECT_DOUBLE_EQ(after["{GPS}"]["Latitude"].doubleValue(), 12.5);
    EXPECT_EQ(after["{GPS}"]["LatitudeRef"].stringValue(), "S");
    auto before = decodeImage(data), now = decodeImage(*replaced);
    ASSERT_TRUE(before && now);
    EXPECT_EQ(before->raster.pixels, now->raster.pixels);

    // No properties: the same pixels, a readable file.
    auto plain = setMetadata(data, Value());
    ASSERT_TRUE(plain);
    EXPECT_EQ(getMetadata(*plain)["PixelHeight"].integerValue(), 16);
}

TEST(PhotoImageProperties, UnreadableDataGivesNothing) {
    Bytes junk{1, 2, 3, 4, 5};
    EXPECT_TRUE(getMetadata(junk).isNull());
    EXPECT_TRUE(getMetadata({}).isNull());
    EXPECT_FALSE(setMetadata(junk, Value::dictionary()));
    EXPECT_FALSE(setMetadata({}, Value::dictionary()));
    EXPECT_FALSE(setMetadata(photo(4, 4), Value("not a dictionary")));
    Bytes cut = photo(32, 32);
    cut.resize(40);
    EXPECT_FALSE(setMetadata(cut, Value::dictionary({{"Orientation", Value(3)}})));
}
