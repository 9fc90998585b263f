// What the folder watch must not miss or hold up: a save or the end during a large settlement,
// of files that arrive or of a folder put under the library's name, the folder (or the folders
// above it) moved away or removed and made again or a link on the way to it pointed elsewhere,
// photos linked in or made readable, a steady import, two libraries settling the same files at
// once, a photo written in pieces.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <set>

#include "folder_test_support.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/photos/asset_index.h"
#include "platform/runtime/log.h"
#include "tests/support/another_user.h"

namespace {

// The files an index lists, read as another program would.
std::set<std::string> indexedFiles(const std::filesystem::path& dir) {
    std::set<std::string> files;
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2((dir / AssetIndex::kIndexFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT file FROM assets", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW) files.insert(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return files;
}

std::string fileOf(const std::string& id) {
    auto asset = PHAsset::fetchAssetsWithLocalIdentifiers({id})->firstObject();
    return asset ? std::filesystem::path(asset->filePath()).filename().string() : "";
}

std::size_t listed() {
    return PHAsset::fetchAssetsWithOptions(nullptr)->count();
}

}  // namespace

TEST_F(FolderTest, ASaveGoesAheadOfALargeSettlementAndTheEndDoesNotWaitForIt) {
    constexpr std::size_t kMany = 2000;
    const Bytes small = jpeg(8, 8), photo = jpeg(10, 10);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kMany; ++i) {
        names.push_back("many_" + std::to_string(i) + ".jpg");
        std::ofstream(outside / names.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(small.data()), small.size());
        std::filesystem::rename(outside / names.back(), folder / names.back());
    }
    ASSERT_TRUE(library->waitForFolderChanges(names, kEventWait));
    Clock::advanceVirtual(PHPhotoLibrary::kFolderQuiet);
    std::size_t listedAtSave = kMany;
    ASSERT_TRUE(library->performChangesAndWait([&] {
        listedAtSave = listed();
        PHAssetCreationRequest::creationRequestForAsset()->addResourceWithType(PHAssetResourceType::Photo, photo);
    }));
    EXPECT_LE(listedAtSave, 4 * PHPhotoLibrary::kSettleFiles) << "the save waits for a step or two";
    // The end stops the settlement within a step; the next start lists the rest.
    ExitHold::setEnding(true);
    DispatchQueue::waitUntilBackgroundIdle();
    ExitHold::setEnding(false);
    EXPECT_LT(listed(), kMany / 2);
    library = nullptr;
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(listed(), kMany + 1);
}

TEST_F(FolderTest, AFolderPutUnderTheNameIsSettledInStepsBehindASaveAndTheEndDoesNotWaitForIt) {
    constexpr std::size_t kMany = 2000;
    const Bytes small = jpeg(8, 8);
    for (std::size_t i = 0; i < kMany; ++i)
        std::ofstream(outside / ("card_" + std::to_string(i) + ".jpg"), std::ios::binary)
            .write(reinterpret_cast<const char*>(small.data()), small.size());
    // Photos copied off a card, without an index of their own, put under the library's name.
    const std::filesystem::path old = folder.string() + "-old";
    std::filesystem::rename(folder, old);
    std::filesystem::rename(outside, folder);
    ASSERT_TRUE(library->waitForFolderChanges({}, kEventWait, PHPhotoLibrary::FolderWait::FolderBack));
    Clock::advanceVirtual(PHPhotoLibrary::kFolderQuiet);
    std::size_t listedAtSave = kMany;
    std::string saved;
    ASSERT_TRUE(library->performChangesAndWait([&] {
        listedAtSave = listed();
        Clock::advanceVirtual(PHPhotoLibrary::kFolderLongest);  // observers hear before the end
        auto request = PHAssetCreationRequest::creationRequestForAsset();
        request->addResourceWithType(PHAssetResourceType::Photo, small);
        saved = request->placeholderForCreatedAsset()->localIdentifier();
    }));
    EXPECT_LE(listedAtSave, 4 * PHPhotoLibrary::kSettleFiles) << "the save waits for a step or two";
    ASSERT_TRUE(library->performChangesAndWait([] {}));  // behind the next step
    RunLoop::main().runUntilIdle();
    std::size_t told = 0;
    for (const auto& change : observer->changes) told += change->insertedIdentifiers().size();
    EXPECT_GT(told, 1u) << "the card's photos are told while the settlement goes on";
    ExitHold::setEnding(true);
    DispatchQueue::waitUntilBackgroundIdle();
    ExitHold::setEnding(false);
    EXPECT_LT(listed(), kMany / 2);
    EXPECT_TRUE(indexedFiles(folder).count(fileOf(saved)));
    library = nullptr;
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(listed(), kMany + 1) << "the next start settles the rest";
    std::filesystem::remove_all(old);
}

TEST_F(FolderTest, ASaveBeforeAnySettlementOfAReplacedFolderLandsInItsOwnIndex) {
    const std::filesystem::path old = folder.string() + "-old";
    ASSERT_FALSE(save(jpeg(12, 12)).empty());
    std::filesystem::rename(folder, old);
    std::filesystem::create_directory(folder);
    // The clock stays: no settlement looks at the folder before the save does.
    const std::string saved = save(jpeg(14, 14));
    EXPECT_EQ(indexedFiles(folder), std::set<std::string>{fileOf(saved)});
    EXPECT_EQ(indexedFiles(old).size(), 1u);
    std::filesystem::remove_all(old);
}

TEST_F(FolderTest, TheFolderIsFollowedWhenTheFolderAboveItIsRemovedAndMadeAgain) {
    const std::filesystem::path above = folder.string() + "-above", lib = above / "lib";
    auto deep = PHPhotoLibrary::make(lib.string());
    std::filesystem::remove_all(above);
    folderNews(*deep, PHPhotoLibrary::FolderWait::FolderGone);
    std::filesystem::create_directories(lib);
    folderNews(*deep, PHPhotoLibrary::FolderWait::FolderBack);
    std::filesystem::copy_file(picture("late.jpg", 16, 12), lib / "late.jpg");
    settle(*deep, {"late.jpg"});
    EXPECT_EQ(deep->fetch({}).size(), 1u);
    deep = nullptr;

    // A folder above that may not be searched is named as such (permissions hold for another user).
    std::filesystem::permissions(above, std::filesystem::perms::none);
    testsupport::AnotherUser user;
    const bool switched = user.switched();
    auto opened = AssetIndex::open(lib.string(), FolderCreation::MustExist);
    ASSERT_TRUE(user.end());
    std::filesystem::permissions(above, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(above);
    const std::string said = opened ? "opened" : opened.error();
    EXPECT_TRUE((!switched && ::geteuid() == 0) || said == "the folder lib cannot be reached: Permission denied")
        << said;
}

TEST_F(FolderTest, TheFolderIsFollowedByItsNameWhenMovedAwayRemovedAndMadeAgain) {
    const std::filesystem::path old = folder.string() + "-old";
    const std::string first = save(jpeg(12, 12)), firstFile = fileOf(first);
    // Moved away and made again, as a sync tool replaces it: the new folder's own index, told.
    std::filesystem::rename(folder, old);
    std::filesystem::create_directory(folder);
    folderNews(*library, PHPhotoLibrary::FolderWait::FolderBack);
    for (const char* log : {"-wal", "-shm"})
        EXPECT_FALSE(std::filesystem::exists(old / (AssetIndex::kIndexFileName + std::string(log))))
            << log << " beside the index let go";
    ASSERT_FALSE(observer->changes.empty());
    EXPECT_EQ(observer->changes.back()->removedIdentifiers(), std::vector<std::string>{first});
    const std::string second = save(jpeg(14, 14));
    copyIn("copied.jpg");
    settle(*library, {"copied.jpg"});
    EXPECT_EQ(indexedFiles(folder), (std::set<std::string>{fileOf(second), "copied.jpg"}));
    EXPECT_EQ(indexedFiles(old), std::set<std::string>{firstFile});
    std::filesystem::remove_all(old);

    // Removed: its photos leave the view and saves fail without making it; made again: saves land.
    std::filesystem::remove_all(folder);
    folderNews(*library, PHPhotoLibrary::FolderWait::FolderGone);
    EXPECT_EQ(observer->changes.back()->removedIdentifiers().size(), 2u);
    EXPECT_EQ(save(jpeg(10, 10)), "");
    EXPECT_FALSE(std::filesystem::exists(folder));
    std::filesystem::create_directory(folder);
    folderNews(*library, PHPhotoLibrary::FolderWait::FolderBack);
    const std::string third = save(jpeg(10, 10));
    EXPECT_EQ(indexedFiles(folder), std::set<std::string>{fileOf(third)});
}

TEST_F(FolderTest, TheWatchFollowsAFolderASaveFoundAndALinkOnTheWayPointedElsewhere) {
    namespace fs = std::filesystem;
    const fs::path g = folder / "g", lib = g / "p" / "lib";
    fs::create_directories(lib);
    PHPhotoLibrary::setLibraryDirectory(lib.string());
    library = PHPhotoLibrary::sharedPhotoLibrary();
    LogCapture log;
    // The chain moved away and made again two levels up: the save finds the new folder first.
    fs::rename(g, folder / "g2");
    fs::create_directories(lib);
    fs::copy_file(picture("before.jpg", 16, 12), lib / "before.jpg");
    ASSERT_FALSE(save(jpeg(12, 12)).empty());
    fs::copy_file(picture("after.jpg", 16, 12), lib / "after.jpg");
    settle(*library, {"after.jpg"});
    EXPECT_EQ(listed(), 3u);
    // Moved away again, found gone by a save, then made again: news of its own.
    fs::rename(g, folder / "g3");
    EXPECT_EQ(save(jpeg(12, 12)), "");
    fs::create_directories(lib);
    folderNews(*library, PHPhotoLibrary::FolderWait::FolderBack);
    fs::copy_file(picture("again.jpg", 16, 12), lib / "again.jpg");
    settle(*library, {"again.jpg"});
    EXPECT_EQ(listed(), 1u);

    // A link on the way pointed elsewhere (a new link renamed over it), then replaced by a folder.
    const fs::path link = folder / "q";
    for (const char* target : {"t1", "t2"}) fs::create_directories(folder / target / "lib");
    fs::create_directory_symlink(folder / "t1", link);
    PHPhotoLibrary::setLibraryDirectory((link / "lib").string());
    library = PHPhotoLibrary::sharedPhotoLibrary();
    fs::create_directory_symlink(folder / "t2", folder / "q.new");
    fs::rename(folder / "q.new", link);
    folderNews(*library, PHPhotoLibrary::FolderWait::FolderBack);
    fs::copy_file(picture("linked.jpg", 16, 12), link / "lib" / "linked.jpg");
    settle(*library, {"linked.jpg"});
    EXPECT_EQ(listed(), 1u);
    fs::remove(link);
    folderNews(*library, PHPhotoLibrary::FolderWait::FolderGone);
    fs::create_directories(link / "lib");
    folderNews(*library, PHPhotoLibrary::FolderWait::FolderBack);
    fs::copy_file(picture("real.jpg", 16, 12), link / "lib" / "real.jpg");
    settle(*library, {"real.jpg"});
    EXPECT_EQ(listed(), 1u);
    for (const auto& line : log.lines())
        EXPECT_FALSE(line.rfind("info", 0) == 0 && line.find("followed from") != std::string::npos) << line;
}

TEST_F(FolderTest, APhotoLinkedInOrMadeReadableIsListed) {
    std::filesystem::create_hard_link(picture("linked.jpg", 20, 10), folder / "linked.jpg");
    settle(*library, {"linked.jpg"});
    EXPECT_EQ(listed(), 1u);
    copyIn("locked.jpg");
    std::filesystem::permissions(folder / "locked.jpg", std::filesystem::perms::none);
    // Permissions hold for the superuser only as another user.
    {
        testsupport::AnotherUser user;
        settle(*library, {"locked.jpg"});
        ASSERT_TRUE(user.end());
    }
    EXPECT_EQ(listed(), 1u);
    std::filesystem::permissions(folder / "locked.jpg",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
    settle(*library, {"locked.jpg"});
    EXPECT_EQ(listed(), 2u);
}

TEST_F(FolderTest, ASteadyImportIsToldWithinTheLongestWait) {
    constexpr double kEvery = 0.2;
    double waited = 0;
    for (int i = 0; observer->changes.empty() && waited < 6; ++i, waited += kEvery) {
        copyIn("steady_" + std::to_string(i) + ".jpg");
        settle(*library, {"steady_" + std::to_string(i) + ".jpg"}, kEvery);
    }
    EXPECT_LE(waited, PHPhotoLibrary::kFolderLongest + kEvery);
}

TEST_F(FolderTest, TwoLibrariesSettlingTheSameFilesAtOnceKeepOneRowForEach) {
    auto other = PHPhotoLibrary::make(folder.string());
    auto otherObserver = std::make_shared<ChangeRecorder>();
    other->registerChangeObserver(otherObserver);
    std::vector<std::string> names;
    for (int i = 0; i < 64; ++i) names.push_back("both_" + std::to_string(i) + ".jpg");
    for (const auto& name : names) copyIn(name);
    ASSERT_TRUE(other->waitForFolderChanges(names, kEventWait));
    LogCapture log;
    settle(*library, names);  // both settle on this step of the clock
    EXPECT_FALSE(log.contains("reopening")) << "a row the other listed first is no fault";
    EXPECT_EQ(listed(), names.size());
    ASSERT_FALSE(otherObserver->changes.empty());
    EXPECT_EQ(otherObserver->changes.back()->insertedIdentifiers().size(), names.size());
    other->unregisterChangeObserver(otherObserver);
}

TEST_F(FolderTest, APhotoWrittenInPiecesIsLookedAtOnceItIsClosed) {
    const Bytes whole = jpeg(64, 48);
    const int fd = ::open((folder / "pieces.jpg").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    // A photo finished after each piece marks how far the watch has read.
    copyIn("mark.jpg");
    settle(*library, {"mark.jpg"});
    LogCapture log;
    const std::size_t piece = whole.size() / 4 + 1;
    for (std::size_t at = 0; at < whole.size(); at += piece) {
        const std::size_t n = std::min(piece, whole.size() - at);
        ASSERT_EQ(::write(fd, whole.data() + at, n), static_cast<ssize_t>(n));
        copyIn("mark_" + std::to_string(at) + ".jpg");
        settle(*library, {"mark_" + std::to_string(at) + ".jpg"});
    }
    EXPECT_EQ(listed(), 5u) << "the marks only, while the photo is open";
    ::close(fd);
    settle(*library, {"pieces.jpg"});
    EXPECT_EQ(listed(), 6u);
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("pieces.jpg"), std::string::npos) << line;
}
