// The folder is the truth: damage to the index, rows without identifiers, cut-off photos and
// saves killed at every step leave a library that opens, lists what is whole and saves again.
#include <dlfcn.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <set>

#include "photos_test_support.h"
#include "platform/dispatch/queue.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/ph_content_editing_input.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/runtime/log.h"
#include "tests/support/fifo_trap.h"

namespace {

// Set in a child process: it kills itself at its Nth flush to disk.
std::atomic<int> killAtSync{0};

void countSync() {
    if (killAtSync.load() > 0 && --killAtSync == 0) ::raise(SIGKILL);
}

}  // namespace

extern "C" int fsync(int fd) {
    static auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    countSync();
    return real(fd);
}

extern "C" int fdatasync(int fd) {
    static auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"));
    countSync();
    return real(fd);
}

namespace {

std::vector<std::string> listedFiles() {
    std::vector<std::string> files;
    auto all = PHAsset::fetchAssetsWithOptions(nullptr);
    for (auto& a : all->assets()) files.push_back(std::filesystem::path(a->filePath()).filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Hidden files other than the index and the log an open index keeps beside it.
std::vector<std::string> hiddenFiles(const std::filesystem::path& folder) {
    const std::string index = AssetIndex::kIndexFileName;
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folder)) {
        std::string name = e.path().filename().string();
        if (name[0] == '.' && name != index && name != index + "-wal" && name != index + "-shm") names.push_back(name);
    }
    return names;
}

void runSql(const std::filesystem::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((database).c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// The JPEG with the segments put right after its start-of-image marker.
Bytes withSegments(const Bytes& jpeg, const std::vector<Bytes>& segments) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    for (const Bytes& segment : segments) out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes segment(std::uint8_t marker, const Bytes& payload) {
    Bytes out{0xFF, marker, static_cast<std::uint8_t>((payload.size() + 2) >> 8),
              static_cast<std::uint8_t>((payload.size() + 2) & 0xFF)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

}  // namespace

TEST_F(PhotosTest, AnIndexWithADamagedPageIsRebuiltFromTheFolder) {
    for (int i = 0; i < 3; ++i) ASSERT_FALSE(save(jpeg(10 + i, 10)).empty());
    // The notices of the saves hold the library: once delivered (the library's queue has handed
    // them to the main queue, which has run them), it closes and its log goes into the file. The
    // next library opens only then, so that the closing one is the last and writes its log back.
    for (int i = 0; i < 3; ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
    }
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    const auto index = folder / AssetIndex::kIndexFileName;
    std::ifstream in(index, std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t kPage = 4096;
    ASSERT_GE(original.size(), 2 * kPage);

    for (std::size_t page = 0; page < original.size() / kPage; ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        std::string damaged = original;
        for (std::size_t i = page * kPage; i < (page + 1) * kPage; ++i) damaged[i] = static_cast<char>(0xA5 ^ i);
        std::ofstream(index, std::ios::binary | std::ios::trunc) << damaged;
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
        EXPECT_EQ(listedFiles().size(), filesIn(folder));
        EXPECT_FALSE(save(jpeg(8, 8)).empty()) << "a save after the rebuild";
        EXPECT_EQ(listedFiles().size(), filesIn(folder));
        PHPhotoLibrary::setLibraryDirectory(folder.string());
    }
    EXPECT_TRUE(std::filesystem::exists(folder / (std::string(AssetIndex::kIndexFileName) + ".corrupt")));
}

// The index breaks while the library is open: the next save keeps its file, the broken index
// goes aside, and the rebuilt one lists every photo of the folder, the new one under its identifier.
// (Bytes written over the file from outside are not seen while the library works from its log and
// cached pages; another program's change of the table is.)
TEST_F(PhotosTest, AnIndexThatBreaksWhileOpenIsRebuiltAndThePhotoKept) {
    ASSERT_FALSE(save(jpeg(10, 10)).empty());
    runSql(folder / AssetIndex::kIndexFileName, "DROP TABLE assets; CREATE TABLE assets (identifier TEXT, file TEXT)");
    LogCapture log;
    std::string second = save(jpeg(12, 10));
    ASSERT_FALSE(second.empty()) << "the save after the damage";
    EXPECT_TRUE(log.contains("reopening"));
    EXPECT_EQ(filesIn(folder), 2u);
    EXPECT_EQ(listedFiles().size(), 2u);
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({second})->firstObject());
    EXPECT_TRUE(std::filesystem::exists(folder / (std::string(AssetIndex::kIndexFileName) + ".corrupt")));
    // Later saves go on without a restart, and a fresh open agrees.
    std::string third = save(jpeg(14, 10));
    ASSERT_FALSE(third.empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(listedFiles().size(), 3u);
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({second, third})->count() == 2u);
}

TEST_F(PhotosTest, PipesWithPhotoNamesNeitherHoldTheOpenNorGetListed) {
    std::string kept = save(jpeg(10, 10));
    ASSERT_FALSE(kept.empty());
    auto keptAsset = PHAsset::fetchAssetsWithLocalIdentifiers({kept})->firstObject();
    ASSERT_TRUE(keptAsset);
    // One pipe has no row; the other takes the place of a listed photo's file.
    const std::string loose = (folder / "IMG_9999.JPG").string();
    const std::string movie = (folder / "CLIP_0001.MOV").string();
    ASSERT_TRUE(makeFifo(loose));
    ASSERT_TRUE(makeFifo(movie));
    std::filesystem::remove(keptAsset->filePath());
    ASSERT_TRUE(makeFifo(keptAsset->filePath()));
    std::vector<std::string> listed{"<not opened>"};
    EXPECT_TRUE(runsPastFifos({loose, movie, keptAsset->filePath()}, [&] {
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        listed = listedFiles();
    }));
    EXPECT_EQ(listed, std::vector<std::string>{});
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_FALSE(save(jpeg(8, 8)).empty());
    EXPECT_EQ(listedFiles().size(), 1u);
}

// After the library listed its photos, a pipe or a link takes a photo's place: the readers of the
// photo's data answer with an error at once instead of waiting for a writer or reading elsewhere.
TEST_F(PhotosTest, PhotoReadsRefuseAPipeOrALinkSwappedInAfterListing) {
    std::string piped = save(jpeg(10, 10)), linked = save(jpeg(12, 12));
    ASSERT_FALSE(linked.empty());
    auto pipedAsset = PHAsset::fetchAssetsWithLocalIdentifiers({piped})->firstObject();
    auto linkedAsset = PHAsset::fetchAssetsWithLocalIdentifiers({linked})->firstObject();
    ASSERT_TRUE(pipedAsset && linkedAsset);
    std::filesystem::remove(pipedAsset->filePath());
    ASSERT_TRUE(makeFifo(pipedAsset->filePath()));
    const auto elsewhere = folder / ".elsewhere.jpg";
    std::filesystem::rename(linkedAsset->filePath(), elsewhere);
    std::filesystem::create_symlink(elsewhere, linkedAsset->filePath());

    std::vector<std::string> errors, editing;
    EXPECT_TRUE(runsPastFifos({pipedAsset->filePath()}, [&] {
        for (const auto& asset : {pipedAsset, linkedAsset}) {
            PHImageRequestOptions options;
            options.synchronous = true;
            PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
                asset, options, [&](std::optional<Bytes> data, const std::string&, int, const ValueDictionary& info) {
                    EXPECT_FALSE(data);
                    const Value* error = info.find(PHImageErrorKey);
                    errors.push_back(error ? error->objectAs<NSError>()->localizedDescription() : "no error");
                });
            asset->requestContentEditingInputWithOptions(
                {}, [&](const std::shared_ptr<PHContentEditingInput>& input, const ValueDictionary& info) {
                    editing.push_back(!input && info.find(PHImageErrorKey) ? "refused" : "accepted");
                });
        }
        DispatchQueue::waitUntilBackgroundIdle();
    }));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(editing, (std::vector<std::string>{"refused", "refused"}));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("not a regular file"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("cannot open"), std::string::npos) << errors[1];
}

TEST_F(PhotosTest, ARowWithoutAnIdentifierIsGivenOne) {
    std::string first = save(jpeg(12, 12));
    std::string second = save(jpeg(14, 12));
    ASSERT_FALSE(second.empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    runSql(folder / AssetIndex::kIndexFileName,
           "UPDATE assets SET identifier = NULL WHERE identifier = '" + first + "'");

    auto all = PHAsset::fetchAssetsWithOptions(nullptr);
    ASSERT_EQ(all->count(), 2u);
    std::set<std::string> identifiers;
    for (auto& a : all->assets()) identifiers.insert(a->localIdentifier());
    EXPECT_TRUE(identifiers.count(second));
    EXPECT_FALSE(identifiers.count(first));
    EXPECT_FALSE(identifiers.count(""));
    // The new identifier lasts.
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    std::set<std::string> again;
    auto reopened = PHAsset::fetchAssetsWithOptions(nullptr);
    for (auto& a : reopened->assets()) again.insert(a->localIdentifier());
    EXPECT_EQ(again, identifiers);
}

TEST_F(PhotosTest, ARowThatMisdescribesItsFileIsDescribedAfresh) {
    std::string id = save(jpeg(12, 10));
    ASSERT_FALSE(id.empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    runSql(folder / AssetIndex::kIndexFileName,
           "UPDATE assets SET media_type = " + std::to_string(static_cast<int>(PHAssetMediaType::Video)) +
               ", duration = 1e308, pixel_width = 9999 WHERE identifier = '" + id + "'");
    auto asset = PHAsset::fetchAssetsWithLocalIdentifiers({id})->firstObject();
    ASSERT_TRUE(asset);
    EXPECT_EQ(asset->mediaType(), PHAssetMediaType::Image);
    EXPECT_EQ(asset->duration(), 0.0);
    EXPECT_EQ(asset->pixelWidth(), 12);
    EXPECT_EQ(asset->pixelHeight(), 10);
}

// An index made elsewhere, whose table forbids nothing: two rows share an identifier, a third names
// a file another row names, a size is not the file's. The open settles them, and a deletion by the
// shared identifier takes one file.
TEST_F(PhotosTest, RowsSharingAnIdentifierOrAFileAreSettledAtOpen) {
    std::string first = save(jpeg(10, 10));
    std::string second = save(jpeg(12, 8));
    ASSERT_FALSE(second.empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    const std::string columns =
        "identifier, file, media_type, pixel_width, pixel_height, creation_date, "
        "modification_date, latitude, longitude, altitude, duration";
    runSql(folder / AssetIndex::kIndexFileName,
           "ALTER TABLE assets RENAME TO kept;"
           "CREATE TABLE assets (identifier TEXT, file TEXT, media_type INTEGER, pixel_width INTEGER,"
           " pixel_height INTEGER, creation_date REAL, modification_date REAL, latitude REAL, longitude REAL,"
           " altitude REAL, duration REAL NOT NULL DEFAULT 0);"
           "INSERT INTO assets (" +
               columns + ") SELECT " + columns +
               " FROM kept ORDER BY creation_date;"
               "DROP TABLE kept;"
               "UPDATE assets SET identifier = '" +
               first +
               "';"
               "UPDATE assets SET pixel_width = 40000, pixel_height = -1 WHERE rowid = 2;"
               "INSERT INTO assets (" +
               columns +
               ") SELECT 'stray', file, media_type, 1, 1, creation_date,"
               " modification_date, latitude, longitude, altitude, duration FROM assets WHERE rowid = 1;");

    auto all = PHAsset::fetchAssetsWithOptions(nullptr);
    ASSERT_EQ(all->count(), 2u);
    std::set<std::string> identifiers;
    std::set<std::pair<int, int>> sizes;
    for (auto& a : all->assets()) {
        identifiers.insert(a->localIdentifier());
        sizes.insert({a->pixelWidth(), a->pixelHeight()});
    }
    EXPECT_EQ(identifiers.size(), 2u);
    EXPECT_TRUE(identifiers.count(first));
    EXPECT_FALSE(identifiers.count("stray"));
    EXPECT_EQ(sizes, (std::set<std::pair<int, int>>{{10, 10}, {12, 8}}));

    auto shared = PHAsset::fetchAssetsWithLocalIdentifiers({first})->firstObject();
    ASSERT_TRUE(shared);
    ASSERT_TRUE(PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait(
        [&] { PHAssetChangeRequest::deleteAssets({shared}); }));
    EXPECT_EQ(filesIn(folder), 1u);
    EXPECT_EQ(listedFiles().size(), 1u);
    // The unique indexes now keep a second row for one file out.
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(listedFiles().size(), 1u);
}

TEST_F(PhotosTest, AnIndexWhoseTableIsNotOfOurShapeIsRebuilt) {
    ASSERT_FALSE(save(jpeg(10, 10)).empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    runSql(folder / AssetIndex::kIndexFileName, "DROP TABLE assets; CREATE TABLE assets (identifier TEXT, file TEXT)");
    EXPECT_EQ(listedFiles().size(), 1u);
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_FALSE(save(jpeg(12, 10)).empty());
}

// Whole photos are listed however long their headers; a photo cut inside its header (right after
// an embedded thumbnail's own end marker) is not whole: listed only under the row it had, never
// indexed anew; data no decoder takes is never saved.
TEST_F(PhotosTest, PhotosAreJudgedByTheirFrameNotTheirThumbnail) {
    std::vector<Bytes> longHeader(6, segment(0xE2, Bytes(60000, 0x20)));
    std::string tall = save(withSegments(jpeg(16, 12), longHeader));
    ASSERT_FALSE(tall.empty());
    Bytes thumbnail = jpeg(8, 8);
    Bytes exif{'E', 'x', 'i', 'f', 0, 0};
    exif.insert(exif.end(), thumbnail.begin(), thumbnail.end());
    exif.insert(exif.end(), 300, 0);
    Bytes withThumbnail = withSegments(jpeg(20, 12), {segment(0xE1, exif)});
    std::string cut = save(withThumbnail);
    ASSERT_FALSE(cut.empty());
    const std::string cutPath = PHAsset::fetchAssetsWithLocalIdentifiers({cut})->firstObject()->filePath();
    std::filesystem::resize_file(cutPath, 4 + 2 + 6 + thumbnail.size());
    std::filesystem::copy_file(cutPath, folder / "COPY.JPG");

    LogCapture log;
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({tall})->firstObject());
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({cut})->firstObject());
    EXPECT_TRUE(log.contains("not listing COPY.JPG: "));

    Bytes whole = jpeg(24, 16);
    Bytes cutData(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 2 / 3));
    Bytes huge = whole;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // the frame header: height, then width
            huge[i + 5] = huge[i + 7] = 0xFF;
            huge[i + 6] = huge[i + 8] = 0xDC;
            break;
        }
    }
    EXPECT_TRUE(save(cutData).empty());
    EXPECT_TRUE(save(huge).empty());
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u);
    EXPECT_EQ(filesIn(folder), 3u);  // the cut copy stays in the folder, unlisted
}

// A photo cut short keeps its row and identifier, as one that cannot be read does, at every open;
// once whole again it is shown as before.
TEST_F(PhotosTest, APhotoCutShortKeepsItsIdentifierUntilItIsWholeAgain) {
    std::string kept = save(jpeg(12, 12));
    std::string cut = save(jpeg(64, 48));
    ASSERT_FALSE(cut.empty());
    auto cutAsset = PHAsset::fetchAssetsWithLocalIdentifiers({cut})->firstObject();
    ASSERT_TRUE(cutAsset);
    const std::string cutPath = cutAsset->filePath();
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    std::filesystem::resize_file(cutPath, std::filesystem::file_size(cutPath) / 2);

    LogCapture log;
    for (int open = 0; open < 2; ++open) {
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        auto listed = PHAsset::fetchAssetsWithLocalIdentifiers({cut})->firstObject();
        ASSERT_TRUE(listed) << "the cut photo left the library at open " << open;
        EXPECT_EQ(listed->filePath(), cutPath);
        EXPECT_EQ(listed->pixelWidth(), 64);
        EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({kept})->firstObject());
        EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u);
    }
    EXPECT_TRUE(log.contains(std::filesystem::path(cutPath).filename().string() + " is not whole ("));

    Bytes whole = jpeg(64, 48);
    std::ofstream(cutPath, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(whole.data()), std::streamsize(whole.size()));
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u);
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({cut})->firstObject());
}

