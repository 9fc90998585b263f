// The library following its folder: files other programs copy in, remove, replace, copy in bulk
// or write in pieces, and a second library on the same folder, each reaching observers as a change
// once. The kernel's events are awaited (bounded), the settlement is driven on the virtual clock.
#include <fcntl.h>
#include <sys/stat.h>

#include "folder_test_support.h"
#include "platform/photos/ph_fetch_result_change_details.h"
#include "tests/support/same_size_jpegs.h"

TEST_F(FolderTest, CopiedInRemovedAndReplacedFilesReachObserversAsChanges) {
    auto shown = newestFirst();
    // Only the photo: a text file, a hidden picture and a picture in a sub-folder are not the library's.
    std::ofstream(folder / "notes.txt") << "not a photo";
    copyIn(".hidden.jpg");
    std::filesystem::create_directories(folder / "sub");
    std::filesystem::copy_file(picture("inner.jpg", 8, 8), folder / "sub" / "inner.jpg");
    copyIn("IMG_FROM_CAMERA.JPG", 60, 80);
    settle(*library, {"IMG_FROM_CAMERA.JPG"});
    ASSERT_EQ(observer->changes.size(), 1u);
    auto details = observer->changes[0]->changeDetailsForFetchResult(shown);
    ASSERT_TRUE(details);
    ASSERT_EQ(details->insertedObjects().size(), 1u);
    auto copied = details->insertedObjects()[0];
    EXPECT_EQ(copied->pixelWidth(), 60);
    EXPECT_EQ(details->fetchResultAfterChanges()->count(), 1u);
    shown = details->fetchResultAfterChanges();

    // Replaced by another picture: the same asset, described afresh and modified.
    copyIn("IMG_FROM_CAMERA.JPG", 30, 20);
    settle(*library, {"IMG_FROM_CAMERA.JPG"});
    ASSERT_EQ(observer->changes.size(), 2u);
    EXPECT_EQ(observer->changes[1]->changedIdentifiers(), std::vector<std::string>{copied->localIdentifier()});
    details = observer->changes[1]->changeDetailsForFetchResult(shown);
    ASSERT_TRUE(details);
    ASSERT_EQ(details->changedObjects().size(), 1u);
    EXPECT_EQ(details->changedObjects()[0]->pixelWidth(), 30);
    EXPECT_EQ(details->changedObjects()[0]->creationDate(), copied->creationDate()) << "it keeps its place";
    shown = details->fetchResultAfterChanges();

    std::filesystem::remove(folder / "IMG_FROM_CAMERA.JPG");
    settle(*library, {"IMG_FROM_CAMERA.JPG"});
    ASSERT_EQ(observer->changes.size(), 3u);
    details = observer->changes[2]->changeDetailsForFetchResult(shown);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->removedObjects().size(), 1u);
    EXPECT_EQ(newestFirst()->count(), 0u);

    // The library's own save is told once: its file's news adds nothing.
    std::string own = save(jpeg(10, 10));
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(observer->changes.size(), 4u);
    auto file = std::filesystem::path(PHAsset::fetchAssetsWithLocalIdentifiers({own})->firstObject()->filePath());
    settle(*library, {file.filename().string()});
    EXPECT_EQ(observer->changes.size(), 4u);
}

TEST_F(FolderTest, ABurstIsOneNoticeAndAFileWrittenInPiecesIsListedOnceWhole) {
    std::vector<std::string> names;
    for (int i = 0; i < 100; ++i) names.push_back("burst_" + std::to_string(i) + ".jpg");
    for (const auto& name : names) copyIn(name);
    settle(*library, names);
    ASSERT_EQ(observer->changes.size(), 1u);
    EXPECT_EQ(observer->changes[0]->insertedIdentifiers().size(), 100u);

    // Changes that keep coming are gathered until the folder is quiet.
    copyIn("early.jpg");
    settle(*library, {"early.jpg"}, PHPhotoLibrary::kFolderQuiet * 0.5);
    copyIn("late.jpg");
    settle(*library, {"early.jpg", "late.jpg"}, PHPhotoLibrary::kFolderQuiet * 0.6);
    EXPECT_EQ(observer->changes.size(), 1u) << "still coming";
    Clock::advanceVirtual(PHPhotoLibrary::kFolderQuiet);
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(observer->changes.size(), 2u);
    EXPECT_EQ(observer->changes[1]->insertedIdentifiers().size(), 2u);

    // The first half, closed: not a photo yet. The rest: listed.
    auto whole = jpeg(40, 30);
    auto write = [&](std::size_t from, std::size_t to, std::ios::openmode mode) {
        std::ofstream(folder / "slow.jpg", std::ios::binary | mode)
            .write(reinterpret_cast<const char*>(whole.data() + from), static_cast<std::streamsize>(to - from));
    };
    write(0, whole.size() / 2, std::ios::trunc);
    settle(*library, {"slow.jpg"});
    EXPECT_EQ(observer->changes.size(), 2u);
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 102u);
    write(whole.size() / 2, whole.size(), std::ios::app);
    settle(*library, {"slow.jpg"});
    ASSERT_EQ(observer->changes.size(), 3u);
    EXPECT_EQ(observer->changes[2]->insertedIdentifiers().size(), 1u);
    EXPECT_EQ(newestFirst()->count(), 103u);
}

