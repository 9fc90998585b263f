// Which temporary files in the library folder an open settles: the program's own, and the earlier
// shape's only where no other program can still be writing it.
#include <sqlite3.h>
#include <time.h>

#include <fstream>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/ph_asset.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_removal.h"
#include "platform/storage/temporary_name.h"

namespace {

void write(const std::filesystem::path& path, const Bytes& data, std::size_t length) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(length));
}

// The index as a build naming its temporaries its own way leaves it when it first opened the
// library `offset` nanoseconds from now.
void recordFirstOpen(const std::filesystem::path& folder, std::int64_t offset) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t since = now.tv_sec * 1'000'000'000LL + now.tv_nsec + offset;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / AssetIndex::kIndexFileName).c_str(), &db), SQLITE_OK);
    const std::string sql =
        "CREATE TABLE library_facts (name TEXT PRIMARY KEY, value);"
        "INSERT INTO library_facts VALUES ('own_temporaries_since', " +
        std::to_string(since) + ")";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// The first open an earlier build recorded in the index, as text ("" where none).
std::string readFirstOpen(const std::filesystem::path& folder) {
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open_v2((folder / AssetIndex::kIndexFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT value FROM library_facts WHERE name = 'own_temporaries_since'", -1, &st,
                               nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            value = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return value;
}

}  // namespace

// A copy program writes ".<name>.XXXXXX" and renames it at its end: whole or not, its file is
// never taken over, removed or listed (at the library's first open or a later one), and once
// renamed it is a new photo like any other.
TEST_F(PhotosTest, AnotherProgramsCopyUnderWayIsLeftToItAndListedOnceItLands) {
    std::filesystem::create_directories(folder);
    const Bytes photo = jpeg(20, 10);
    write(folder / ".IMG_R0001.JPG.AbC123", photo, photo.size());
    write(folder / ".IMG_R0002.JPG.XyZ789", photo, photo.size() / 2);
    for (int open = 0; open < 2; ++open) ASSERT_EQ((*AssetIndex::open(folder.string()))->count(), 0u);
    EXPECT_EQ(std::filesystem::file_size(folder / ".IMG_R0001.JPG.AbC123"), photo.size());
    EXPECT_EQ(std::filesystem::file_size(folder / ".IMG_R0002.JPG.XyZ789"), photo.size() / 2);
    EXPECT_EQ(filesIn(folder), 0u) << "nothing kept under a library name";

    auto index = AssetIndex::open(folder.string());
    std::filesystem::rename(folder / ".IMG_R0001.JPG.AbC123", folder / "IMG_R0001.JPG");
    ASSERT_TRUE((*index)->settleFiles(std::set<std::string>{"IMG_R0001.JPG"}).ok());
    index->reset();
    EXPECT_EQ((*AssetIndex::open(folder.string()))->count(), 1u);
}

// Files of the earlier shape, which a library may hold from an earlier build, cannot be told by
// their times from a copy another program stalled (stopped, asleep, on a slow link) however long
// ago: none is settled, whatever an earlier build recorded in the index of its first open (that
// record stays as it was), and an index made by a build before that one is no different.
TEST_F(PhotosTest, TheEarlierShapesFilesAreLeftAloneHoweverOldAndWhateverTheIndexRecorded) {
    const Bytes photo = jpeg(20, 10);
    const std::int64_t hour = 3600'000'000'000LL;
    for (const std::optional<std::int64_t> recorded :
         {std::optional<std::int64_t>(hour), std::optional(-hour), std::optional<std::int64_t>()}) {
        SCOPED_TRACE(recorded ? std::to_string(*recorded / hour) + " h" : "no record");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        if (recorded) {
            recordFirstOpen(folder, *recorded);
        } else {
            ASSERT_TRUE(AssetIndex::open(folder.string()).ok());
        }
        const std::string before = recorded ? readFirstOpen(folder) : "";
        write(folder / ".IMG_LEFT.JPG.Ab3dE9", photo, photo.size());
        write(folder / ".IMG_HALF.JPG.Qq1wE2", photo, photo.size() / 2);
        for (const char* name : {".IMG_LEFT.JPG.Ab3dE9", ".IMG_HALF.JPG.Qq1wE2"})
            std::filesystem::last_write_time(folder / name,
                                             std::filesystem::file_time_type::clock::now() - std::chrono::hours(3));
        for (int open = 0; open < 2; ++open) {
            auto index = AssetIndex::open(folder.string());
            ASSERT_TRUE(index.ok()) << index.error();
            EXPECT_EQ((*index)->count(), 0u);
        }
        EXPECT_EQ(std::filesystem::file_size(folder / ".IMG_LEFT.JPG.Ab3dE9"), photo.size());
        EXPECT_EQ(std::filesystem::file_size(folder / ".IMG_HALF.JPG.Qq1wE2"), photo.size() / 2);
        EXPECT_EQ(filesIn(folder), 0u) << "nothing kept under a library name";
        EXPECT_EQ(readFirstOpen(folder), before);
    }
}

// A folder under a temporary's name is no save's remains: it stays whole, and the log says so.
TEST_F(PhotosTest, AFolderUnderATemporarysNameStaysAndTheLogSaysWhy) {
    const std::filesystem::path inside = folder / newTemporaryName("IMG_DIR.JPG") / "keep.txt";
    std::filesystem::create_directories(inside.parent_path());
    write(inside, jpeg(4, 4), 10);
    LogCapture log;
    ASSERT_TRUE(AssetIndex::open(folder.string()).ok());
    EXPECT_TRUE(std::filesystem::exists(inside));
    EXPECT_FALSE(log.contains("removed the remains")) << ::testing::PrintToString(log.lines());
    EXPECT_TRUE(log.contains("cannot remove the remains of an interrupted save " +
                             inside.parent_path().filename().string() + " (Is a directory); it stays"))
        << ::testing::PrintToString(log.lines());
}

namespace {

// Where the removal hook below puts a folder: the library folder, for names given in it.
std::filesystem::path raceFolder;

// Another program putting a folder, with a file in it, under the name a removal is about to take.
void putAFolderUnderTheName(const std::string& name) {
    std::filesystem::path path = name;
    if (path.is_relative()) path = raceFolder / path;
    std::filesystem::remove(path);
    std::filesystem::create_directories(path / "inside");
    std::ofstream(path / "inside" / "keep.txt") << "keep";
}

struct RemovalRace {
    explicit RemovalRace(const std::filesystem::path& folder) {
        raceFolder = folder;
        setBeforeRemovingForTesting(putAFolderUnderTheName);
    }
    ~RemovalRace() { setBeforeRemovingForTesting(nullptr); }
};

}  // namespace

// A folder put under a file's name between the library's look at the file and its removal stays
// whole, and the log says so: the remains of an interrupted save at an open, a deleted photo's file.
TEST_F(PhotosTest, AFolderPutUnderARemovedFilesNameMeanwhileStaysWhole) {
    std::filesystem::create_directories(folder);
    const std::string left = newTemporaryName("IMG_CUT.JPG");
    const Bytes photo = jpeg(20, 10);
    write(folder / left, photo, photo.size() / 2);
    {
        LogCapture log;
        RemovalRace race(folder);
        ASSERT_TRUE(AssetIndex::open(folder.string()).ok());
        EXPECT_TRUE(std::filesystem::exists(folder / left / "inside" / "keep.txt"));
        EXPECT_TRUE(
            log.contains("cannot remove the remains of an interrupted save " + left + " (Is a directory); it stays"))
            << ::testing::PrintToString(log.lines());
    }

    const std::string saved = save(photo);
    ASSERT_FALSE(saved.empty());
    std::string file;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".JPG") file = entry.path().filename().string();
    ASSERT_FALSE(file.empty());
    LogCapture log;
    RemovalRace race(folder);
    ASSERT_TRUE(PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait(
        [&] { PHAssetChangeRequest::deleteAssets(PHAsset::fetchAssetsWithLocalIdentifiers({saved})->assets()); }));
    EXPECT_TRUE(std::filesystem::exists(folder / file / "inside" / "keep.txt"));
    EXPECT_TRUE(log.contains("deleted asset's file stays: cannot remove " + file))
        << ::testing::PrintToString(log.lines());
}