TEST_F(PhotosTest, SavesKilledAtEveryFlushLeaveALibraryThatReopensClean) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child process is this binary run afresh: it finds the folder through the environment.
    const char* inherited = std::getenv("KORVA_KILL_TEST_LIBRARY");
    const std::filesystem::path library = inherited ? std::filesystem::path(inherited) : folder;
    ::setenv("KORVA_KILL_TEST_LIBRARY", library.c_str(), 1);
    PHPhotoLibrary::setLibraryDirectory(library.string());
    ASSERT_FALSE(save(jpeg(9, 9)).empty());

    // Flushes of a save, in order: the photo's temporary file, the folder after the rename, then
    // the index's log (or, where it has none, its journal and database).
    int kills = 0;
    for (int flush = 1; flush <= 6; ++flush) {
        SCOPED_TRACE("killed at flush " + std::to_string(flush));
        EXPECT_EXIT(
            {
                killAtSync = flush;
                save(jpeg(11, 7));
                killAtSync = 0;
                std::_Exit(0);  // the save needed fewer flushes
            },
            [&kills](int status) {
                if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return ++kills > 0;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            },
            "");
        PHPhotoLibrary::setLibraryDirectory(library.string());
        EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
        EXPECT_EQ(hiddenFiles(library), std::vector<std::string>{}) << "remains of the killed save";
        EXPECT_EQ(listedFiles().size(), filesIn(library)) << "every whole photo listed, nothing else";
        EXPECT_FALSE(save(jpeg(8, 8)).empty());
    }
    EXPECT_GE(kills, 3) << "the saves were really cut short";
    ::unsetenv("KORVA_KILL_TEST_LIBRARY");
}

// A folder under the index's name is set aside whole; when the index breaks later, that folder under
// the set-aside name stays whole too (no removal takes a folder), and the broken index takes the
// next name.
TEST_F(PhotosTest, AFolderUnderTheIndexsNameIsSetAsideWholeAndStaysWhole) {
    const std::string index = AssetIndex::kIndexFileName;
    std::filesystem::create_directories(folder / index / "inside");
    std::ofstream(folder / index / "inside" / "keep.txt") << "keep";
    ASSERT_TRUE(AssetIndex::open(folder.string()).ok());
    EXPECT_TRUE(std::filesystem::exists(folder / (index + ".corrupt") / "inside" / "keep.txt"));
    std::ofstream(folder / index, std::ios::trunc) << "not an index at all";
    LogCapture log;
    ASSERT_TRUE(AssetIndex::open(folder.string()).ok());
    EXPECT_TRUE(log.contains("rebuilding it from the folder")) << ::testing::PrintToString(log.lines());
    EXPECT_TRUE(std::filesystem::exists(folder / (index + ".corrupt") / "inside" / "keep.txt"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / (index + ".corrupt-1")));
}
