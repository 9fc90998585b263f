// Which temporary files in the library folder an open settles: the program's own, and the earlier
// shape's only where no other program can still be writing it.
#include <sqlite3.h>
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

// Remains of the earlier shape, which a library may hold from an earlier build, are settled where
// last changed before this build first opened the library, and left alone where later. A copy puts
// its source's times back on its file before renaming it: only the change time, which cannot be
// set back, tells when the file was written.
TEST_F(PhotosTest, TheEarlierShapesRemainsAreSettledOnlyWhereOlderThanTheFirstOpenOfThisShape) {
    const Bytes photo = jpeg(20, 10);
    for (const bool older : {true, false}) {
        SCOPED_TRACE(older ? "older" : "newer");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        write(folder / ".IMG_LEFT.JPG.Ab3dE9", photo, photo.size());
        write(folder / ".IMG_HALF.JPG.Qq1wE2", photo, photo.size() / 2);
        for (const char* name : {".IMG_LEFT.JPG.Ab3dE9", ".IMG_HALF.JPG.Qq1wE2"})
            std::filesystem::last_write_time(folder / name,
                                             std::filesystem::file_time_type::clock::now() - std::chrono::hours(3));
        recordFirstOpen(folder, (older ? 1 : -1) * 3600'000'000'000LL);
        auto index = AssetIndex::open(folder.string());
        ASSERT_TRUE(index.ok()) << index.error();
        EXPECT_EQ((*index)->count(), older ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(folder / "IMG_LEFT.JPG"), older);
        EXPECT_EQ(std::filesystem::exists(folder / ".IMG_HALF.JPG.Qq1wE2"), !older);
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
