// Which temporary files in the library folder an open settles: the program's own, and the earlier
// shape's only where no other program can still be writing it.
#include <sqlite3.h>
#include <sys/stat.h>
#include <time.h>

#include <fstream>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/runtime/log.h"
#include "platform/storage/temporary_name.h"

namespace {

void write(const std::filesystem::path& path, const Bytes& data, std::size_t length) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(length));
}

std::int64_t nowNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The moment the index keeps of the first open by a build naming its temporaries its own way.
std::optional<std::int64_t> recordedSince(const std::filesystem::path& folder) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    std::optional<std::int64_t> since;
    if (sqlite3_open_v2((folder / AssetIndex::kIndexFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT value FROM library_facts WHERE name = 'own_temporaries_since'", -1, &st,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        since = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return since;
}

// An index as the library left it when a build of the new shape first opened it at `since`.
void recordSince(const std::filesystem::path& folder, std::int64_t since) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / AssetIndex::kIndexFileName).c_str(), &db), SQLITE_OK);
    const std::string sql =
        "CREATE TABLE library_facts (name TEXT PRIMARY KEY, value);"
        "INSERT INTO library_facts VALUES ('own_temporaries_since', " +
        std::to_string(since) + ")";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

ino_t inodeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

// A copy program writes ".<name>.XXXXXX" and renames it at its end: whole or not, its file is
// never taken over, removed or listed, and once renamed it is a new photo like any other.
TEST_F(PhotosTest, AnotherProgramsCopyUnderWayIsLeftToItAndListedOnceItLands) {
    std::filesystem::create_directories(folder);
    const Bytes photo = jpeg(20, 10);
    write(folder / ".IMG_R0001.JPG.AbC123", photo, photo.size());
    write(folder / ".IMG_R0002.JPG.XyZ789", photo, photo.size() / 2);
    const ino_t copied = inodeOf(folder / ".IMG_R0001.JPG.AbC123");
    for (int open = 0; open < 2; ++open) {
        auto index = AssetIndex::open(folder.string());
        ASSERT_TRUE(index.ok()) << index.error();
        EXPECT_EQ((*index)->count(), 0u);
    }
    EXPECT_EQ(inodeOf(folder / ".IMG_R0001.JPG.AbC123"), copied);
    EXPECT_EQ(std::filesystem::file_size(folder / ".IMG_R0002.JPG.XyZ789"), photo.size() / 2);
    EXPECT_EQ(filesIn(folder), 0u) << "nothing kept under a library name";

    auto index = AssetIndex::open(folder.string());
    ASSERT_TRUE(index.ok());
    std::filesystem::rename(folder / ".IMG_R0001.JPG.AbC123", folder / "IMG_R0001.JPG");
    ASSERT_TRUE((*index)->settleFiles(std::set<std::string>{"IMG_R0001.JPG"}).ok());
    index->reset();
    auto reopened = AssetIndex::open(folder.string());
    ASSERT_TRUE(reopened.ok());
    auto rows = (*reopened)->query({});
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->front().file, "IMG_R0001.JPG");
}

// Remains of the earlier shape, which a library may hold from an earlier build, are settled where
// they were last changed before this build first opened the library, and left alone where later.
TEST_F(PhotosTest, TheEarlierShapesRemainsAreSettledOnlyWhereOlderThanTheFirstOpenOfThisShape) {
    const Bytes photo = jpeg(20, 10);
    constexpr std::int64_t kHour = 3600'000'000'000;
    for (const bool older : {true, false}) {
        SCOPED_TRACE(older ? "older" : "newer");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        write(folder / ".IMG_LEFT.JPG.Ab3dE9", photo, photo.size());
        write(folder / ".IMG_HALF.JPG.Qq1wE2", photo, photo.size() / 2);
        // A copy puts its source's times back on its file before renaming it: only the change time,
        // which cannot be set back, tells when it was written. The first open is put after or before.
        for (const char* name : {".IMG_LEFT.JPG.Ab3dE9", ".IMG_HALF.JPG.Qq1wE2"})
            std::filesystem::last_write_time(folder / name,
                                             std::filesystem::file_time_type::clock::now() - std::chrono::hours(3));
        recordSince(folder, nowNanoseconds() + (older ? kHour : -kHour));
        auto index = AssetIndex::open(folder.string());
        ASSERT_TRUE(index.ok()) << index.error();
        EXPECT_EQ((*index)->count(), older ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(folder / "IMG_LEFT.JPG"), older);
        EXPECT_EQ(std::filesystem::exists(folder / ".IMG_LEFT.JPG.Ab3dE9"), !older);
        EXPECT_EQ(std::filesystem::exists(folder / ".IMG_HALF.JPG.Qq1wE2"), !older);
    }
    // A library's first open records its moment once: later opens keep it.
    std::filesystem::remove_all(folder);
    const std::int64_t before = nowNanoseconds();
    ASSERT_TRUE(AssetIndex::open(folder.string()).ok());
    const auto first = recordedSince(folder);
    ASSERT_TRUE(first.has_value());
    EXPECT_GE(*first, before);
    EXPECT_LE(*first, nowNanoseconds());
    ASSERT_TRUE(AssetIndex::open(folder.string()).ok());
    EXPECT_EQ(recordedSince(folder), first);
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