TEST_F(FolderTest, ASecondLibraryOnTheFolderSeesTheFirstOnesPhotos) {
    auto other = PHPhotoLibrary::make(folder.string());
    auto otherObserver = std::make_shared<ChangeRecorder>();
    other->registerChangeObserver(otherObserver);

    std::string saved = save(jpeg(12, 12));
    auto file = std::filesystem::path(PHAsset::fetchAssetsWithLocalIdentifiers({saved})->firstObject()->filePath());
    const std::string name = file.filename().string();
    settle(*other, {name});
    ASSERT_EQ(otherObserver->changes.size(), 1u);
    EXPECT_EQ(otherObserver->changes[0]->insertedIdentifiers(), std::vector<std::string>{saved});

    // Both see a copy from a third program as one asset.
    copyIn("shared.jpg");
    ASSERT_TRUE(library->waitForFolderChanges({"shared.jpg"}, kEventWait));
    settle(*other, {"shared.jpg"});
    ASSERT_EQ(observer->changes.size(), 2u);
    ASSERT_EQ(otherObserver->changes.size(), 2u);
    EXPECT_EQ(observer->changes[1]->insertedIdentifiers(), otherObserver->changes[1]->insertedIdentifiers());
    EXPECT_EQ(newestFirst()->count(), 2u);

    ASSERT_TRUE(library->performChangesAndWait(
        [&] { PHAssetChangeRequest::deleteAssets(PHAsset::fetchAssetsWithLocalIdentifiers({saved})->assets()); }));
    settle(*other, {name});
    ASSERT_EQ(otherObserver->changes.size(), 3u);
    EXPECT_EQ(otherObserver->changes[2]->removedIdentifiers(), std::vector<std::string>{saved});
    other->unregisterChangeObserver(otherObserver);
}

// A link made elsewhere (which the folder's watch does not hear of) and a permission change the
// inode of the same file only: no news.
TEST_F(FolderTest, APermissionOrALinkMadeElsewhereIsNoChange) {
    copyIn("same.jpg");
    settle(*library, {"same.jpg"});
    ASSERT_EQ(observer->changes.size(), 1u);
    const auto path = folder / "same.jpg";
    std::filesystem::create_hard_link(path, outside / "link.jpg");
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_read | perms::owner_write | perms::group_read);
    settle(*library, {"same.jpg"});
    EXPECT_EQ(observer->changes.size(), 1u);
}

// Another picture of the same byte and pixel size written over a photo, its times put back (a copy
// that keeps them, a tag edit that keeps the file's time): only the inode's change time moves, as
// it does for a permission. The content tells them apart: the rewrite is dated again, and a
// permission changed afterwards is still no news.
TEST_F(FolderTest, APhotoRewrittenInPlaceWithItsTimesPutBackIsDatedAgain) {
    auto coloured = [](std::uint8_t red, std::uint8_t blue) {
        RasterRGBA8 r = makeRaster(40, 30);
        for (std::size_t i = 0; i < r.pixels.size(); i += 4)
            r.pixels[i] = red, r.pixels[i + 2] = blue, r.pixels[i + 3] = 255;
        auto data = encodeJpeg(r);
        return data ? *data : Bytes{};
    };
    Bytes first = coloured(200, 0), second = coloured(0, 200);
    testsupport::padToOneLength(first, second);
    const auto path = folder / "rewritten.jpg";
    auto write = [&](const Bytes& data) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    };
    write(first);
    settle(*library, {"rewritten.jpg"});
    ASSERT_EQ(observer->changes.size(), 1u);
    const auto before = newestFirst()->firstObject();
    struct stat written {};
    ASSERT_EQ(::stat(path.c_str(), &written), 0);

    write(second);
    const timespec times[2] = {written.st_atim, written.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat rewritten {};
    ASSERT_EQ(::stat(path.c_str(), &rewritten), 0);
    ASSERT_EQ(rewritten.st_ino, written.st_ino);
    ASSERT_EQ(rewritten.st_size, written.st_size);
    settle(*library, {"rewritten.jpg"});
    ASSERT_EQ(observer->changes.size(), 2u);
    EXPECT_EQ(observer->changes[1]->changedIdentifiers(), std::vector<std::string>{before->localIdentifier()});
    const auto after = newestFirst()->firstObject();
    EXPECT_GT(after->modificationDate(), before->modificationDate());
    EXPECT_EQ(after->pixelWidth(), 40);

    std::filesystem::permissions(path, std::filesystem::perms::others_read, std::filesystem::perm_options::remove);
    settle(*library, {"rewritten.jpg"});
    EXPECT_EQ(observer->changes.size(), 2u);
    EXPECT_EQ(newestFirst()->firstObject()->modificationDate(), after->modificationDate());
}
