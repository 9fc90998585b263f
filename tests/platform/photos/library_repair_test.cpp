// Crash safety: what a killed save or outside meddling leaves is repaired when the library opens.
#include <algorithm>
#include <fstream>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/image_file_check.h"
#include "platform/storage/temporary_name.h"

namespace {
void writeBytes(const std::filesystem::path& path, const Bytes& data, std::size_t length) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(length));
}
}  // namespace

TEST_F(PhotosTest, OpeningRepairsAKilledSaveAndStrayRows) {
    std::string kept = save(jpeg(32, 24));
    std::string lost = save(jpeg(16, 16));
    ASSERT_FALSE(kept.empty());
    ASSERT_FALSE(lost.empty());
    auto lostAsset = PHAsset::fetchAssetsWithLocalIdentifiers({lost})->firstObject();
    ASSERT_TRUE(lostAsset);
    PHPhotoLibrary::setLibraryDirectory(folder.string());  // closes the library

    // A stray row: its file is gone.
    std::filesystem::remove(lostAsset->filePath());
    // A save killed while writing: the atomic writer's temporary file, half written.
    Bytes photo = jpeg(20, 10);
    const std::string dead = newTemporaryName("IMG_DEAD.JPG");
    writeBytes(folder / dead, photo, photo.size() / 2);
    // A truncated image under a real name, and a good photo copied in by hand.
    writeBytes(folder / "IMG_TRUNC.JPG", photo, photo.size() * 2 / 3);
    writeBytes(folder / "Holiday.jpeg", photo, photo.size());
    // Not an image at all.
    writeBytes(folder / "notes.txt", photo, 10);

    auto all = PHAsset::fetchAssetsWithOptions(nullptr);
    std::vector<std::string> files;
    for (auto& a : all->assets()) files.push_back(std::filesystem::path(a->filePath()).filename().string());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(all->count(), 2u);
    EXPECT_EQ(files[0], "Holiday.jpeg");
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({kept})->firstObject());
    EXPECT_FALSE(PHAsset::fetchAssetsWithLocalIdentifiers({lost})->firstObject());
    EXPECT_FALSE(std::filesystem::exists(folder / dead));
    EXPECT_TRUE(std::filesystem::exists(folder / "IMG_TRUNC.JPG")) << "not indexed, but not deleted either";
    auto holiday = PHAsset::fetchAssetsWithLocalIdentifiers(
        {all->assets()[0]->localIdentifier(), all->assets()[1]->localIdentifier()});
    for (auto& a : holiday->assets()) {
        if (a->filePath().ends_with("Holiday.jpeg")) {
            EXPECT_EQ(a->pixelWidth(), 20);
        }
    }

    // A second open finds nothing more to do and keeps the identifiers.
    std::string holidayId;
    for (auto& a : all->assets())
        if (a->filePath().ends_with("Holiday.jpeg")) holidayId = a->localIdentifier();
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({holidayId})->firstObject());
}

TEST_F(PhotosTest, AnUnreadableIndexIsRebuiltFromTheFiles) {
    ASSERT_FALSE(save(jpeg(12, 12)).empty());
    ASSERT_FALSE(save(jpeg(14, 12)).empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    std::ofstream(folder / AssetIndex::kIndexFileName, std::ios::binary | std::ios::trunc) << "garbage, not a database";
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    EXPECT_EQ(library->openError(), "");
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u);
    EXPECT_FALSE(save(jpeg(8, 8)).empty());
}

TEST_F(PhotosTest, AnUnusableFolderReportsInsteadOfCrashing) {
    auto file = folder.string() + "-file";
    std::ofstream(file) << "x";
    PHPhotoLibrary::setLibraryDirectory(file + "/inside");
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    EXPECT_NE(library->openError(), "");
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 0u);
    EXPECT_TRUE(save(jpeg(8, 8)).empty());
    std::filesystem::remove(file);
}

// Photos that keep something after their picture (a movie, padding) are whole: saved, and listed
// when they come into the folder by hand; a photo cut inside its picture is not, whatever follows.
TEST_F(PhotosTest, APhotoWithDataAfterItsPictureIsWhole) {
    const Bytes photo = jpeg(48, 32);
    Bytes trailer(300 * 1024);
    for (std::size_t i = 0; i < trailer.size(); ++i) trailer[i] = static_cast<std::uint8_t>(i * 7 % 255);
    Bytes kept = photo;
    kept.insert(kept.end(), trailer.begin(), trailer.end());
    Bytes cut(photo.begin(), photo.begin() + static_cast<std::ptrdiff_t>(photo.size() * 2 / 3));
    cut.insert(cut.end(), trailer.begin(), trailer.end());

    std::string saved = save(kept);
    ASSERT_FALSE(saved.empty()) << "a whole photo with a trailer refused";
    EXPECT_TRUE(save(cut).empty());
    PHPhotoLibrary::setLibraryDirectory("");
    writeBytes(folder / "MOTION.JPG", kept, kept.size());
    writeBytes(folder / "CUT.JPG", cut, cut.size());

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    auto all = PHAsset::fetchAssetsWithOptions(nullptr);
    std::vector<std::string> files;
    for (auto& a : all->assets()) {
        files.push_back(std::filesystem::path(a->filePath()).filename().string());
        EXPECT_EQ(a->pixelWidth(), 48);
        EXPECT_EQ(a->pixelHeight(), 32);
    }
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1], "MOTION.JPG");  // after the saved one's IMG_ name
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({saved})->firstObject());
}

// The walk to the end marker through noisy baseline and progressive pictures (many stuffed bytes,
// the segments between progressive scans): whole ones pass with a trailer behind them, and a cut
// anywhere inside the picture fails whatever follows.
TEST(ImageFileCheckTest, TheEndOfAPictureIsFoundThroughItsScansNotInItsTrailer) {
    RasterRGBA8 noise = makeRaster(96, 64);
    std::uint32_t seed = 12345;
    for (auto& byte : noise.pixels) byte = static_cast<std::uint8_t>((seed = seed * 1664525 + 1013904223) >> 24);
    Bytes trailer(64 * 1024, 0x20);
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        JpegEncodeOptions options;
        options.progressive = progressive;
        options.quality = 1.0;
        auto encoded = encodeJpeg(noise, options);
        ASSERT_TRUE(encoded);
        Bytes whole = *encoded;
        whole.insert(whole.end(), trailer.begin(), trailer.end());
        EXPECT_TRUE(checkImageDataIsWhole(whole));
        for (std::size_t cut = encoded->size() / 8; cut + 2 < encoded->size(); cut += encoded->size() / 17) {
            Bytes data(encoded->begin(), encoded->begin() + static_cast<std::ptrdiff_t>(cut));
            data.insert(data.end(), trailer.begin(), trailer.end());
            EXPECT_FALSE(checkImageDataIsWhole(data)) << "cut at " << cut << " of " << encoded->size();
        }
    }
}
